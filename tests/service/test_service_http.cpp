// The service over loopback, driven with an HTTP client as our program would drive it.
#include "ServiceFixture.h"
#include "service/store/Thumbnail.h"
#include "service/wire/LineRecord.h"
#include "service/wire/ShiftJis.h"
#include "tests/support/ChildProcess.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <fstream>

using namespace service;

namespace
{

std::string readFile(const std::filesystem::path &p)
{
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string jpegOf(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG");
    return bytes.toStdString();
}

std::string encoded(const std::string &bytes)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        if (isalnum(c) || c == '@' || c == '.' || c == '-' || c == '_' || c == '~') {
            out.push_back(static_cast<char>(c));
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

} // namespace

TEST_F(ServiceTest, LoginNameAndLogoutFollowTheSession)
{
    std::string sid = newSession();
    ASSERT_EQ(sid.size(), 32u);
    EXPECT_NE(lastHeaders.find("Set-Cookie")->second.find("sid=" + sid), std::string::npos);
    // Resuming a session that never logged in, then a wrong and a right password.
    EXPECT_EQ(get("/wis/wi_login.php/" + sid + "?email=&passwd="), "NG");
    EXPECT_EQ(get("/wis/wi_login.php/" + sid + "?email=demo@tovela.example&passwd=x"), "NG");
    EXPECT_EQ(get("/wis/wi_login.php/" + sid + "?mode=get_name"), "NG");
    EXPECT_EQ(get("/wis/wi_login.php/" + sid + "?email=demo@tovela.example&passwd=demo1234"), "OK");
    EXPECT_EQ(get("/wis/wi_login.php/" + sid + "?email=&passwd="), "OK");
    EXPECT_EQ(fromShiftJis(get("/wis/wi_login.php/" + sid + "?mode=get_name")), "山田花子");
    EXPECT_EQ(get("/wis/wi_logout.php/" + sid), "OK");
    EXPECT_EQ(get("/wis/wi_login.php/" + sid + "?email=&passwd="), "NG");
}

TEST_F(ServiceTest, LoginWithAnUnknownSessionHandsOutANewOneInTheCookie)
{
    get("/wis/wi_login.php/?email=&passwd=");
    EXPECT_EQ(get("/wis/wi_login.php/?email=&passwd="), "NG");
    std::string cookie = lastHeaders.find("Set-Cookie")->second;
    ASSERT_EQ(cookie.rfind("sid=", 0), 0u);
    std::string fresh = cookie.substr(4, 32);
    EXPECT_TRUE(store->session(fresh));
    EXPECT_EQ(get("/wis/wi_login.php/stale?email=demo@tovela.example&passwd=demo1234"), "OK");
    std::string other = lastHeaders.find("Set-Cookie")->second.substr(4, 32);
    EXPECT_NE(other, "stale");
    EXPECT_EQ(store->session(other)->accountId, store->demoAccount().id);
}

TEST_F(ServiceTest, PercentEncodedShiftJisCredentialsAreDecoded)
{
    store->addAccount("鈴木@example.jp", "p&ss #+%ぱ", "鈴木");
    std::string sid = newSession();
    EXPECT_EQ(get("/wis/wi_login.php/" + sid + "?email=" + encoded(toShiftJis("鈴木@example.jp")) +
                  "&passwd=" + encoded(toShiftJis("p&ss #+%ぱ"))),
              "OK");
    EXPECT_EQ(fromShiftJis(get("/wis/wi_login.php/" + sid + "?mode=get_name")), "鈴木");
}

TEST_F(ServiceTest, EveryTextExchangeRefusesAnUnknownSessionWithNG)
{
    for (const char *target :
         {"/wis/wi_login.php/nosuch?mode=get_name", "/wis/wi_logout.php/nosuch",
          "/wis/wi_folder.php/nosuch?mode=list", "/wis/wi_folder.php/nosuch?mode=img&id=0",
          "/wis/wi_folder.php/?mode=list"})
        EXPECT_EQ(get(target), "NG") << target;
    EXPECT_EQ(upload("nosuch", "a.jpg", "x"), "NG");
    // A logged-out session has no album either.
    std::string sid = newSession();
    EXPECT_EQ(get("/wis/wi_folder.php/" + sid + "?mode=list"), "NG");
    // Pictures are refused with an error status, so a download never stores "NG" as a picture.
    get("/wis/wi_image.php/nosuch?mode=small&id=1");
    EXPECT_EQ(lastStatus, 403);
}

TEST_F(ServiceTest, TheCookieStandsInForAMissingPathSegment)
{
    std::string sid = loggedInSession();
    EXPECT_EQ(get("/wis/wi_folder.php/?mode=list", {{"Cookie", "a=1; SID=" + sid}}),
              "OK<!--SEP-->0");
}

TEST_F(ServiceTest, AlbumFoldersAndPicturesComeAsLineRecords)
{
    std::string sid = loggedInSession();
    int me = store->demoAccount().id;
    int trip = store->addFolder(me, 0, "旅行");
    int kyoto = store->addFolder(me, trip, "京都");
    EXPECT_EQ(upload(sid, toShiftJis("C:\\写真\\金閣寺.jpg"), jpegOf(120, 80)), "OK");
    EXPECT_EQ(upload(sid, "/x/b.png", "not a picture"), "OK");

    auto lines = splitLines(fromShiftJis(get("/wis/wi_folder.php/" + sid + "?mode=list")));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(splitFields(lines[1]), (std::vector<std::string>{std::to_string(trip), "0", "旅行"}));
    EXPECT_EQ(splitFields(lines[2]),
              (std::vector<std::string>{std::to_string(kyoto), "1", "京都"}));

    // Uploads of a logged-in session land in the top folder.
    std::string top = get("/wis/wi_folder.php/" + sid + "?mode=img&id=0");
    EXPECT_EQ(top.find("\r\n", top.size() - 2), std::string::npos);
    lines = splitLines(fromShiftJis(top));
    ASSERT_EQ(lines.size(), 2u);
    auto fields = splitFields(lines[0]);
    ASSERT_EQ(fields.size(), 3u);
    EXPECT_EQ(fields[0], "1");
    EXPECT_EQ(fields[2], "金閣寺.jpg");
    EXPECT_EQ(get("/wis/wi_folder.php/" + sid + "?mode=img&id=" + std::to_string(kyoto)), "");
    for (const char *bad : {"-1", "abc", "99999", "1e3", ""})
        EXPECT_EQ(get("/wis/wi_folder.php/" + sid + "?mode=img&id=" + bad), "") << bad;

    // The thumbnail is a JPEG within 100 x 100; the full picture is the upload, byte for byte.
    std::string thumb = get("/wis/wi_image.php/" + sid + "?mode=small&id=" + fields[1]);
    EXPECT_EQ(lastHeaders.find("Content-Type")->second, "image/jpeg");
    QImage t = QImage::fromData(reinterpret_cast<const uchar *>(thumb.data()),
                                static_cast<int>(thumb.size()), "JPEG");
    EXPECT_EQ(t.size(), QSize(100, 66));
    EXPECT_EQ(get("/wis/wi_image.php/" + sid + "?mode=big&id=" + fields[1]), jpegOf(120, 80));
    // A picture that cannot be decoded still gets a thumbnail to show.
    std::string bad =
        get("/wis/wi_image.php/" + sid + "?mode=small&id=" + splitFields(lines[1])[1]);
    EXPECT_EQ(QImage::fromData(reinterpret_cast<const uchar *>(bad.data()),
                               static_cast<int>(bad.size()), "JPEG")
                  .size(),
              QSize(100, 100));
}

TEST_F(ServiceTest, PicturesAreServedOnlyToTheirOwners)
{
    std::string owner = newSession();
    std::string stranger = newSession();
    ASSERT_EQ(upload(owner, "a.jpg", "mine"), "OK");
    int id = store->allPictures().back().id;
    std::string q = "?mode=big&id=" + std::to_string(id);
    EXPECT_EQ(get("/wis/wi_image.php/" + owner + q), "mine");
    EXPECT_EQ(get("/wis/wi_image.php/" + stranger + q), "NG");
    EXPECT_EQ(lastStatus, 404);
    EXPECT_EQ(get("/wis/order_image.php?sid=" + owner + "&id=" + std::to_string(id)), "mine");
    EXPECT_EQ(get("/wis/order_image.php?sid=" + stranger + "&id=" + std::to_string(id)), "NG");
}

TEST_F(ServiceTest, OrderTakesThreePicturesThenAnswersOver)
{
    std::string sid = newSession();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(upload(sid, "p.jpg", "x"), "OK");
    EXPECT_EQ(upload(sid, "p.jpg", "x"), "OVER");
    EXPECT_EQ(store->orderCount(store->session(sid)->number), 3u);
    EXPECT_TRUE(std::filesystem::is_empty(store->dataDir() / "work"));
    // The limit is per order; the album has none.
    EXPECT_EQ(upload(newSession(), "p.jpg", "x"), "OK");
    std::string member = loggedInSession();
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(upload(member, "p.jpg", "x"), "OK");
}

TEST_F(ServiceTest, UploadsKeepBytesAndNeverWriteOutsideTheDataFolder)
{
    std::string sid = loggedInSession();
    std::string content("\0\xFF\r\n--x\r\n", 9);
    for (const char *name :
         {"../../../outside.jpg", "..\\..\\outside.jpg", "/etc/passwd", "..", "a/../../b.jpg"})
        EXPECT_EQ(upload(sid, name, content), "OK") << name;
    EXPECT_EQ(get("/wis/wi_login.php/../../../etc?mode=get_name"), "NG");
    EXPECT_EQ(get("/wis/wi_image.php/" + sid + "?mode=big&id=../../accounts"), "NG");
    for (const std::string &file : filesBelow(root.path()))
        EXPECT_EQ(file.rfind("data/", 0), 0u) << file;
    for (const Picture &p : store->allPictures()) {
        EXPECT_EQ(readFile(store->picturePath(p.id)), content);
        EXPECT_EQ(p.name.find('/'), std::string::npos);
        EXPECT_NE(p.name, "..");
    }
}

TEST_F(ServiceTest, MalformedUploadsAreRefusedAndLeaveNothingBehind)
{
    std::string sid = newSession();
    std::string path = "/wis/wi_upload.php/" + sid;
    auto post = [&](const std::string &body, const char *type) {
        auto r = client->Post(path.c_str(), body, type);
        return r ? r->body : "<no reply>";
    };
    EXPECT_EQ(post("mode=upload", "application/x-www-form-urlencoded"), "NG");
    std::string noMode = "--b\r\nContent-Disposition: form-data; name=\"file1\"; "
                         "filename=\"a.jpg\"\r\n\r\nxx\r\n--b--\r\n";
    EXPECT_EQ(post(noMode, "multipart/form-data; boundary=b"), "NG");
    std::string cut = "--b\r\nContent-Disposition: form-data; name=\"mode\"\r\n\r\nupload\r\n--b"
                      "\r\nContent-Disposition: form-data; name=\"file1\"; filename=\"a.jpg\""
                      "\r\n\r\nxx";
    EXPECT_EQ(post(cut, "multipart/form-data; boundary=b"), "NG");
    EXPECT_TRUE(store->allPictures().empty());
    EXPECT_TRUE(std::filesystem::is_empty(store->dataDir() / "work"));
}

TEST_F(ServiceTest, AnUploadCutOffByTheClientLeavesNoFile)
{
    std::string sid = newSession();
    httplib::Client slow("127.0.0.1", port);
    slow.set_write_timeout(5, 0);
    std::string head = "--b\r\nContent-Disposition: form-data; name=\"mode\"\r\n\r\nupload\r\n--b"
                       "\r\nContent-Disposition: form-data; name=\"file1\"; filename=\"a.jpg\""
                       "\r\n\r\n";
    // Claims a megabyte, sends a little, then gives up.
    auto r = slow.Post(("/wis/wi_upload.php/" + sid).c_str(), 1 << 20,
                       [&](size_t offset, size_t, httplib::DataSink &sink) {
                           if (offset == 0)
                               sink.write(head.data(), head.size());
                           return false;
                       },
                       "multipart/form-data; boundary=b");
    EXPECT_FALSE(r);
    // The server notices once the connection is gone; give it a moment.
    for (int i = 0; i < 50 && !std::filesystem::is_empty(store->dataDir() / "work"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(std::filesystem::is_empty(store->dataDir() / "work"));
    EXPECT_TRUE(store->allPictures().empty());
    EXPECT_EQ(upload(sid, "b.jpg", "ok"), "OK");
}

TEST_F(ServiceTest, OrderPageListsTheOrderAndSavesSizesAndQuantities)
{
    std::string sid = newSession();
    ASSERT_EQ(upload(sid, toShiftJis("C:\\写真\\<b>&.jpg"), "1"), "OK");
    ASSERT_EQ(upload(sid, "two.jpg", "2"), "OK");
    std::string page = fromShiftJis(get("/wis/order.php?mode=select&sid=" + sid));
    EXPECT_NE(lastHeaders.find("Content-Type")->second.find("charset=Shift_JIS"),
              std::string::npos);
    EXPECT_NE(page.find("<meta charset=\"Shift_JIS\">"), std::string::npos);
    EXPECT_NE(page.find("&lt;b&gt;&amp;.jpg"), std::string::npos);
    EXPECT_EQ(page.find("<b>&.jpg"), std::string::npos);
    EXPECT_NE(page.find("two.jpg"), std::string::npos);
    int id = store->allPictures().back().id;
    std::string form = "mode=update&sid=" + sid + "&size_" + std::to_string(id) + "=A4&qty_" +
                       std::to_string(id) + "=5";
    auto r = client->Post("/wis/order.php", form, "application/x-www-form-urlencoded");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 303);
    EXPECT_EQ(store->picture(id)->printSize, "A4");
    EXPECT_EQ(store->picture(id)->quantity, 5);
    r = client->Post("/wis/order.php",
                     "mode=update&sid=" + sid + "&qty_" + std::to_string(id) + "=abc",
                     "application/x-www-form-urlencoded");
    ASSERT_TRUE(r);
    EXPECT_NE(fromShiftJis(r->body).find("枚数は1から99まで"), std::string::npos);
    EXPECT_EQ(store->picture(id)->quantity, 5);
    EXPECT_NE(
        fromShiftJis(get("/wis/order.php?mode=select&sid=nosuch")).find("見つかりませんでした"),
        std::string::npos);
    EXPECT_NE(get("/order_help.php").find("id=\"0003\""), std::string::npos);
    EXPECT_EQ(lastStatus, 200);
    get("/download.php");
    EXPECT_EQ(lastStatus, 200);
}

TEST_F(ServiceTest, CannedRepliesWinForTheirCountAndCarryHeaders)
{
    httplib::Params p = {{"path", "/wis/wi_login.php/"},
                         {"body", std::string("NG\r\nx\0y", 7)},
                         {"count", "2"},
                         {"header", "Set-Cookie: SID=abc"},
                         {"status", "200"}};
    ASSERT_EQ(client->Post("/__test/reply", p)->body, "OK");
    EXPECT_EQ(get("/wis/wi_login.php/?email=&passwd="), std::string("NG\r\nx\0y", 7));
    EXPECT_EQ(lastHeaders.find("Set-Cookie")->second, "SID=abc");
    EXPECT_EQ(get("/wis/wi_login.php/"), std::string("NG\r\nx\0y", 7));
    // Used up: the real logic answers again.
    EXPECT_EQ(get("/wis/wi_login.php/?email=&passwd="), "NG");
    EXPECT_NE(lastHeaders.find("Set-Cookie")->second.rfind("sid=", 0), std::string::npos);
    // The k-th request of a path: each reply lets its "after" requests pass, counted from when
    // it was given, whatever the others answer meanwhile.
    p = {{"path", "/wis/wi_login.php/"}, {"body", "second"}, {"after", "1"}};
    client->Post("/__test/reply", p);
    p = {{"path", "/wis/wi_login.php/"}, {"body", "fourth"}, {"after", "3"}};
    client->Post("/__test/reply", p);
    std::vector<std::string> answers;
    for (int k = 0; k < 5; ++k)
        answers.push_back(get("/wis/wi_login.php/?email=&passwd="));
    EXPECT_EQ(answers, (std::vector<std::string>{"NG", "second", "NG", "fourth", "NG"}));
    p = {{"path", "/x"}, {"after", "-1"}};
    EXPECT_EQ(client->Post("/__test/reply", p)->status, 400);
    p = {{"path", "/wis/wi_upload.php/s"}, {"status", "500"}, {"body", "boom"}};
    client->Post("/__test/reply", p);
    EXPECT_EQ(upload("s", "a.jpg", "x"), "boom");
    EXPECT_EQ(lastStatus, 500);
    p = {{"path", "/nowhere"}, {"status", "abc"}};
    EXPECT_EQ(client->Post("/__test/reply", p)->status, 400);
}

TEST_F(ServiceTest, RequestsAreRecordedWithTheirRawQueryHeadersAndBody)
{
    get("/wis/wi_login.php/?email=a%40b&passwd=%82%A0%26", {{"Cookie", "sid=zz"}});
    upload("s", "\x95\x5C.jpg", "pic");
    std::string json = client->Get("/__test/requests")->body;
    auto lines = splitLines(json);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("\"query_raw\":\"email=a%40b&passwd=%82%A0%26\""), std::string::npos);
    EXPECT_NE(lines[0].find("[\"Cookie\",\"sid=zz\"]"), std::string::npos);
    EXPECT_NE(lines[1].find("\"method\":\"POST\""), std::string::npos);
    EXPECT_NE(lines[1].find("[\"Content-Type\",\"multipart/form-data; boundary="),
              std::string::npos);
    EXPECT_EQ(lines[1].find("REMOTE_ADDR"), std::string::npos);
    EXPECT_NE(lines[1].find("\"body_b64\":\"LS0"), std::string::npos);
    client->Post("/__test/reset");
    EXPECT_EQ(client->Get("/__test/requests")->body, "");
}

TEST_F(ServiceTest, CloseMidReplyCutsTheBodyShort)
{
    httplib::Params p = {{"path", "/cut"}, {"body", "0123456789"}, {"close_mid", "1"}};
    client->Post("/__test/reply", p);
    httplib::Client c("127.0.0.1", port);
    auto r = c.Get("/cut");
    EXPECT_FALSE(r);
    EXPECT_EQ(get("/order_help.php").empty(), false); // the server itself is still fine
}

TEST_F(ServiceTest, StalledRequestIsHeldUntilReset)
{
    httplib::Params p = {{"path", "/stall"}, {"stall", "1"}, {"body", "late"}};
    client->Post("/__test/reply", p);
    httplib::Client c("127.0.0.1", port);
    c.set_read_timeout(1, 0);
    EXPECT_FALSE(c.Get("/stall"));
    client->Post("/__test/reset");
}

class ServiceWithoutHooksTest : public ServiceTest
{
protected:
    ServiceOptions options() override { return {3000, false}; }
};

TEST_F(ServiceWithoutHooksTest, TestEndpointsDoNotExist)
{
    httplib::Params p = {{"path", "/wis/wi_login.php/"}, {"body", "OK"}};
    EXPECT_EQ(client->Post("/__test/reply", p)->status, 404);
    EXPECT_EQ(client->Get("/__test/requests")->status, 404);
    EXPECT_EQ(get("/wis/wi_login.php/?email=&passwd="), "NG");
}

TEST_F(ServiceTest, ResetMidUploadDropsTheConnectionAndKeepsNothing)
{
    std::string sid = newSession();
    httplib::Params p = {{"path", "/wis/wi_upload.php/" + sid}, {"reset_mid", "1"}};
    client->Post("/__test/reply", p);
    EXPECT_EQ(upload(sid, "big.jpg", std::string(8 << 20, 'x')), "<no reply>");
    EXPECT_TRUE(store->allPictures().empty());
    // Only half of the body was taken.
    std::string json = client->Get("/__test/requests")->body;
    size_t at = json.find("\"body_size\":");
    ASSERT_NE(at, std::string::npos);
    EXPECT_LT(std::stoull(json.substr(at + 12)), 5u << 20);
    EXPECT_EQ(upload(sid, "next.jpg", "ok"), "OK");
}

TEST_F(ServiceTest, OrderPageLogsItsSessionInAsAMemberAndOutAgain)
{
    const std::string sid = newSession();
    const service::Account demo = store->demoAccount();
    const std::string page = fromShiftJis(get("/wis/order.php?mode=select&sid=" + sid));
    // The login form, filled in with the demo account, posting in the page's Shift-JIS.
    EXPECT_NE(page.find("name=\"mode\" value=\"login\""), std::string::npos);
    EXPECT_NE(page.find("name=\"email\" value=\"" + demo.email + "\""), std::string::npos);
    EXPECT_NE(page.find("name=\"passwd\" value=\"" + demo.password + "\""), std::string::npos);
    EXPECT_NE(page.find("accept-charset=\"Shift_JIS\""), std::string::npos);
    auto post = [&](const std::string &form) {
        return client->Post("/wis/order.php", form, "application/x-www-form-urlencoded");
    };

    // A wrong password: the form comes back with the address typed and the password empty;
    // the session stays logged out.
    auto r = post("mode=login&sid=" + sid + "&email=" + demo.email + "&passwd=wrong");
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 200);
    const std::string refused = fromShiftJis(r->body);
    EXPECT_NE(refused.find("メールアドレスまたはパスワードが違います。"), std::string::npos);
    EXPECT_NE(refused.find("name=\"passwd\" value=\"\""), std::string::npos);
    EXPECT_EQ(get("/wis/wi_login.php/" + sid + "?email=&passwd="), "NG");
    EXPECT_EQ(
        post("mode=login&sid=nosuch&email=" + demo.email + "&passwd=" + demo.password)->status,
        400);

    // The right one logs this session in: the program's resuming login with it says OK.
    r = post("mode=login&sid=" + sid + "&email=" + demo.email + "&passwd=" + demo.password);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 303);
    EXPECT_EQ(r->get_header_value("Location"),
              "/wis/order.php?mode=select&sid=" + sid + "&member=login");
    EXPECT_EQ(get("/wis/wi_login.php/" + sid + "?email=&passwd="), "OK");
    const std::string in = fromShiftJis(get(r->get_header_value("Location")));
    EXPECT_NE(in.find("ログインしました。"), std::string::npos);
    EXPECT_NE(in.find(demo.name + "さんとしてログインしています。"), std::string::npos);
    EXPECT_NE(in.find("name=\"mode\" value=\"logout\""), std::string::npos);

