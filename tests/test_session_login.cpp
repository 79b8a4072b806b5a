// Login, logout and the order page against the stand-in service on a loopback port. With
// TOVELA_TEST_SERVICE the same tests run against another service; those that need the
// stand-in's hooks skip there.
#include "platform/base/Application.h"
#include "platform/widgets/Action.h"
#include "platform/widgets/OwnerDataListView.h"
#include "platform/widgets/TabSet.h"
#include "tests/support/ServiceProcess.h"
#include "tests/test_http_support.h"
#include "tests/test_session_support.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <QLineEdit>
#include <QTreeWidget>

namespace
{

const QString LoginPath = QStringLiteral("/wis/wi_login.php/");
const QString CookiePath = QStringLiteral("/wis/wi_login.php");

// A loopback address where nothing answers: a port that was just given up.
QString deadHost()
{
    quint16 port;
    {
        RawHttpServer gone([](const RawHttpServer::Request &) { return RawHttpServer::Reply{}; });
        port = gone.port();
    }
    return QStringLiteral("http://127.0.0.1:%1").arg(port);
}

QList<RecordedRequest> requestsTo(ServiceProcess &service, const QString &prefix)
{
    QList<RecordedRequest> out;
    for (const RecordedRequest &r : service.requests())
        if (QString::fromLatin1(r.path).startsWith(prefix))
            out.append(r);
    return out;
}

} // namespace

class SessionLogin : public SessionFixture
{
protected:
    void SetUp() override
    {
        SessionFixture::SetUp();
        ASSERT_TRUE(service.isReady());
    }

    TForm1 &window() { return bareWindow(service.baseUrl()); }

    void enter(TForm1 &w, const QString &email, const QString &password)
    {
        w.LoginDialog->EditEmail->setText(email);
        w.LoginDialog->EditPasswd->setText(password);
    }

    // The window shows the logged-in state for user.
    void expectLoggedIn(TForm1 &w, const QString &user)
    {
        EXPECT_TRUE(w.LoggedIn);
        EXPECT_EQ(w.UserName, user);
        EXPECT_EQ(w.DockTabSet1->tabText(3), user + QStringLiteral("さんのアルバム"));
        EXPECT_TRUE(w.AcTUpFolder->Enabled());
        EXPECT_TRUE(w.AlbumTreeView->isEnabled());
        EXPECT_TRUE(w.ActRefresh->Enabled());
        EXPECT_TRUE(w.ActReload->Enabled());
        EXPECT_EQ(w.ActFileUpLoad->Caption(), QStringLiteral("画像をアルバムに登録"));
        EXPECT_EQ(w.ActFileUp->Caption(), QStringLiteral("アルバムに登録"));
        EXPECT_FALSE(w.ActLogin->Enabled());
        EXPECT_TRUE(w.ActLogout->Enabled());
    }

    void expectLoggedOut(TForm1 &w)
    {
        EXPECT_FALSE(w.LoggedIn);
        EXPECT_TRUE(w.UserName.isEmpty());
        EXPECT_EQ(w.DockTabSet1->tabText(3), QStringLiteral("アルバム"));
        EXPECT_FALSE(w.AcTUpFolder->Enabled());
        EXPECT_FALSE(w.AlbumTreeView->isEnabled());
        EXPECT_EQ(w.AlbumTreeView->topLevelItemCount(), 0);
        EXPECT_EQ(w.AlbumListView->ItemsCount(), 0);
        EXPECT_FALSE(w.ActRefresh->Enabled());
        EXPECT_FALSE(w.ActReload->Enabled());
        EXPECT_EQ(w.ActFileUpLoad->Caption(), QStringLiteral("画像をプリントに追加"));
        EXPECT_EQ(w.ActFileUp->Caption(), QStringLiteral("プリントに追加"));
        EXPECT_TRUE(w.ActLogin->Enabled());
        EXPECT_FALSE(w.ActLogout->Enabled());
    }

