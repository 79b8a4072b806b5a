#include "platform/net/HttpClient.h"

#include "platform/base/Exception.h"
#include "platform/net/HttpError.h"
#include "platform/net/NetworkWorker.h"
#include "platform/system/ReplacingFile.h"
#include "platform/text/ShiftJis.h"

#include <QDateTime>
#include <QThread>
#include <QUrl>
#include <curl/curl.h>
#include <exception>
#include <mutex>

namespace
{

struct CurlDeleter {
    void operator()(CURL *h) const { curl_easy_cleanup(h); }
};
struct SlistDeleter {
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};
struct MimeDeleter {
    void operator()(curl_mime *mime) const { curl_mime_free(mime); }
};
using CurlHandle = std::unique_ptr<CURL, CurlDeleter>;
using Slist = std::unique_ptr<curl_slist, SlistDeleter>;
using Mime = std::unique_ptr<curl_mime, MimeDeleter>;

void appendLine(Slist &list, const QByteArray &line)
{
    curl_slist *grown = curl_slist_append(list.get(), line.constData());
    if (!grown)
        throw std::bad_alloc();
    list.release();
    list.reset(grown);
}

bool isConnectionFailure(CURLcode rc)
{
    switch (rc) {
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_CONNECT:
    case CURLE_OPERATION_TIMEDOUT:
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
        return true;
    default:
        return false;
    }
}

// The host part of host[:port], as the cookie store keys it; an IPv6 address keeps its
// brackets.
QByteArray cookieDomain(const QString &host)
{
    const QString name = QUrl(QStringLiteral("http://") + host).host().toLower();
    if (name.contains(QLatin1Char(':')))
        return "[" + name.toUtf8() + "]";
    return name.toUtf8();
}

bool cookieValueTravels(const QByteArray &value)
{
    for (char c : value) {
        const auto b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b == 0x7F)
            return false;
    }
    return true;
}

} // namespace

struct HttpClient::Impl {
    CurlHandle handle;
    char errorText[CURL_ERROR_SIZE] = {};
    QList<QByteArray> customHeaders;
    ProgressHook progress;
    long connectTimeoutMs = 30000;
    long stallBytesPerSecond = 1;
    long stallSeconds = 60;

    // State of the running request.
    QByteArray body;
    ReplacingFile *file = nullptr;
    QByteArray statusLine;
    std::exception_ptr pending;

    // The store changes only by a reply's Set-Cookie lines, by our own lines, or by a cookie
    // expiring; each request reads and sets the session id, so what was read last is kept
    // until then instead of listing and parsing the whole store again.
    quint64 storeVersion = 0;
    quint64 listedVersion = ~quint64(0);
    qint64 listedUntil = 0; // the first expiry among the listed cookies; 0: none expires
    QList<HttpCookie> listed;
    quint64 setVersion = ~quint64(0);
    QByteArray setLine; // the line the last setCookie left as the only one of its name
    QString domainHost;
    QByteArray domain;

    // Requests of the client's own thread running now (more than one only through a progress
    // hook that processes events).
    int directUses = 0;
    // Last, so that it goes first: its thread may still be using everything above.
    std::unique_ptr<TNetworkWorker> worker;

