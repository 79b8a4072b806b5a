// The session id on the wire: the "sid" cookie sent with every request and read back from
// every reply.
#include "app/Unit1.h"

#include "platform/HttpClient.h"
#include "session/ServiceReply.h"

namespace
{

// host[:port] of the service address, as the cookie store files its cookies.
QString cookieHost(const QString &serviceHost)
{
    QString host = serviceHost;
    const qsizetype scheme = host.indexOf(QLatin1String("://"));
    if (scheme >= 0)
        host.remove(0, scheme + 3);
    const qsizetype path = host.indexOf(QLatin1Char('/'));
    if (path >= 0)
        host.truncate(path);
    return host;
}

} // namespace

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
    IdHTTP1->setCookie(cookieHost(ServiceHost), QStringLiteral("sid"), SessionId);
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