    ServiceProcess service;
};

TEST_F(SessionLogin, PasswordWithReservedCharactersLogsInWithExactBytesOnTheWire)
{
    TOVELA_REQUIRE_TEST_HOOKS(service);
    ASSERT_NE(service.addAccount(QStringLiteral("taro@example.jp"),
                                 QStringLiteral("p&ss #+%é").toUtf8(), QStringLiteral("山田太郎")),
              0);
    TForm1 &w = window();
    enter(w, QStringLiteral("taro@example.jp"), QStringLiteral("p&ss #+%é"));
    EXPECT_TRUE(w.Login());
    EXPECT_TRUE(dialogs->texts().empty());
    expectLoggedIn(w, QStringLiteral("山田太郎"));
    EXPECT_TRUE(w.SessionReady);
    EXPECT_FALSE(w.SessionId.isEmpty());

    // The login's own requests; the logged-in switch goes on to fetch the album's folders.
    QList<RecordedRequest> requests;
    for (const RecordedRequest &r : service.requests())
        if (r.path.startsWith("/wis/wi_login.php"))
            requests.append(r);
    ASSERT_EQ(requests.size(), 2);
    // Empty id: an empty path segment. "é" is not in code page 932, so that value goes as UTF-8.
    EXPECT_EQ(requests[0].path, "/wis/wi_login.php/");
    EXPECT_EQ(requests[0].queryRaw, "email=taro@example.jp&passwd=p%26ss%20%23%2B%25%C3%A9");
    EXPECT_EQ(requests[0].header("Accept"), "text/html, */*");
    EXPECT_EQ(requests[0].header("User-Agent"), "Mozilla/3.0 (compatible; Indy Library)");
    EXPECT_TRUE(requests[0].headerValues("Cookie").isEmpty());
    // The id came in the cookie of the login reply; the name request carries it both ways.
    EXPECT_EQ(requests[1].path, "/wis/wi_login.php/" + w.SessionId.toLatin1());
    EXPECT_EQ(requests[1].queryRaw, "mode=get_name");
    EXPECT_EQ(requests[1].headerValues("Cookie"),
              QList<QByteArray>{"sid=" + w.SessionId.toLatin1()});
}

TEST_F(SessionLogin, JapanesePasswordTravelsInShiftJis)
{
    TOVELA_REQUIRE_TEST_HOOKS(service);
    ASSERT_NE(service.addAccount(QStringLiteral("hanako@example.jp"),
                                 QStringLiteral("パス ワード").toUtf8(), QStringLiteral("花子")),
              0);
    TForm1 &w = window();
    enter(w, QStringLiteral("hanako@example.jp"), QStringLiteral("パス ワード"));
    EXPECT_TRUE(w.Login());
    EXPECT_EQ(service.requests().value(0).queryRaw,
              "email=hanako@example.jp&passwd=%83p%83X%20%83%8F%81%5B%83h");
}

TEST_F(SessionLogin, WrongPasswordBringsTheDialogBackFilledInUntilTheLoginWorks)
{
    TForm1 &w = window();
    QStringList seen;
    auto fill = [&](const QString &password) {
        return [&, password](QDialog &d) {
            auto &login = dynamic_cast<TLoginDialog &>(d);
            seen << login.EditEmail->text() + "|" + login.EditPasswd->text();
            login.EditEmail->setText(service.demoEmail());
            login.EditPasswd->setText(password);
            return int(QDialog::Accepted);
        };
    };
    dialogs->modals.push_back(fill(QStringLiteral("wrong-password")));
    dialogs->modals.push_back(fill(service.demoPassword()));
    dialogs->modals.push_back([](QDialog &) { return int(QDialog::Rejected); });
    w.ActLoginExecute();
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0], QStringLiteral("|"));
    EXPECT_EQ(seen[1], service.demoEmail() + QStringLiteral("|wrong-password"));
    EXPECT_EQ(dialogs->modals.size(), 1u); // the loop ended with the successful login
    EXPECT_TRUE(w.LoggedIn);
    EXPECT_TRUE(dialogs->texts().empty());
}

