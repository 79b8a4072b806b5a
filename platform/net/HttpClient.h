#pragma once
// The main window's HTTP client (IdHTTP1) with its cookie store (IdCookieManager1): one libcurl
// easy handle, HTTP/1.1, cookies kept in memory for the life of the client, redirects not
// followed, the fixed Accept and User-Agent. A reply status outside 200-299 raises
// EIdHTTPProtocolException; a failed connection raises EIdSocketError (platform/net/HttpError.h).
#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>

class TNetworkWorker;

struct HttpCookie {
    QString Domain;
    QString Path;
    QString Name;
    QString Value;
};

// One part of a multipart/form-data POST: a plain field (Value), or a file streamed from
// FilePath (the path's bytes as the file system holds them) with the filename parameter
// FileName given as raw bytes.
struct HttpFormPart {
    QByteArray Name;
    QByteArray Value;
    QByteArray FilePath;
    QByteArray FileName;
    QByteArray ContentType;
    QList<QByteArray> Headers;
};

class HttpClient : public QObject
{
    Q_OBJECT
public:
    static constexpr const char *Accept = "text/html, */*";
    static constexpr const char *UserAgent = "Mozilla/3.0 (compatible; Indy Library)";

    explicit HttpClient(QObject *parent = nullptr);
    ~HttpClient() override;
    HttpClient(const HttpClient &) = delete;
    HttpClient &operator=(const HttpClient &) = delete;

    // Client defaults: 30 s to connect; a transfer below 1 byte/s for 60 s fails.
    void setConnectTimeout(std::chrono::milliseconds timeout);
    void setStallLimit(long bytesPerSecond, std::chrono::seconds duration);

    // Extra request header lines sent with every later request ("Name: value").
    void setCustomHeaders(const QList<QByteArray> &lines);
    QList<QByteArray> customHeaders() const;

    // The cookie store, in the order the store keeps them.
    QList<HttpCookie> cookies() const;
    // Puts name = value for host (host[:port]) into the store, replacing every cookie of that
    // name (letter case ignored) the store holds. A value with a control character or a blank
    // cannot travel in a Cookie header and raises EIdException.
    void setCookie(const QString &host, const QString &name, const QString &value);

    // GET; returns the whole reply body.
    QByteArray get(const QString &url);
    // GET into fileName: the body goes to a temporary file beside it, which replaces fileName
    // only when the transfer completed; after any failure no new file is left behind.
    // Only a file that cannot be created raises EInOutError (before anything is sent); every
    // later failure, writing and renaming included, is one of the client's kinds.
    void get(const QString &url, const QString &fileName);
    // multipart/form-data POST; returns the reply body. Files are streamed from disk.
    QByteArray post(const QString &url, const QList<HttpFormPart> &parts);

    // Called while a request runs with the bytes sent so far and the total to send (0 when
    // unknown); returning false stops the transfer with EIdTransferAborted.
    using ProgressHook = std::function<bool(qint64 sent, qint64 total)>;
    void setProgressHook(ProgressHook hook);

    // Status code of the last reply (0 when none came).
    int responseCode() const;

    // The thread that runs this client's requests while the window's thread processes its
    // events (platform/net/NetworkWorker.h); started on first use. Every call above made on the
    // client's own thread while the worker's transfer holds the handle first processes events
    // until the transfer is over; the worker in turn waits for a request of the client's own
    // thread to end. So the handle and its cookie store are never used by two threads at once.
    TNetworkWorker &worker();
    // Whether a request made on the client's own thread is running now.
    bool usedHere() const;

private:
    struct Impl;
    struct DirectUse;
    std::unique_ptr<Impl> d;
};
