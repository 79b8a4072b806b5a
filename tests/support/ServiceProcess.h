#pragma once
// The stand-in service for client tests: starts build's tovela-service on a free loopback port
// with the test hooks and a fresh data folder, and stops it again. With TOVELA_TEST_SERVICE set
// to a base address ("http://host:port") it starts nothing and uses that service instead; the
// hooks are then unavailable and tests that need them skip (TOVELA_REQUIRE_TEST_HOOKS).
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class ChildProcess;

// One request as the service received it (GET /__test/requests); all bytes exactly as on the
// wire, the path as the server decoded it.
struct RecordedRequest {
    QByteArray method;
    QByteArray path;
    QByteArray queryRaw; // still percent-encoded
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;     // the first 8 MB
    qint64 bodySize = 0; // the whole body's size

    // The first value of the header name (compared without regard to case), or empty.
    QByteArray header(const QByteArray &name) const;
    QList<QByteArray> headerValues(const QByteArray &name) const;
};

// Everything POST /__test/reply can say; see cannedReply().
struct CannedReply {
    QString path;    // exact request path, e.g. "/wis/wi_login.php/"
    QByteArray body; // sent as is
    int status = 200;
    int count = 1;             // requests it answers; 0: all until reset()
    int after = 0;             // requests of the path that pass before it answers (k-th: k-1)
    bool stall = false;        // accept and never answer (until reset())
    bool closeMid = false;     // send the headers and half the body, then close
    bool resetMid = false;     // read half the request body, then drop the connection
    int delayMs = 0;           // the reply waits this long before it goes out
    int readRate = 0;          // the request body is read at this many bytes a second (0: at once)
    bool pass = false;         // the service's own logic answers, paced as above
    QByteArray contentType;    // empty: "text/plain; charset=Shift_JIS"
    QList<QByteArray> headers; // extra reply header lines "Name: value", e.g. a Set-Cookie
};

// A picture the service stored (GET /__test/uploads).
struct StoredPicture {
    int id = 0;
    QString owner; // "album" or "order"
    int folder = 0;
    QString name;
    qint64 size = 0;
    QString file; // where the service keeps its bytes
};

class ServiceProcess
{
public:
    // extraArguments go to tovela-service after the standard ones (e.g. "--order-limit", "3").
    explicit ServiceProcess(const QStringList &extraArguments = {});
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess &) = delete;
    ServiceProcess &operator=(const ServiceProcess &) = delete;

    bool isReady() const { return !baseUrl_.isEmpty(); }
    bool hooksAvailable() const { return hooks_; }
    QString host() const { return host_; }       // "127.0.0.1:PORT"
    QString baseUrl() const { return baseUrl_; } // "http://127.0.0.1:PORT"
    QString demoEmail() const { return demoEmail_; }
    QString demoPassword() const { return demoPassword_; }
    QString dataDir() const; // empty for an outside service

    void cannedReply(const QString &path, const QByteArray &body, int status = 200, int count = 1);
    void cannedReply(const CannedReply &reply);
    QList<RecordedRequest> requests();
    void reset();
    // Adds an account to the service; returns its id (0 on failure).
    int addAccount(const QString &email, const QByteArray &password, const QString &name);
    QList<StoredPicture> uploads();

    // A plain GET of pathAndQuery for checks of the service's state; the body, or empty with
    // status 0 when no reply came.
    QByteArray get(const QString &pathAndQuery, int *status = nullptr);

private:
    QByteArray hook(const QString &path, const QList<QPair<QByteArray, QByteArray>> &fields,
                    bool post);

    std::unique_ptr<QTemporaryDir> data_;
    std::unique_ptr<ChildProcess> process_;
    QString host_;
    QString baseUrl_;
    QString demoEmail_;
    QString demoPassword_;
    bool hooks_ = false;
};

#define TOVELA_REQUIRE_TEST_HOOKS(service)                                                         \
    do {                                                                                           \
        if (!(service).hooksAvailable())                                                           \
            GTEST_SKIP() << "needs the test hooks of tovela-service";                              \
    } while (0)

// The same, naming the hooks the test needs (what: "canned replies", "the request record").
#define TOVELA_REQUIRE_TEST_HOOKS_FOR(service, what)                                               \
    do {                                                                                           \
        if (!(service).hooksAvailable())                                                           \
            GTEST_SKIP() << "needs tovela-service's test hooks (" << (what)                        \
                         << "), which the service in TOVELA_TEST_SERVICE does not offer";          \
    } while (0)
