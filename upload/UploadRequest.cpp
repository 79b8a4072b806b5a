#include "upload/UploadRequest.h"

#include "platform/base/Exception.h"
#include "platform/base/Trace.h"
#include "platform/net/HttpError.h"
#include "platform/system/FileNames.h"
#include "platform/system/LocalFile.h"
#include "platform/text/ShiftJis.h"
#include "session/ServiceReply.h"

#include <QFile>
#include <QMimeDatabase>
#include <exception>
#include <utility>

namespace
{
// The path in Shift-JIS, element by element: UTF-8 text is converted, other bytes are already
// the Shift-JIS of a name written on Windows and go unchanged.
QByteArray ShiftJisPath(const QByteArray &path)
{
    QByteArray out;
    const QList<QByteArray> elements = path.split('/');
    for (qsizetype i = 0; i < elements.size(); ++i) {
        if (i > 0)
            out += '/';
        const QByteArray &element = elements[i];
        out += IsUtf8(element) ? toShiftJis(QString::fromUtf8(element)) : element;
    }
    return out;
}
} // namespace

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
    return UploadFileField(QFile::encodeName(fullPath));
}

HttpFormPart UploadFileField(const QByteArray &fullPath)
{
    // Only a readable plain file can be streamed: a folder or a pipe would otherwise go out as
    // an empty picture (or never end), and the service would take it as sent.
    const QString text = FileNameText(fullPath);
    if (!IsReadableRegularFile(fullPath))
        throw EInOutError(QStringLiteral("Cannot open file \"%1\".").arg(text));
    HttpFormPart part;
    part.Name = QByteArrayLiteral("file1");
    part.FilePath = fullPath;
    // The service files the picture under the whole path as the user's disk has it.
    part.FileName = ShiftJisPath(fullPath);
    part.ContentType = UploadContentType(text);
    part.Headers = {QByteArrayLiteral("Content-Transfer-Encoding: binary")};
    return part;
}

bool IsLimitReply(const QByteArray &reply)
{
    // Byte for byte: Latin-1 maps every byte to the character of the same value.
    return FirstLineIs(QString::fromLatin1(reply), QLatin1String("OVER"));
}

UploadOutcome SendPicture(TNetworkWorker &worker, const UploadPictureRequest &request)
{
    try {
        OutputDebugString(QStringLiteral("Start"));
        TNetworkRequest post;
        post.Method = TNetworkRequest::TMethod::Post;
        post.Url = request.Url;
        post.Parts.append(UploadModeField());
        OutputDebugString(QStringLiteral("Form Data Create"));
        post.Parts.append(UploadFileField(request.Path));
        OutputDebugString(QStringLiteral("HTTP Post Start"));
        const QByteArray reply = worker.Exchange(std::move(post)).Body;
        OutputDebugString(QStringLiteral("HTTP Post End"));
        return IsLimitReply(reply) ? UploadOutcome::LimitReached : UploadOutcome::Arrived;
    } catch (const EInOutError &) {
        return UploadOutcome::Unreadable;
    } catch (const EIdSocketError &) {
        return UploadOutcome::ConnectionFailed;
    } catch (const EIdHTTPProtocolException &) {
        return UploadOutcome::ErrorStatus;
    } catch (const std::exception &) {
        // A failure anywhere in sending one picture is dropped without a word; the batch goes on.
        return UploadOutcome::TransferFailed;
    }
}