TEST_F(SessionLogin, CancelledDialogSendsNothing)
{
    TOVELA_REQUIRE_TEST_HOOKS(service);
    TForm1 &w = window();
    dialogs->modals.push_back([](QDialog &d) {
        dynamic_cast<TLoginDialog &>(d).EditEmail->setText(QStringLiteral("a@b.jp"));
        return int(QDialog::Rejected);
    });
    w.ActLoginExecute();
    EXPECT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].kind, ScriptedDialogs::Kind::Modal);
    EXPECT_EQ(dialogs->boxes[0].caption, QStringLiteral("ログイン"));
    EXPECT_TRUE(service.requests().isEmpty());
    EXPECT_FALSE(w.LoggedIn);
}

TEST_F(SessionLogin, OkWithALineBreakIsNotLoggedIn)
{
    TOVELA_REQUIRE_TEST_HOOKS(service);
    service.cannedReply(LoginPath + "S1", "OK\r\n");
    TForm1 &w = window();
    w.SessionId = QStringLiteral("S1");
    EXPECT_FALSE(w.Login());
    expectLoggedOut(w);
    // No name request was made.
    EXPECT_EQ(requestsTo(service, LoginPath).size(), 1);
}

TEST_F(SessionLogin, RefusedLoginStillTakesTheNewSidCookie)
{
    TOVELA_REQUIRE_TEST_HOOKS(service);
    CannedReply refused;
    refused.path = LoginPath + "OLD";
    refused.body = "NG";
    refused.headers = {"Set-Cookie: sid=NEWSID; path=/"};
    service.cannedReply(refused);
    CannedReply folders = refused;
    folders.path = QStringLiteral("/wis/wi_folder.php/OLD");
    folders.headers = {"Set-Cookie: sid=OTHER; path=/"};
    service.cannedReply(folders);

    TForm1 &w = window();
    w.SessionId = QStringLiteral("OLD");
    // GetHTTP alone keeps the old id on a refusal...
    EXPECT_EQ(w.GetHTTP(service.baseUrl() + "/wis/wi_folder.php/OLD?mode=list"),
              QStringLiteral("NG"));
    EXPECT_EQ(w.SessionId, QStringLiteral("OLD"));
    // ...but the login copies the cookie all the same.
    EXPECT_FALSE(w.Login());
    EXPECT_EQ(w.SessionId, QStringLiteral("NEWSID"));
    EXPECT_TRUE(w.SessionReady);
    EXPECT_TRUE(dialogs->texts().empty());
}

TEST_F(SessionLogin, RefusalMarkerAndCookiesAgainstTheService)
{
    TOVELA_REQUIRE_TEST_HOOKS(service);
    auto canned = [&](const QString &path, const QByteArray &body, const QByteArray &cookie) {
        CannedReply r;
        r.path = path;
        r.body = body;
        if (!cookie.isEmpty())
            r.headers = {"Set-Cookie: " + cookie + "; path=/"};
        service.cannedReply(r);
    };
    canned("/wis/a", "NG\r\nsecond\r\nthird", "sid=FROMNG");
    canned("/wis/b", "ng", "sid=FROMLOWER");
    canned("/wis/c", " NG", "SID=FROMUPPER");
    canned("/wis/d", "", "sid=FROMEMPTY");
    TForm1 &w = window();
    w.SessionId = QStringLiteral("START");
    EXPECT_EQ(w.GetHTTP(service.baseUrl() + "/wis/a"), QStringLiteral("NG\r\nsecond\r\nthird"));
    EXPECT_EQ(w.SessionId, QStringLiteral("START"));
    EXPECT_EQ(w.GetHTTP(service.baseUrl() + "/wis/b"), QStringLiteral("ng"));
    EXPECT_EQ(w.SessionId, QStringLiteral("FROMLOWER"));
    EXPECT_EQ(w.GetHTTP(service.baseUrl() + "/wis/c"), QStringLiteral(" NG"));
    EXPECT_EQ(w.SessionId, QStringLiteral("FROMUPPER"));
    EXPECT_EQ(w.GetHTTP(service.baseUrl() + "/wis/d"), QString());
    EXPECT_EQ(w.SessionId, QStringLiteral("FROMEMPTY"));
    // Every request carried exactly one sid, the one current when it was sent.
    const QList<RecordedRequest> requests = service.requests();
    ASSERT_EQ(requests.size(), 4);
    EXPECT_EQ(requests[0].headerValues("Cookie"), QList<QByteArray>{"sid=START"});
    EXPECT_EQ(requests[3].headerValues("Cookie"), QList<QByteArray>{"sid=FROMUPPER"});
    EXPECT_TRUE(dialogs->texts().empty());
}

