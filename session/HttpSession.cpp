// The session id on the wire: the "sid" cookie sent with every request and read back from
// every reply.
#include "app/Unit1.h"

#include "platform/net/HttpClient.h"
#include "session/ServiceReply.h"

#include <QUrl>

HttpClient *TForm1::CreateHttpClient(QObject *owner)
{
    return new HttpClient(owner);
}

void TForm1::SetCookie()
{
    if (SessionId.isEmpty())
        return;
    // One Cookie header goes out: the id is put into the store, which sends it with the
    // service's other cookies, instead of a second "Cookie: sid=" line of our own.
    IdHTTP1->setCustomHeaders({});
    // The store files cookies under host[:port] of the service address.
    IdHTTP1->setCookie(QUrl(ServiceHost).adjusted(QUrl::RemoveUserInfo).authority(),
                       QStringLiteral("sid"), SessionId);
}

void TForm1::GetCookie()
{
    const QList<HttpCookie> cookies = IdHTTP1->cookies();
    for (const HttpCookie &cookie : cookies) {
        if (cookie.Name.compare(QLatin1String("sid"), Qt::CaseInsensitive) != 0)
            continue;
        // An id that would break the Cookie header line and every address is not taken.
        if (IsUsableSessionId(cookie.Value))
            SessionId = cookie.Value;
        return;
    }
}
