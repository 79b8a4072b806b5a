#include "upload/UploadRequest.h"

#include "platform/Exception.h"
#include "platform/ShiftJis.h"

#include <QFileInfo>

#include <QMimeDatabase>

QByteArray UploadContentType(const QString &path)
{
    // By extension only: the file is not opened to guess from its contents.
    static const QMimeDatabase db;
    const QMimeType type = db.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    if (!type.isValid() || type.isDefault())
        return QByteArrayLiteral("application/octet-stream");
    return type.name().toLatin1();
}

HttpFormPart UploadModeField()
{
    HttpFormPart part;
    part.Name = QByteArrayLiteral("mode");
    part.Value = QByteArrayLiteral("upload");
    return part;
}

HttpFormPart UploadFileField(const QString &fullPath)
{
    // Only a readable plain file can be streamed: a folder or a pipe would otherwise go out as
    // an empty picture (or never end), and the service would take it as sent.
    const QFileInfo info(fullPath);
    if (!info.isFile() || !info.isReadable())
        throw EInOutError(QStringLiteral("Cannot open file \"%1\".").arg(fullPath));
    HttpFormPart part;
    part.Name = QByteArrayLiteral("file1");
    part.FilePath = fullPath;
    // The service files the picture under the whole path as the user's disk has it.
    part.FileName = toShiftJis(fullPath);
    part.ContentType = UploadContentType(fullPath);
    part.Headers = {QByteArrayLiteral("Content-Transfer-Encoding: binary")};
    return part;
}

bool IsLimitReply(const QByteArray &reply)
{
    qsizetype end = 0;
    while (end < reply.size() && reply[end] != '\r' && reply[end] != '\n')
        ++end;
    return reply.first(end) == "OVER";
}
