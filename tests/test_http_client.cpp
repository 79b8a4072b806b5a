#include "platform/net/HttpClient.h"
#include "platform/net/HttpError.h"
#include "tests/test_http_support.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace std::chrono_literals;
using Reply = RawHttpServer::Reply;
using Request = RawHttpServer::Request;

namespace
{

Reply ok(const QByteArray &body, const QByteArray &headers = {})
{
    return {RawHttpServer::response(200, body, headers)};
}

// A loopback port with nothing listening on it.
quint16 closedPort()
{
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr);
    socklen_t len = sizeof addr;
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

TEST(HttpClient, RequestCarriesTheFixedHeadersAndTheCustomLines)
{
    RawHttpServer server([](const Request &) { return ok("hello"); });
    HttpClient client;
    client.setCustomHeaders({"X-Extra: 1"});
    EXPECT_EQ(client.get(server.baseUrl() + "/wis/a.php/S1?mode=x&v=%26"), "hello");
    EXPECT_EQ(client.responseCode(), 200);
    const Request r = server.requests().at(0);
    EXPECT_EQ(r.requestLine(), "GET /wis/a.php/S1?mode=x&v=%26 HTTP/1.1");
    EXPECT_EQ(r.headers("Accept"), QList<QByteArray>{"text/html, */*"});
    EXPECT_EQ(r.headers("User-Agent"), QList<QByteArray>{"Mozilla/3.0 (compatible; Indy Library)"});
    EXPECT_EQ(r.headers("X-Extra"), QList<QByteArray>{"1"});
    EXPECT_TRUE(r.headers("Expect").isEmpty());
    EXPECT_TRUE(r.headers("Accept-Encoding").isEmpty());
    EXPECT_TRUE(r.headers("Cookie").isEmpty());
}

TEST(HttpClient, CookiesFromRepliesAreKeptAndSentBack)
{
    int n = 0;
    RawHttpServer server([&](const Request &) {
        return ++n == 1 ? ok("", "Set-Cookie: sid=abc; path=/\r\nSet-Cookie: lang=ja\r\n") : ok("");
    });
    HttpClient client;
    client.get(server.baseUrl() + "/wis/x.php");
    const QList<HttpCookie> cookies = client.cookies();
    ASSERT_EQ(cookies.size(), 2);
    QStringList pairs;
    for (const HttpCookie &c : cookies)
        pairs << c.Name + "=" + c.Value;
    pairs.sort();
    EXPECT_EQ(pairs, (QStringList{"lang=ja", "sid=abc"}));
    client.get(server.baseUrl() + "/wis/y.php");
    const QList<QByteArray> sent = server.requests().at(1).headers("Cookie");
    ASSERT_EQ(sent.size(), 1);
    EXPECT_TRUE(sent[0].contains("sid=abc"));
    EXPECT_TRUE(sent[0].contains("lang=ja"));
}

TEST(HttpClient, SetCookieReplacesEverySidCookieAndSendsOneHeader)
{
    int n = 0;
    RawHttpServer server([&](const Request &) {
        return ++n == 1 ? ok("", "Set-Cookie: SID=upper\r\nSet-Cookie: sid=deep; path=/wis\r\n"
                                 "Set-Cookie: lang=ja\r\n")
                        : ok("");
    });
    HttpClient client;
    client.get(server.baseUrl() + "/wis/x.php");
    client.setCookie(server.host(), "sid", "NEW1");
    client.get(server.baseUrl() + "/wis/y.php");
    const QList<QByteArray> sent = server.requests().at(1).headers("Cookie");
    ASSERT_EQ(sent.size(), 1);
    QList<QByteArray> pairs = sent[0].split(';');
    for (QByteArray &p : pairs)
        p = p.trimmed();
    std::sort(pairs.begin(), pairs.end());
    EXPECT_EQ(pairs, (QList<QByteArray>{"lang=ja", "sid=NEW1"}));
    // Replacing again leaves one sid cookie in the store.
    client.setCookie(server.host(), "sid", "NEW2");
    int sids = 0;
    for (const HttpCookie &c : client.cookies())
        sids += c.Name.compare("sid", Qt::CaseInsensitive) == 0 ? 1 : 0;
    EXPECT_EQ(sids, 1);
}

// The store is read and set around every request; what changes it in between must show.
TEST(HttpClient, CookieStoreChangedByAReplyIsReadAndSetAgain)
{
    int n = 0;
    RawHttpServer server([&](const Request &) {
        ++n;
        return n == 2 ? ok("", "Set-Cookie: sid=SERVER; path=/\r\n") : ok("");
    });
    HttpClient client;
    auto sid = [&] {
        for (const HttpCookie &c : client.cookies())
            if (c.Name == "sid")
                return c.Value;
        return QString();
    };
    client.setCookie(server.host(), "sid", "MINE");
    EXPECT_EQ(sid(), "MINE");
    client.get(server.baseUrl() + "/wis/a.php");
    EXPECT_EQ(sid(), "MINE");
    client.setCookie(server.host(), "sid", "MINE");
    client.get(server.baseUrl() + "/wis/b.php"); // answers with a new id
    EXPECT_EQ(sid(), "SERVER");
    client.setCookie(server.host(), "sid", "MINE");
    EXPECT_EQ(sid(), "MINE");
    client.get(server.baseUrl() + "/wis/c.php");
    EXPECT_EQ(server.requests().at(2).headers("Cookie"), QList<QByteArray>{"sid=MINE"});
    EXPECT_EQ(server.requests().at(1).headers("Cookie"), QList<QByteArray>{"sid=MINE"});
}

TEST(HttpClient, CookieValuesThatCannotTravelAreRefused)
{
    HttpClient client;
    for (const QString &bad :
         {QStringLiteral("a\r\nX-Injected: 1"), QStringLiteral("a b"), QStringLiteral("a\tb"),
          QStringLiteral("a\x7F"), QString(QChar(0)) + "x"})
        EXPECT_THROW(client.setCookie("127.0.0.1:1", "sid", bad), EIdException)
            << bad.toStdString();
    EXPECT_TRUE(client.cookies().isEmpty());
}

TEST(HttpClient, ErrorStatusesAndRedirectsRaiseTheProtocolError)
{
    RawHttpServer server([](const Request &r) {
        if (r.requestLine().contains("/moved"))
            return Reply{RawHttpServer::response(302, "", "Location: /elsewhere\r\n")};
        return Reply{RawHttpServer::response(404, "no such page")};
    });
    HttpClient client;
    try {
        client.get(server.baseUrl() + "/missing");
        FAIL() << "no error raised";
    } catch (const EIdHTTPProtocolException &e) {
        EXPECT_EQ(e.ErrorCode, 404);
        EXPECT_EQ(e.ErrorMessage, "no such page");
        EXPECT_TRUE(e.Message.contains("404"));
    }
    try {
        client.get(server.baseUrl() + "/moved");
        FAIL() << "no error raised";
    } catch (const EIdHTTPProtocolException &e) {
        EXPECT_EQ(e.ErrorCode, 302);
    }
    EXPECT_EQ(server.requests().size(), 2u);
}

TEST(HttpClient, RefusedConnectionIsAConnectionFailure)
{
    HttpClient client;
    EXPECT_THROW(client.get(QStringLiteral("http://127.0.0.1:%1/x").arg(closedPort())),
                 EIdSocketError);
    EXPECT_EQ(client.responseCode(), 0);
}

TEST(HttpClient, ServerThatNeverAnswersEndsAtTheStallLimit)
{
    RawHttpServer server([](const Request &) { return Reply{{}, true}; });
    HttpClient client;
    client.setStallLimit(1, 1s);
    try {
        client.get(server.baseUrl() + "/stall");
        FAIL() << "no error raised";
    } catch (const EIdSocketError &e) {
        EXPECT_NE(e.CurlCode, 0);
    }
}

TEST(HttpClient, ReplyCutOffMidBodyIsAConnectionFailure)
{
    QByteArray full = RawHttpServer::response(200, QByteArray(1000, 'x'));
    RawHttpServer server([&](const Request &) { return Reply{full, false, full.size() - 900}; });
    HttpClient client;
    EXPECT_THROW(client.get(server.baseUrl() + "/cut"), EIdSocketError);
}

TEST(HttpClient, BodiesWithNulBytesAndOfFiftyMegabytesArriveWhole)
{
    QByteArray big(50 * 1024 * 1024, '\0');
    for (qsizetype i = 0; i < big.size(); i += 4099)
        big[i] = static_cast<char>(i % 251);
    const QByteArray withNul("OK\0\0NG\r\n\0", 9);
    RawHttpServer server(
        [&](const Request &r) { return ok(r.requestLine().contains("/big") ? big : withNul); });
    HttpClient client;
    EXPECT_EQ(client.get(server.baseUrl() + "/nul"), withNul);
    const QByteArray got = client.get(server.baseUrl() + "/big");
    ASSERT_EQ(got.size(), big.size());
    EXPECT_EQ(QCryptographicHash::hash(got, QCryptographicHash::Sha1),
              QCryptographicHash::hash(big, QCryptographicHash::Sha1));
}

TEST(HttpClient, GetToFileReplacesTheTargetOnlyAfterACompleteTransfer)
{
    const QByteArray picture("\xFF\xD8 picture \0 bytes", 19);
    const QByteArray cut = RawHttpServer::response(200, QByteArray(5000, 'p'));
    RawHttpServer server([&](const Request &r) {
        if (r.requestLine().contains("/err"))
            return Reply{RawHttpServer::response(500, "broken")};
        if (r.requestLine().contains("/cut"))
            return Reply{cut, false, cut.size() - 2000};
        return ok(picture);
    });
    QTemporaryDir dir;
    const QString target = dir.filePath("S_1.jpg");
    HttpClient client;
    client.get(server.baseUrl() + "/ok", target);
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), picture);
    file.close();

    const QString fresh = dir.filePath("S_2.jpg");
    EXPECT_THROW(client.get(server.baseUrl() + "/err", fresh), EIdHTTPProtocolException);
    EXPECT_THROW(client.get(server.baseUrl() + "/cut", fresh), EIdSocketError);
    // A failure leaves neither the target nor a temporary file, and an older file untouched.
    EXPECT_THROW(client.get(server.baseUrl() + "/cut", target), EIdSocketError);
    EXPECT_EQ(filesIn(dir.path()), QStringList{"S_1.jpg"});
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), picture);
}