    Impl() : handle(curl_easy_init())
    {
        if (!handle)
            throw EIdException(QStringLiteral("libcurl could not create a transfer handle"));
        CURL *h = handle.get();
        curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
        curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
        curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
        curl_easy_setopt(h, CURLOPT_USERAGENT, UserAgent);
        curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, 0L);
        // No proxy, whatever the environment says.
        curl_easy_setopt(h, CURLOPT_PROXY, "");
        // An empty file name switches the in-memory cookie engine on without reading a file.
        curl_easy_setopt(h, CURLOPT_COOKIEFILE, "");
        curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, &Impl::onWrite);
        curl_easy_setopt(h, CURLOPT_WRITEDATA, this);
        curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, &Impl::onHeader);
        curl_easy_setopt(h, CURLOPT_HEADERDATA, this);
        curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, &Impl::onProgress);
        curl_easy_setopt(h, CURLOPT_XFERINFODATA, this);
        // The progress callback costs every transfer; it runs only while a hook wants it.
        curl_easy_setopt(h, CURLOPT_NOPROGRESS, 1L);
    }

    bool statusOk() const
    {
        long code = 0;
        curl_easy_getinfo(handle.get(), CURLINFO_RESPONSE_CODE, &code);
        return code >= 200 && code <= 299;
    }

    static size_t onWrite(char *data, size_t size, size_t count, void *user) noexcept
    {
        auto *self = static_cast<Impl *>(user);
        const size_t n = size * count;
        try {
            // An error reply's body is kept for the error, never written to the file.
            if (self->file && self->statusOk()) {
                if (!self->file->write(data, static_cast<qint64>(n)))
                    throw EIdException(self->file->errorString());
            } else {
                self->body.append(data, static_cast<qsizetype>(n));
            }
            return n;
        } catch (...) {
            // Nothing may unwind through libcurl: any error is kept and raised once it returns.
            self->pending = std::current_exception();
            return 0;
        }
    }

    static size_t onHeader(char *data, size_t size, size_t count, void *user) noexcept
    {
        auto *self = static_cast<Impl *>(user);
        const size_t n = size * count;
        try {
            QByteArray line(data, static_cast<qsizetype>(n));
            if (line.startsWith("HTTP/"))
                self->statusLine = line.trimmed();
            else if (line.size() > 11 && qstrnicmp(line.constData(), "set-cookie:", 11) == 0)
                ++self->storeVersion;
            return n;
        } catch (...) {
            // Nothing may unwind through libcurl: any error is kept and raised once it returns.
            self->pending = std::current_exception();
            return 0;
        }
    }

    static int onProgress(void *user, curl_off_t, curl_off_t, curl_off_t ultotal,
                          curl_off_t ulnow) noexcept
    {
        auto *self = static_cast<Impl *>(user);
        if (!self->progress)
            return 0;
        try {
            return self->progress(ulnow, ultotal) ? 0 : 1;
        } catch (...) {
            // Nothing may unwind through libcurl: any error is kept and raised once it returns.
            self->pending = std::current_exception();
            return 1;
        }
    }

    Slist requestHeaders() const
    {
        Slist list;
        for (const QByteArray &line : customHeaders)
            appendLine(list, line);
        appendLine(list, QByteArray("Accept: ") + HttpClient::Accept);
        // Large POSTs would otherwise wait for a 100 reply some servers never send.
        appendLine(list, "Expect:");
        return list;
    }

    // Runs the prepared request; raises the client's error kinds.
    void perform(const QString &url)
    {
        CURL *h = handle.get();
        body.clear();
        statusLine.clear();
        pending = nullptr;
        errorText[0] = '\0';
        const QByteArray address = toShiftJis(url);
        curl_easy_setopt(h, CURLOPT_URL, address.constData());
        curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, connectTimeoutMs);
        curl_easy_setopt(h, CURLOPT_LOW_SPEED_LIMIT, stallBytesPerSecond);
        curl_easy_setopt(h, CURLOPT_LOW_SPEED_TIME, stallSeconds);
        Slist headers = requestHeaders();
        curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
        const CURLcode rc = curl_easy_perform(h);
        curl_easy_setopt(h, CURLOPT_HTTPHEADER, nullptr);
        if (pending)
            std::rethrow_exception(std::exchange(pending, nullptr));
        if (rc != CURLE_OK) {
            QString text = QString::fromUtf8(errorText);
            if (text.isEmpty())
                text = QString::fromUtf8(curl_easy_strerror(rc));
            if (isConnectionFailure(rc))
                throw EIdSocketError(text, rc);
            if (rc == CURLE_ABORTED_BY_CALLBACK)
                throw EIdTransferAborted(text, rc);
            throw EIdException(text, rc);
        }
        long code = 0;
        curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &code);
        if (code < 200 || code > 299)
            throw EIdHTTPProtocolException(QString::fromLatin1(statusLine), static_cast<int>(code),
                                           std::exchange(body, {}));
    }

    QList<QByteArray> cookieLines() const
    {
        curl_slist *raw = nullptr;
        curl_easy_getinfo(handle.get(), CURLINFO_COOKIELIST, &raw);
        Slist list(raw);
        QList<QByteArray> lines;
        for (curl_slist *item = list.get(); item; item = item->next)
            lines.append(QByteArray(item->data));
        return lines;
    }

    void addCookieLine(const QByteArray &line)
    {
        ++storeVersion;
        if (curl_easy_setopt(handle.get(), CURLOPT_COOKIELIST, line.constData()) != CURLE_OK)
            throw EIdException(QStringLiteral("the cookie store refused a cookie"));
    }

    bool listedIsCurrent() const
    {
        return listedVersion == storeVersion &&
               (listedUntil == 0 || QDateTime::currentSecsSinceEpoch() < listedUntil);
    }

    const QByteArray &domainOf(const QString &host)
    {
        if (domain.isEmpty() || host != domainHost) {
            domain = cookieDomain(host);
            domainHost = host;
        }
        return domain;
    }
};

