// GetHTTP, GetHTTPBin and the session cookie against a loopback server whose every reply
// header the test controls (the cookies the service sets with each answer).
#include "platform/net/HttpError.h"
#include "tests/test_http_support.h"
#include "tests/test_session_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using Reply = RawHttpServer::Reply;
using Request = RawHttpServer::Request;

namespace
{

Reply reply(const QByteArray &body, const QByteArray &cookie = {}, int status = 200)
{
    return {RawHttpServer::response(
        status, body, cookie.isEmpty() ? QByteArray() : "Set-Cookie: " + cookie + "\r\n")};
}

// The path of a request line, without its query.
QByteArray pathOf(const Request &r)
{
    const QByteArray target = r.requestLine().split(' ').value(1);
    return target.left(target.indexOf('?') < 0 ? target.size() : target.indexOf('?'));
}

} // namespace

class SessionHttp : public SessionFixture
{
};

TEST_F(SessionHttp, RefusalIsTheFirstLineOnlyAndKeepsTheSessionId)
{
    RawHttpServer server([](const Request &r) {
        const QByteArray path = pathOf(r);
        if (path == "/ng")
            return reply("NG\r\nsecond line\r\n", "sid=NEW");
        if (path == "/lower")
            return reply("ng", "sid=LOWER");
        return reply(" NG\r\n", "sid=BLANK");
    });
    TForm1 &w = bareWindow(server.baseUrl());
    w.SessionId = QStringLiteral("OLD");
    EXPECT_EQ(w.GetHTTP(server.baseUrl() + "/ng"), QStringLiteral("NG\r\nsecond line\r\n"));
    EXPECT_EQ(w.SessionId, QStringLiteral("OLD"));
    EXPECT_EQ(w.GetHTTP(server.baseUrl() + "/lower"), QStringLiteral("ng"));
    EXPECT_EQ(w.SessionId, QStringLiteral("LOWER"));
    EXPECT_EQ(w.GetHTTP(server.baseUrl() + "/blank"), QStringLiteral(" NG\r\n"));
    EXPECT_EQ(w.SessionId, QStringLiteral("BLANK"));
    EXPECT_TRUE(texts().empty());
}

TEST_F(SessionHttp, EmptyBodyIsNotRefusedAndAnUpperCaseSidCookieIsTaken)
{
    RawHttpServer server([](const Request &r) {
        return pathOf(r) == "/empty" ? reply("", "sid=FROMEMPTY") : reply("x", "SID=UPPER");
    });
    TForm1 &w = bareWindow(server.baseUrl());
    EXPECT_EQ(w.GetHTTP(server.baseUrl() + "/empty"), QString());
    EXPECT_EQ(w.SessionId, QStringLiteral("FROMEMPTY"));
    EXPECT_EQ(w.GetHTTP(server.baseUrl() + "/upper"), QStringLiteral("x"));
    EXPECT_EQ(w.SessionId, QStringLiteral("UPPER"));
}

TEST_F(SessionHttp, OneCookieLineThatStaysWhenTheIdIsEmpty)
{
    int n = 0;
    RawHttpServer server(
        [&](const Request &) { return ++n == 1 ? reply("", "lang=ja") : reply(""); });
    TForm1 &w = bareWindow(server.baseUrl());
    w.GetHTTP(server.baseUrl() + "/a");
    w.SessionId = QStringLiteral("A1");
    w.GetHTTP(server.baseUrl() + "/b");
    w.SessionId.clear();
    w.GetHTTP(server.baseUrl() + "/c");
    w.SessionId = QStringLiteral("B2");
    w.GetHTTP(server.baseUrl() + "/d");
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_TRUE(requests[0].headers("Cookie").isEmpty());
    auto cookieOf = [&](int i) {
        const QList<QByteArray> lines = requests[i].headers("Cookie");
        EXPECT_EQ(lines.size(), 1) << "request " << i;
        QList<QByteArray> pairs = lines.value(0).split(';');
        for (QByteArray &p : pairs)
            p = p.trimmed();
        std::sort(pairs.begin(), pairs.end());
        return pairs;
    };
    EXPECT_EQ(cookieOf(1), (QList<QByteArray>{"lang=ja", "sid=A1"}));
    EXPECT_EQ(cookieOf(2), (QList<QByteArray>{"lang=ja", "sid=A1"}));
    EXPECT_EQ(cookieOf(3), (QList<QByteArray>{"lang=ja", "sid=B2"}));
    EXPECT_EQ(w.SessionId, QStringLiteral("B2"));
}