TEST_F(SessionLogin, ErrorStatusOnTheLoginShowsBothMessagesAndRefuses)
{
    TOVELA_REQUIRE_TEST_HOOKS(service);
    service.cannedReply(LoginPath, "server broke", 500);
    TForm1 &w = window();
    enter(w, service.demoEmail(), service.demoPassword());
    EXPECT_FALSE(w.Login());
    EXPECT_EQ(dialogs->texts(),
              (std::vector<QString>{QStringLiteral("Network Error No 100"),
                                    QStringLiteral("ネットワークエラーが発生しました。\r\n"
                                                   "時間をおいて、再度ログインしてください。")}));
    EXPECT_EQ(dialogs->boxes[0].caption, QStringLiteral("ルミナード"));
    // No cookie came with the error, so a new id was asked for.
    EXPECT_FALSE(w.SessionId.isEmpty());
    EXPECT_EQ(requestsTo(service, CookiePath).last().queryRaw, "mode=cookie_get");
    expectLoggedOut(w);
}

TEST_F(SessionLogin, ErrorStatusOnTheNameRequestEndsTheLoginWithTheError)
{
    TOVELA_REQUIRE_TEST_HOOKS(service);
    service.cannedReply(LoginPath + "S9", "OK");
    service.cannedReply(LoginPath + "S9", "", 503);
    TForm1 &w = window();
    w.SessionId = QStringLiteral("S9");
    dialogs->modals.push_back([](QDialog &) { return int(QDialog::Accepted); });
    // From the command the error reaches the standard error display, and the loop ends.
    EXPECT_FALSE(guarded([&] { w.ActLogin->Execute(); }));
    EXPECT_EQ(dialogs->boxes.back().kind, ScriptedDialogs::Kind::Error);
    EXPECT_TRUE(dialogs->boxes.back().text.contains(QStringLiteral("503")));
    EXPECT_TRUE(dialogs->modals.empty());
    EXPECT_FALSE(w.LoggedIn);
}

TEST_F(SessionLogin, StartUpWithAnEmptyIdTakesTheCookieReplyAsTheId)
{
    TOVELA_REQUIRE_TEST_HOOKS(service);
    // A login reply without a cookie: only the cookie request can give an id.
    service.cannedReply(LoginPath, "NG");
    start(service.baseUrl());
    const QList<RecordedRequest> requests = service.requests();
    ASSERT_EQ(requests.size(), 2);
    const RecordedRequest &asked = requests[1];
    EXPECT_EQ(asked.path, CookiePath.toLatin1());
    EXPECT_EQ(asked.queryRaw, "mode=cookie_get");
    EXPECT_FALSE(form->SessionId.isEmpty());
    EXPECT_TRUE(form->SessionReady);
    EXPECT_TRUE(dialogs->texts().empty());
    expectLoggedOut(*form);
    EXPECT_EQ(form->DockTabSet1->TabIndex(), 0);
    // Saved at close.
    const QString id = form->SessionId;
    form->close();
    EXPECT_TRUE(readIni().contains("KvoSessionId=" + id.toUtf8())) << readIni().toStdString();
}

