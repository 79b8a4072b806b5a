// The network worker against a loopback server: errors come back as the client's own kinds,
// the window's thread processes events while a request runs, and requests asked for meanwhile
// (through the worker or straight on the client) wait for it, in order.
#include "platform/net/HttpClient.h"
#include "platform/net/HttpError.h"
#include "platform/net/NetworkWorker.h"
#include "tests/test_http_support.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

using Reply = RawHttpServer::Reply;
using Request = RawHttpServer::Request;

TEST(NetworkWorker, ErrorsKeepTheirKindsAndRequestsAskedDuringAnExchangeWaitForIt)
{
    RawHttpServer server([](const Request &r) -> Reply {
        const QByteArray line = r.requestLine();
        if (line.contains("/missing"))
            return {RawHttpServer::response(404, "gone")};
        if (line.contains("/slow")) {
            std::this_thread::sleep_for(std::chrono::milliseconds(600));
            return {RawHttpServer::response(200, "slow", "Set-Cookie: sid=NEW; path=/\r\n")};
        }
        return {RawHttpServer::response(200, line.mid(4, line.indexOf(' ', 4) - 4))};
    });
    HttpClient client;
    TNetworkWorker &worker = client.worker();
    auto request = [&](const QString &path) {
        TNetworkRequest r;
        r.Url = server.baseUrl() + path;
        return r;
    };

    try {
        worker.Exchange(request(QStringLiteral("/missing")));
        ADD_FAILURE() << "an error status must raise";
    } catch (const EIdHTTPProtocolException &e) {
        EXPECT_EQ(e.ErrorCode, 404);
        EXPECT_EQ(e.ErrorMessage, "gone");
    }
    TNetworkRequest unreachable;
    unreachable.Url = QStringLiteral("http://127.0.0.1:1/x");
    EXPECT_THROW(worker.Exchange(unreachable), EIdSocketError);
    TNetworkRequest toFile = request(QStringLiteral("/file"));
    toFile.Method = TNetworkRequest::TMethod::GetToFile;
    toFile.FileName = QStringLiteral("/nonexistent-folder/x.jpg");
    EXPECT_THROW(worker.Exchange(toFile), EInOutError);
    QTemporaryDir dir;
    toFile.FileName = dir.path() + QStringLiteral("/x.jpg");
    EXPECT_EQ(worker.Exchange(toFile).Status, 200);
    EXPECT_EQ(server.requests().size(), 2u);

    // While /slow runs, one timer asks for /fast through the worker, and a second one, firing
    // while /fast waits, asks for /direct on the client itself.
    QStringList steps;
    QTimer::singleShot(50, [&] {
        steps << "timer 1";
        const TNetworkReply fast = worker.Exchange(
            request(QStringLiteral("/fast")),
            [&] {
                steps << "prepare fast";
                // The slow reply's cookie is in the store before the next request goes out.
                for (const HttpCookie &c : client.cookies())
                    if (c.Name == QLatin1String("sid"))
                        steps << "sid " + c.Value;
            },
            [&](const TNetworkReply &) { steps << "settle fast"; });
        steps << "fast returned " + QString::fromLatin1(fast.Body);
    });
    QTimer::singleShot(100, [&] {
        steps << "timer 2";
        steps << "direct " + QString::fromLatin1(client.get(server.baseUrl() + "/direct"));
    });
    const TNetworkReply slow = worker.Exchange(
        request(QStringLiteral("/slow")), [&] { steps << "prepare slow"; },
        [&](const TNetworkReply &r) {
            // As GetCookie does: the store is read before any other exchange may go.
            const QList<HttpCookie> cookies = client.cookies();
            steps << "settle slow " + QString::fromLatin1(r.Body) + " " +
                         QString::number(cookies.size());
        });
    steps << "slow returned";
    EXPECT_EQ(slow.Body, "slow");
    EXPECT_EQ(slow.Status, 200);
    EXPECT_EQ(steps, (QStringList{"prepare slow", "timer 1", "timer 2", "settle slow slow 1",
                                  "prepare fast", "sid NEW", "settle fast", "direct /direct",
                                  "fast returned /fast", "slow returned"}));
    const std::vector<Request> wire = server.requests();
    ASSERT_EQ(wire.size(), 5u);
    EXPECT_EQ(wire[2].requestLine(), "GET /slow HTTP/1.1");
    EXPECT_EQ(wire[3].requestLine(), "GET /fast HTTP/1.1");
    EXPECT_EQ(wire[3].headers("Cookie"), QList<QByteArray>{"sid=NEW"});
    EXPECT_EQ(wire[4].requestLine(), "GET /direct HTTP/1.1");
}