TEST_F(SessionHttp, SidCookieWithABlankIsNotTaken)
{
    RawHttpServer server([](const Request &) { return reply("OK", "sid=ab cd"); });
    TForm1 &w = bareWindow(server.baseUrl());
    w.SessionId = QStringLiteral("KEEP");
    EXPECT_EQ(w.GetHTTP(server.baseUrl() + "/x"), QStringLiteral("OK"));
    // The store holds it; the window does not take it.
    QStringList stored;
    for (const HttpCookie &c : w.IdHTTP1->cookies())
        stored << c.Name + "=" + c.Value;
    EXPECT_TRUE(stored.contains(QStringLiteral("sid=ab cd"))) << stored.join('|').toStdString();
    EXPECT_EQ(w.SessionId, QStringLiteral("KEEP"));
    w.GetHTTP(server.baseUrl() + "/y");
    const QList<QByteArray> lines = server.requests().at(1).headers("Cookie");
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0], "sid=KEEP");
}

TEST_F(SessionHttp, UnreachableHostShowsOneMessageAndGivesAnEmptyReply)
{
    quint16 port;
    {
        RawHttpServer gone([](const Request &) { return reply(""); });
        port = gone.port();
    }
    const QString host = QStringLiteral("http://127.0.0.1:%1").arg(port);
    TForm1 &w = bareWindow(host);
    w.SessionId = QStringLiteral("S1");
    EXPECT_EQ(w.GetHTTP(host + "/wis/wi_folder.php/S1?mode=list"), QString());
    EXPECT_EQ(texts(), std::vector<QString>{CommunicationError});
    EXPECT_EQ(dialogs->boxes.at(0).caption, QStringLiteral("ルミナード"));
    EXPECT_EQ(w.SessionId, QStringLiteral("S1"));
}

TEST_F(SessionHttp, ErrorStatusReachesTheCallerWithoutAMessage)
{
    RawHttpServer server([](const Request &) { return reply("gone", "sid=NEW", 404); });
    TForm1 &w = bareWindow(server.baseUrl());
    w.SessionId = QStringLiteral("OLD");
    try {
        w.GetHTTP(server.baseUrl() + "/missing");
        FAIL() << "no error";
    } catch (const EIdHTTPProtocolException &e) {
        EXPECT_EQ(e.ErrorCode, 404);
    }
    EXPECT_TRUE(texts().empty());
    EXPECT_EQ(w.SessionId, QStringLiteral("OLD"));
}

TEST_F(SessionHttp, RepliesAreShiftJisTextAndBadBytesDoNotBreakThem)
{
    const QByteArray name("\x8E\x52\x93\x63\x91\xBE\x98\x59", 8); // 山田太郎
    const QByteArray broken("OK\xFF\x81", 4);
    const QByteArray nul("N\0G", 3);
    RawHttpServer server([&](const Request &r) {
        const QByteArray path = pathOf(r);
        return reply(path == "/name" ? name : path == "/broken" ? broken : nul);
    });
    TForm1 &w = bareWindow(server.baseUrl());
    EXPECT_EQ(w.GetHTTP(server.baseUrl() + "/name"), QStringLiteral("山田太郎"));
    EXPECT_EQ(w.GetHTTP(server.baseUrl() + "/broken"), QStringLiteral("OK\uFFFD\uFFFD"));
    const QString withNul = w.GetHTTP(server.baseUrl() + "/nul");
    EXPECT_EQ(withNul.size(), 3);
    EXPECT_TRUE(texts().empty());
}