TEST_F(SessionLogin, EmptyCookieReplyShowsTheMessageOnceAndLeavesNoSession)
{
    TOVELA_REQUIRE_TEST_HOOKS(service);
    service.cannedReply(LoginPath, "NG");
    service.cannedReply(CookiePath, "");
    start(service.baseUrl());
    EXPECT_EQ(dialogs->texts(), std::vector<QString>{CookieMessage});
    EXPECT_TRUE(form->SessionId.isEmpty());
    // Uploads check this flag and refuse while it is false.
    EXPECT_FALSE(form->SessionReady);
    expectLoggedOut(*form);
}

TEST_F(SessionLogin, CookieReplyWithALineBreakIsHandledAsEmpty)
{
    TOVELA_REQUIRE_TEST_HOOKS(service);
    service.cannedReply(LoginPath, "NG");
    service.cannedReply(CookiePath, "abc123\r\nX-Injected: yes");
    TForm1 &w = window();
    EXPECT_FALSE(w.Login());
    EXPECT_EQ(dialogs->texts(), std::vector<QString>{CookieMessage});
    EXPECT_TRUE(w.SessionId.isEmpty());
    EXPECT_FALSE(w.SessionReady);
    // A later request goes out clean.
    service.cannedReply(LoginPath, "NG");
    service.cannedReply(CookiePath, "abc 123");
    EXPECT_FALSE(w.Login());
    EXPECT_TRUE(w.SessionId.isEmpty());
    for (const RecordedRequest &r : service.requests())
        EXPECT_TRUE(r.headerValues("X-Injected").isEmpty());
    // A usable id is taken as it is.
    service.cannedReply(LoginPath, "NG");
    service.cannedReply(CookiePath, "abc123");
    EXPECT_FALSE(w.Login());
    EXPECT_EQ(w.SessionId, QStringLiteral("abc123"));
    EXPECT_TRUE(w.SessionReady);
}

TEST_F(SessionLogin, StartUpResumesASavedSession)
{
    {
        TForm1 &first = window();
        enter(first, service.demoEmail(), service.demoPassword());
        ASSERT_TRUE(first.Login());
        writeIni("[NETWORK]\nKvoSessionId=" + first.SessionId.toUtf8() + "\n");
    }
    start(service.baseUrl());
    EXPECT_EQ(form->DockTabSet1->TabIndex(), 3);
    EXPECT_TRUE(form->LoggedIn);
    EXPECT_TRUE(form->DockTabSet1->tabText(3).endsWith(QStringLiteral("さんのアルバム")));
    EXPECT_FALSE(program->Form3->isVisible());
    EXPECT_TRUE(dialogs->texts().empty());
}

TEST_F(SessionLogin, LogoutWithoutNetworkStillLogsOut)
{
    TForm1 &w = window();
    enter(w, service.demoEmail(), service.demoPassword());
    ASSERT_TRUE(w.Login());
    const QString id = w.SessionId;
    w.ServiceHost = deadHost();
    w.ActLogoutExecute();
    EXPECT_EQ(dialogs->texts(),
              (std::vector<QString>{CommunicationError, QStringLiteral("ログアウトしました。")}));
    expectLoggedOut(w);
    EXPECT_EQ(w.SessionId, id);
}

TEST_F(SessionLogin, LogoutEndsTheServiceSession)
{
    TForm1 &w = window();
    enter(w, service.demoEmail(), service.demoPassword());
    ASSERT_TRUE(w.Login());
    const QString id = w.SessionId;
    w.ActLogoutExecute();
    EXPECT_EQ(dialogs->texts(), std::vector<QString>{QStringLiteral("ログアウトしました。")});
    expectLoggedOut(w);
    EXPECT_EQ(w.SessionId, id);
    // The saved id no longer resumes a login.
    enter(w, QString(), QString());
    EXPECT_FALSE(w.Login());
}