    r = post("mode=logout&sid=" + sid);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 303);
    EXPECT_EQ(get("/wis/wi_login.php/" + sid + "?email=&passwd="), "NG");
    EXPECT_NE(fromShiftJis(get(r->get_header_value("Location"))).find("ログアウトしました。"),
              std::string::npos);
}

TEST(ServiceThumbnail, APhotoStoredTurnedGetsAnUprightThumbnail)
{
    // A portrait 480 x 640 in four coloured quadrants, stored on its side by jpegtran with the
    // EXIF orientation 6 that turns it back, as a phone writes it.
    TempDir dir;
    const QString at = QString::fromStdString(dir.path().string());
    QImage upright(480, 640, QImage::Format_RGB32);
    const QRgb colors[4] = {qRgb(220, 30, 30), qRgb(30, 190, 40), qRgb(30, 40, 210),
                            qRgb(235, 220, 40)};
    {
        QPainter p(&upright);
        p.fillRect(0, 0, 240, 320, QColor(colors[0]));
        p.fillRect(240, 0, 240, 320, QColor(colors[1]));
        p.fillRect(0, 320, 240, 320, QColor(colors[2]));
        p.fillRect(240, 320, 240, 320, QColor(colors[3]));
    }
    ASSERT_TRUE(upright.save(at + "/upright.ppm", "PPM"));
    const auto run = [](const QString &program, const QStringList &arguments) {
        return RunProgram(program, arguments, 60000).succeeded();
    };
    ASSERT_TRUE(run("cjpeg", {"-quality", "95", "-sample", "1x1", "-outfile", at + "/up.jpg",
                              at + "/upright.ppm"}));
    ASSERT_TRUE(run("jpegtran",
                    {"-perfect", "-rotate", "270", "-outfile", at + "/side.jpg", at + "/up.jpg"}));
    ASSERT_TRUE(run("exif", {"--create-exif", "--ifd=0", "--tag=Orientation", "--set-value=6",
                             "--output=" + at + "/turned.jpg", at + "/side.jpg"}));

    const std::string jpeg = makeThumbnailJpeg(dir.path() / "turned.jpg");
    const QImage thumb = QImage::fromData(reinterpret_cast<const uchar *>(jpeg.data()),
                                          static_cast<int>(jpeg.size()), "JPEG");
    ASSERT_EQ(thumb.size(), QSize(75, 100));
    const QPoint centres[4] = {{18, 25}, {56, 25}, {18, 75}, {56, 75}};
    for (int q = 0; q < 4; ++q) {
        const QRgb c = thumb.pixel(centres[q]);
        EXPECT_LE(std::abs(qRed(c) - qRed(colors[q])) + std::abs(qGreen(c) - qGreen(colors[q])) +
                      std::abs(qBlue(c) - qBlue(colors[q])),
                  30)
            << "quadrant " << q;
    }
}