TEST(HttpClient, GetToFileInAMissingFolderIsAFileError)
{
    RawHttpServer server([](const Request &) { return ok("x"); });
    QTemporaryDir dir;
    HttpClient client;
    EXPECT_THROW(client.get(server.baseUrl() + "/x", dir.filePath("no/such/folder/f.jpg")),
                 EInOutError);
    EXPECT_TRUE(server.requests().empty());
}

TEST(HttpClient, MultipartPostStreamsTheFileWithRawFileNameBytes)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("upload.jpg");
    QByteArray content(300 * 1024, '\0');
    for (qsizetype i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 7);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(content);
    }
    RawHttpServer server([](const Request &) { return ok("accepted"); });
    HttpClient client;
    qint64 lastSent = 0, lastTotal = 0;
    client.setProgressHook([&](qint64 sent, qint64 total) {
        lastSent = sent;
        lastTotal = total;
        return true;
    });
    const QByteArray sjisName("\x8E\xCA\x90\x5E.jpg"); // 写真.jpg
    HttpFormPart mode;
    mode.Name = "mode";
    mode.Value = "upload";
    HttpFormPart file;
    file.Name = "file1";
    file.FilePath = QFile::encodeName(path);
    file.FileName = sjisName;
    file.ContentType = "image/jpeg";
    file.Headers = {"Content-Transfer-Encoding: binary"};
    EXPECT_EQ(client.post(server.baseUrl() + "/wis/wi_upload.php/S1", {mode, file}), "accepted");
    const Request r = server.requests().at(0);
    EXPECT_EQ(r.requestLine(), "POST /wis/wi_upload.php/S1 HTTP/1.1");
    EXPECT_TRUE(r.headers("Expect").isEmpty());
    const QByteArray type = r.headers("Content-Type").value(0);
    ASSERT_TRUE(type.startsWith("multipart/form-data; boundary="));
    const QByteArray boundary = "--" + type.mid(type.indexOf('=') + 1);
    EXPECT_TRUE(r.body.startsWith(boundary + "\r\nContent-Disposition: form-data; "
                                             "name=\"mode\"\r\n\r\nupload\r\n"));
    const QByteArray fileHead =
        "Content-Disposition: form-data; name=\"file1\"; filename=\"" + sjisName + "\"\r\n";
    const qsizetype at = r.body.indexOf(fileHead);
    ASSERT_GE(at, 0);
    const qsizetype data = r.body.indexOf("\r\n\r\n", at) + 4;
    const QByteArray partHead = r.body.mid(at, data - at);
    EXPECT_TRUE(partHead.contains("Content-Type: image/jpeg\r\n"));
    EXPECT_TRUE(partHead.contains("Content-Transfer-Encoding: binary\r\n"));
    EXPECT_EQ(r.body.mid(data, content.size()), content);
    EXPECT_EQ(r.body.mid(data + content.size()), "\r\n" + boundary + "--\r\n");
    EXPECT_EQ(lastTotal, r.body.size());
    EXPECT_EQ(lastSent, lastTotal);

    // The same handle goes back to GET afterwards.
    client.setProgressHook({});
    client.get(server.baseUrl() + "/after");
    EXPECT_TRUE(server.requests().at(1).requestLine().startsWith("GET /after "));
}

TEST(HttpClient, ProgressHookStopsAnUpload)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("big.bmp");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(4 * 1024 * 1024, 'b'));
    }
    RawHttpServer server([](const Request &) { return ok("accepted"); });
    HttpClient client;
    client.setProgressHook([](qint64 sent, qint64) { return sent == 0; });
    HttpFormPart file;
    file.Name = "file1";
    file.FilePath = QFile::encodeName(path);
    file.FileName = "big.bmp";
    EXPECT_THROW(client.post(server.baseUrl() + "/up", {file}), EIdTransferAborted);
}
