#pragma once
// One picture as one multipart/form-data POST to the service: the field "mode" = "upload",
// then the file field "file1" carrying the full local path as its filename (Shift-JIS), the
// content type of the path's extension and the file's bytes unchanged, streamed from disk.
#include "platform/net/HttpClient.h"
#include "platform/net/NetworkWorker.h"
#include "upload/UploadTally.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The MIME type Qt's MIME database gives for the extension of path;
// "application/octet-stream" when it has none.
QByteArray UploadContentType(const QString &path);

// The plain field "mode" with the value "upload".
HttpFormPart UploadModeField();
// The file field "file1" for the picture at fullPath; EInOutError when it is not a
// readable plain file.
HttpFormPart UploadFileField(const QString &fullPath);
// The same for a path given as the file system's bytes. Its filename parameter is the path in
// Shift-JIS: a UTF-8 part is converted, any other part (a Shift-JIS name from Windows media)
// goes out as its bytes.
HttpFormPart UploadFileField(const QByteArray &fullPath);

// The service takes no more pictures: the first line of the reply (ended by CR, LF or the
// end) is exactly "OVER".
bool IsLimitReply(const QByteArray &reply);

// One picture of a batch as the window hands it over: where to POST, and the full path of the
// file as the file system's bytes.
struct UploadPictureRequest {
    QString Url;
    QByteArray Path;
};

// Sends one picture as one POST on the client's network worker (with the trace lines of the
// exchange) and tells what became of it; never raises. The file field is made here, the
// transfer runs on the worker while this thread processes its events; the outcome is known
// only when the transfer is over, so nothing is sent twice.
UploadOutcome SendPicture(TNetworkWorker &worker, const UploadPictureRequest &request);