HttpClient::HttpClient(QObject *parent) : QObject(parent)
{
    // libcurl's global set-up is not thread-safe; do it once, before the first handle.
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    d = std::make_unique<Impl>();
}

// A use of the client from its own thread: waits for the worker's transfer to end first, and
// keeps the worker off the handle until it is over. The worker's own calls pass straight on.
struct HttpClient::DirectUse {
    const HttpClient &client;
    const bool here;

    explicit DirectUse(const HttpClient &c)
        : client(c), here(QThread::currentThread() == c.thread())
    {
        if (!here)
            return;
        if (client.d->worker)
            client.d->worker->WaitUntilIdle();
        ++client.d->directUses;
    }
    ~DirectUse()
    {
        if (here && --client.d->directUses == 0 && client.d->worker)
            client.d->worker->ClientReleased();
    }
    DirectUse(const DirectUse &) = delete;
    DirectUse &operator=(const DirectUse &) = delete;
};

HttpClient::~HttpClient()
{
    // The worker's transfer ends before the handle goes.
    d->worker.reset();
}

TNetworkWorker &HttpClient::worker()
{
    if (!d->worker)
        d->worker = std::make_unique<TNetworkWorker>(*this);
    return *d->worker;
}

bool HttpClient::usedHere() const
{
    return d->directUses > 0;
}

void HttpClient::setConnectTimeout(std::chrono::milliseconds timeout)
{
    const DirectUse use(*this);
    d->connectTimeoutMs = static_cast<long>(timeout.count());
}

void HttpClient::setStallLimit(long bytesPerSecond, std::chrono::seconds duration)
{
    const DirectUse use(*this);
    d->stallBytesPerSecond = bytesPerSecond;
    d->stallSeconds = static_cast<long>(duration.count());
}

void HttpClient::setCustomHeaders(const QList<QByteArray> &lines)
{
    const DirectUse use(*this);
    d->customHeaders = lines;
}

QList<QByteArray> HttpClient::customHeaders() const
{
    const DirectUse use(*this);
    return d->customHeaders;
}

QList<HttpCookie> HttpClient::cookies() const
{
    const DirectUse use(*this);
    if (d->listedIsCurrent())
        return d->listed;
    QList<HttpCookie> out;
    qint64 until = 0;
    for (QByteArray line : d->cookieLines()) {
        if (line.startsWith("#HttpOnly_"))
            line.remove(0, 10);
        // Netscape form: domain, subdomains, path, secure, expiry, name, value.
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() < 6)
            continue;
        HttpCookie cookie;
        cookie.Domain = QString::fromUtf8(fields[0]);
        cookie.Path = QString::fromUtf8(fields[2]);
        cookie.Name = fromShiftJis(fields[5]);
        cookie.Value = fields.size() > 6 ? fromShiftJis(fields[6]) : QString();
        out.append(cookie);
        const qint64 expires = fields[4].toLongLong();
        if (expires > 0 && (until == 0 || expires < until))
            until = expires;
    }
    d->listed = out;
    d->listedVersion = d->storeVersion;
    d->listedUntil = until;
    return out;
}