TEST_F(SessionLogin, UnreachableServiceAtStartUp)
{
    start(deadHost());
    // The login request and the cookie request each fail once; then the cookie message.
    EXPECT_EQ(dialogs->texts(),
              (std::vector<QString>{CommunicationError, CommunicationError, CookieMessage}));
    EXPECT_FALSE(form->SessionReady);
    expectLoggedOut(*form);
}

TEST_F(SessionLogin, OrderPageOpensWithTheCurrentIdAndIsShownForCopying)
{
    TForm1 &w = window();
    w.ActGoOrderExecute();
    w.SessionId = QStringLiteral("S42");
    w.ActGoOrder->Execute();
    EXPECT_EQ(dialogs->urls,
              (std::vector<QString>{service.baseUrl() + "/wis/order.php?mode=select&sid=",
                                    service.baseUrl() + "/wis/order.php?mode=select&sid=S42"}));
    dialogs->inputs.push_back(QStringLiteral("edited"));
    w.ActDispOrderPageUrlExecute();
    ASSERT_EQ(dialogs->boxes.back().kind, ScriptedDialogs::Kind::Input);
    EXPECT_EQ(dialogs->boxes.back().caption, QStringLiteral("注文ページへのURL"));
    EXPECT_EQ(dialogs->boxes.back().text,
              "\n" + service.baseUrl() + "/wis/order.php?mode=select&sid=S42");
    EXPECT_EQ(w.SessionId, QStringLiteral("S42"));
}

TEST_F(SessionLogin, StalledAndCutRepliesEndWithTheCommunicationError)
{
    TOVELA_REQUIRE_TEST_HOOKS(service);
    CannedReply stall;
    stall.path = QStringLiteral("/wis/wi_folder.php/S1");
    stall.stall = true;
    service.cannedReply(stall);
    CannedReply cut;
    cut.path = QStringLiteral("/wis/wi_image.php/S1");
    cut.body = QByteArray(20000, 'x');
    cut.closeMid = true;
    cut.count = 2;
    service.cannedReply(cut);
    TForm1 &w = window();
    w.SessionId = QStringLiteral("S1");
    EXPECT_EQ(w.GetHTTP(service.baseUrl() + "/wis/wi_folder.php/S1?mode=list"), QString());
    EXPECT_EQ(w.GetHTTP(service.baseUrl() + "/wis/wi_image.php/S1?mode=small&id=1"), QString());
    EXPECT_EQ(dialogs->texts(), (std::vector<QString>{CommunicationError, CommunicationError}));
    QTemporaryDir cache;
    EXPECT_FALSE(w.GetHTTPBin(service.baseUrl() + "/wis/wi_image.php/S1?mode=small&id=1",
                              cache.filePath("S_1.jpg")));
    EXPECT_FALSE(QFile::exists(cache.filePath("S_1.jpg")));
    service.reset();
}

TEST_F(SessionLogin, GetHTTPBinOnAnErrorStatusGivesFalseNoMessageAndNoFile)
{
    TOVELA_REQUIRE_TEST_HOOKS(service);
    service.cannedReply(QStringLiteral("/wis/wi_image.php/S1"), "NG", 404);
    TForm1 &w = window();
    w.SessionId = QStringLiteral("S1");
    QTemporaryDir cache;
    EXPECT_FALSE(w.GetHTTPBin(service.baseUrl() + "/wis/wi_image.php/S1?mode=big&id=7",
                              cache.filePath("B_7.jpg")));
    EXPECT_TRUE(dialogs->texts().empty());
    EXPECT_TRUE(QDir(cache.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    EXPECT_EQ(w.SessionId, QStringLiteral("S1"));
}
