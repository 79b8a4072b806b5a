// The two request helpers every service exchange except the upload goes through. The album's
// requests wait on the network worker: the session cookie is set just before the request goes
// out and read back as soon as its reply is in, before any other request may use the client.
#include "app/Unit1.h"

#include "platform/base/Dialogs.h"
#include "platform/net/HttpClient.h"
#include "platform/net/HttpError.h"
#include "platform/net/NetworkWorker.h"
#include "platform/text/ShiftJis.h"
#include "session/ServiceReply.h"
#include "session/WaitingRequests.h"

namespace
{
enum class TWait { Blocking, Processing };

QString request(TForm1 &form, const QString &url, TWait wait)
{
    QString reply;
    // A refused request leaves the session id as it was.
    const auto settle = [&form, &reply](const QByteArray &body) {
        reply = fromShiftJis(body);
        if (!IsRefusal(reply))
            form.GetCookie();
    };
    try {
        if (wait == TWait::Blocking) {
            form.SetCookie();
            settle(form.IdHTTP1->get(url));
        } else {
            TNetworkRequest request;
            request.Url = url;
            form.IdHTTP1->worker().Exchange(
                std::move(request), [&form] { form.SetCookie(); },
                [&settle](const TNetworkReply &answer) { settle(answer.Body); });
        }
    } catch (const EIdSocketError &) {
        Dialogs().ShowMessage(
            QStringLiteral("通信エラーが発生しました。\n\rネットワークの設定を確認してください。"));
        return QString();
    }
    return reply;
}
} // namespace

QString TForm1::GetHTTP(const QString &url)
{
    return request(*this, url, TWait::Blocking);
}

QString GetHTTPWaiting(TForm1 &form, const QString &url)
{
    return request(form, url, TWait::Processing);
}

bool TForm1::GetHTTPBin(const QString &url, const QString &fileName)
{
    // The body goes to a file beside fileName that replaces it only when complete, so a failed
    // download is never mistaken later for a cached picture.
    TNetworkRequest request;
    request.Method = TNetworkRequest::TMethod::GetToFile;
    request.Url = url;
    request.FileName = fileName;
    try {
        IdHTTP1->worker().Exchange(
            std::move(request), [this] { SetCookie(); },
            [this](const TNetworkReply &) { GetCookie(); });
    } catch (const EInOutError &) {
        // The file could not be created: that reaches the caller.
        throw;
    } catch (...) {
        // Every other failure of the transfer is a plain false, without a message.
        return false;
    }
    return true;
}
