// Login and logout exchanges with the service.
#include "app/Unit1.h"

#include "platform/base/Dialogs.h"
#include "platform/net/HttpError.h"
#include "platform/text/ShiftJis.h"
#include "session/LoginForm.h"
#include "session/ServiceReply.h"

#include <QLineEdit>

namespace
{

// A query value, percent-encoded so that "&", "#", "+", "%" or a blank in a password reach
// the service as typed. The service's code page first; a value that code page cannot hold
// (a password with "é") goes as UTF-8 rather than silently changed into another password.
QString queryValue(const QString &text)
{
    const QByteArray encoded =
        fitsShiftJis(text) ? percentEncodeShiftJis(text) : percentEncode(text.toUtf8());
    return QString::fromLatin1(encoded);
}

} // namespace

bool TForm1::Login()
{
    SetCookie();
    QString reply;
    try {
        reply = GetHTTP(ServiceHost + QStringLiteral("/wis/wi_login.php/") + SessionId +
                        QStringLiteral("?email=") + queryValue(LoginDialog->EditEmail->text()) +
                        QStringLiteral("&passwd=") + queryValue(LoginDialog->EditPasswd->text()));
    } catch (const EIdHTTPProtocolException &) {
        Dialogs().ShowMessage(QStringLiteral("Network Error No 100"));
        Dialogs().ShowMessage(QStringLiteral(
            "ネットワークエラーが発生しました。\r\n時間をおいて、再度ログインしてください。"));
        reply.clear();
    }
    // Also after a refusal: the login takes the service's cookie all the same.
    GetCookie();
    SessionReady = true;
    if (SessionId.isEmpty()) {
        const QString cookie =
            GetHTTP(ServiceHost + QStringLiteral("/wis/wi_login.php?mode=cookie_get"));
        // An id with a line break or a blank would corrupt every later request: none is had.
        if (!cookie.isEmpty() && IsUsableSessionId(cookie)) {
            SessionId = cookie;
        } else {
            Dialogs().ShowMessage(QStringLiteral(
                "クッキー情報が取得出来ませんでした。\n\r接続環境をご確認ください。"));
            SessionReady = false;
        }
    }
    if (reply == QLatin1String("OK")) {
        UserName = GetHTTP(ServiceHost + QStringLiteral("/wis/wi_login.php/") + SessionId +
                           QStringLiteral("?mode=get_name"));
        LoginProc();
        return true;
    }
    LogoutProc();
    return false;
}

bool TForm1::Logout()
{
    SetCookie();
    try {
        GetHTTP(ServiceHost + QStringLiteral("/wis/wi_logout.php/") + SessionId);
    } catch (...) {
        // Any failure of the logout request is dropped: the window goes to the logged-out state
        // whatever became of it (a connection failure was already reported inside GetHTTP).
    }
    GetCookie();
    LogoutProc();
    return false;
}