TEST_F(SessionHttp, FiftyMegabyteReplyArrivesAsText)
{
    QByteArray big;
    big.reserve(50 * 1024 * 1024);
    while (big.size() < 50 * 1024 * 1024)
        big.append("1<!--SEP-->42<!--SEP-->\x8E\xCA\x90\x5E.jpg\r\n");
    RawHttpServer server([&](const Request &) { return reply(big, "sid=BIG"); });
    TForm1 &w = bareWindow(server.baseUrl());
    const QString text = w.GetHTTP(server.baseUrl() + "/wis/wi_folder.php/S?mode=img&id=1");
    EXPECT_TRUE(text.startsWith(QStringLiteral("1<!--SEP-->42<!--SEP-->写真.jpg\r\n")));
    EXPECT_EQ(text.count(QStringLiteral("写真.jpg")), big.count("\x8E\xCA\x90\x5E.jpg"));
    EXPECT_EQ(w.SessionId, QStringLiteral("BIG"));
    EXPECT_TRUE(texts().empty());
}

TEST_F(SessionHttp, StalledOrCutRepliesAreCommunicationErrors)
{
    const QByteArray full = RawHttpServer::response(200, QByteArray(4000, 'x'));
    RawHttpServer server([&](const Request &r) {
        if (pathOf(r) == "/stall")
            return Reply{{}, true};
        return Reply{full, false, full.size() - 3000};
    });
    TForm1 &w = bareWindow(server.baseUrl());
    EXPECT_EQ(w.GetHTTP(server.baseUrl() + "/stall"), QString());
    EXPECT_EQ(w.GetHTTP(server.baseUrl() + "/cut"), QString());
    EXPECT_EQ(texts(), (std::vector<QString>{CommunicationError, CommunicationError}));
}

TEST_F(SessionHttp, GetHTTPBinWritesOnlyCompleteTransfers)
{
    const QByteArray picture("\xFF\xD8\xFF\xE0 jpeg \0 bytes", 18);
    const QByteArray cut = RawHttpServer::response(200, QByteArray(6000, 'j'));
    RawHttpServer server([&](const Request &r) {
        const QByteArray path = pathOf(r);
        if (path == "/error")
            return reply("NG", "sid=NEW", 500);
        if (path == "/cut")
            return Reply{cut, false, cut.size() - 5000};
        return reply(picture, "sid=FROMPICTURE");
    });
    QTemporaryDir cache;
    TForm1 &w = bareWindow(server.baseUrl());
    w.SessionId = QStringLiteral("OLD");
    EXPECT_FALSE(w.GetHTTPBin(server.baseUrl() + "/error", cache.filePath("S_1.jpg")));
    EXPECT_FALSE(w.GetHTTPBin(server.baseUrl() + "/cut", cache.filePath("S_2.jpg")));
    EXPECT_TRUE(QDir(cache.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_EQ(w.SessionId, QStringLiteral("OLD"));
    EXPECT_TRUE(texts().empty());

    // No refusal check on this path: the body is written whatever it says.
    EXPECT_TRUE(w.GetHTTPBin(server.baseUrl() + "/ok", cache.filePath("S_3.jpg")));
    QFile file(cache.filePath("S_3.jpg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), picture);
    EXPECT_EQ(w.SessionId, QStringLiteral("FROMPICTURE"));
}

TEST_F(SessionHttp, GetHTTPBinRaisesWhenTheFileCannotBeCreated)
{
    RawHttpServer server([](const Request &) { return reply("x"); });
    QTemporaryDir cache;
    TForm1 &w = bareWindow(server.baseUrl());
    EXPECT_THROW(w.GetHTTPBin(server.baseUrl() + "/x", cache.filePath("missing/S_1.jpg")),
                 EInOutError);
    EXPECT_TRUE(server.requests().empty());
}
