// The two request helpers every service exchange except the upload goes through.
#include "app/Unit1.h"

#include "platform/Dialogs.h"
#include "platform/HttpClient.h"
#include "platform/HttpError.h"
#include "platform/ShiftJis.h"
#include "session/ServiceReply.h"

QString TForm1::GetHTTP(const QString &url)
{
    QString reply;
    SetCookie();
    try {
        reply = fromShiftJis(IdHTTP1->get(url));
    } catch (const EIdSocketError &) {
        Dialogs().ShowMessage(
            QStringLiteral("通信エラーが発生しました。\n\rネットワークの設定を確認してください。"));
        return QString();
    }
    // A refused request leaves the session id as it was.
    if (IsRefusal(reply))
        return reply;
    GetCookie();
    return reply;
}

bool TForm1::GetHTTPBin(const QString &url, const QString &fileName)
{
    try {
        SetCookie();
        // The body goes to a file beside fileName that replaces it only when complete, so a
        // failed download is never mistaken later for a cached picture.
        IdHTTP1->get(url, fileName);
    } catch (const EInOutError &) {
        // The file could not be created: that reaches the caller.
        throw;
    } catch (...) {
        return false;
    }
    GetCookie();
    return true;
}