void HttpClient::setCookie(const QString &host, const QString &name, const QString &value)
{
    const DirectUse use(*this);
    const QByteArray rawName = toShiftJis(name);
    const QByteArray rawValue = toShiftJis(value);
    if (!cookieValueTravels(rawName) || !cookieValueTravels(rawValue) || rawName.contains('='))
        throw EIdException(QStringLiteral("a cookie cannot hold control characters or blanks"));
    const QByteArray wanted =
        d->domainOf(host) + "\tFALSE\t/\tFALSE\t0\t" + rawName + '\t' + rawValue;
    // Nothing has come into the store since this very line was made the only one of its name.
    if (d->setVersion == d->storeVersion && d->setLine == wanted)
        return;
    // Keep every other cookie; drop all of this name, whatever their domain or path.
    QList<QByteArray> kept;
    int sameName = 0;
    bool alreadyThere = false;
    for (const QByteArray &line : d->cookieLines()) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() >= 6 && fields[5].toLower() == rawName.toLower()) {
            ++sameName;
            alreadyThere = alreadyThere || line == wanted;
            continue;
        }
        kept.append(line);
    }
    // The id is set before every request and mostly unchanged: rebuilding the store then
    // would only cost the request its time.
    if (!(sameName == 1 && alreadyThere)) {
        d->addCookieLine("ALL");
        for (const QByteArray &line : kept)
            d->addCookieLine(line);
        d->addCookieLine(wanted);
    }
    d->setVersion = d->storeVersion;
    d->setLine = wanted;
}

QByteArray HttpClient::get(const QString &url)
{
    const DirectUse use(*this);
    curl_easy_setopt(d->handle.get(), CURLOPT_HTTPGET, 1L);
    d->file = nullptr;
    d->perform(url);
    return std::exchange(d->body, {});
}

void HttpClient::get(const QString &url, const QString &fileName)
{
    const DirectUse use(*this);
    // Atomic replacement without a sync to disk: what lands here is a cache (album thumbnails
    // and pictures), where a file lost in a crash is fetched again, and a sync per file costs
    // more than the transfer.
    ReplacingFile file(fileName);
    if (!file.open())
        throw EInOutError(
            QStringLiteral("Cannot create file \"%1\". %2").arg(fileName, file.errorString()));
    curl_easy_setopt(d->handle.get(), CURLOPT_HTTPGET, 1L);
    d->file = &file;
    try {
        d->perform(url);
    } catch (...) {
        // Whatever the error, the partial file is thrown away; the error goes on.
        d->file = nullptr;
        file.cancel();
        throw;
    }
    d->file = nullptr;
    if (!file.commit())
        throw EIdException(
            QStringLiteral("Cannot write file \"%1\". %2").arg(fileName, file.errorString()));
}

QByteArray HttpClient::post(const QString &url, const QList<HttpFormPart> &parts)
{
    const DirectUse use(*this);
    CURL *h = d->handle.get();
    Mime mime(curl_mime_init(h));
    if (!mime)
        throw std::bad_alloc();
    for (const HttpFormPart &part : parts) {
        curl_mimepart *p = curl_mime_addpart(mime.get());
        curl_mime_name(p, part.Name.constData());
        if (!part.FilePath.isEmpty()) {
            if (curl_mime_filedata(p, part.FilePath.constData()) != CURLE_OK)
                throw EInOutError(QStringLiteral("Cannot open file \"%1\".")
                                      .arg(QString::fromLocal8Bit(part.FilePath)));
            curl_mime_filename(p, part.FileName.constData());
        } else {
            curl_mime_data(p, part.Value.constData(), static_cast<size_t>(part.Value.size()));
        }
        if (!part.ContentType.isEmpty())
            curl_mime_type(p, part.ContentType.constData());
        if (!part.Headers.isEmpty()) {
            Slist lines;
            for (const QByteArray &line : part.Headers)
                appendLine(lines, line);
            curl_mime_headers(p, lines.release(), 1);
        }
    }
    curl_easy_setopt(h, CURLOPT_MIMEPOST, mime.get());
    d->file = nullptr;
    try {
        d->perform(url);
    } catch (...) {
        // Whatever the error, the handle goes back to plain GETs; the error goes on.
        curl_easy_setopt(h, CURLOPT_MIMEPOST, nullptr);
        curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
        throw;
    }
    curl_easy_setopt(h, CURLOPT_MIMEPOST, nullptr);
    curl_easy_setopt(h, CURLOPT_HTTPGET, 1L);
    return std::exchange(d->body, {});
}

void HttpClient::setProgressHook(ProgressHook hook)
{
    const DirectUse use(*this);
    d->progress = std::move(hook);
    curl_easy_setopt(d->handle.get(), CURLOPT_NOPROGRESS, d->progress ? 0L : 1L);
}

int HttpClient::responseCode() const
{
    const DirectUse use(*this);
    long code = 0;
    curl_easy_getinfo(d->handle.get(), CURLINFO_RESPONSE_CODE, &code);
    return static_cast<int>(code);
}
