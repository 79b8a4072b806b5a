// The road of an album member as a new user walks it: the program starts logged out, the
// order page it opens logs its session in, and the next start-up resumes that session and
// shows the album. The page logs the session out again the same way.
#include "app/Unit1.h"
#include "platform/text/ShiftJis.h"
#include "platform/widgets/TabSet.h"
#include "tests/support/AppFixture.h"

#include <QRegularExpression>
#include <QTreeWidget>
#include <curl/curl.h>

namespace
{

size_t appendTo(char *data, size_t size, size_t count, void *target)
{
    static_cast<QByteArray *>(target)->append(data, static_cast<qsizetype>(size * count));
    return size * count;
}

// What a browser does with the page's form: posts its fields url-encoded in the page's
// Shift-JIS; the answer's status and Location (redirects are not followed).
int postForm(const QString &url, const QList<QPair<QString, QString>> &fields, QString &location)
{
    QByteArray body;
    for (const auto &[name, value] : fields) {
        if (!body.isEmpty())
            body += '&';
        body += percentEncodeShiftJis(name) + '=' + percentEncodeShiftJis(value);
    }
    CURL *curl = curl_easy_init();
    const QByteArray address = url.toUtf8();
    QByteArray reply;
    curl_easy_setopt(curl, CURLOPT_URL, address.constData());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.constData());
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendTo);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &reply);
    curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 60L);
    long code = 0;
    if (curl_easy_perform(curl) == CURLE_OK) {
        curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &code);
        char *to = nullptr;
        curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &to);
        location = to ? QString::fromUtf8(to) : QString();
    }
    curl_easy_cleanup(curl);
    return static_cast<int>(code);
}

// The value of the input named name inside the form whose hidden mode is mode.
QString formField(const QString &page, const QString &mode, const QString &name)
{
    const qsizetype at = page.indexOf(QStringLiteral("name=\"mode\" value=\"%1\"").arg(mode));
    if (at < 0)
        return QString();
    const qsizetype end = page.indexOf(QStringLiteral("</form>"), at);
    const QRegularExpression input(
        QStringLiteral("name=\"%1\" value=\"([^\"]*)\"").arg(QRegularExpression::escape(name)));
    const QRegularExpressionMatch m = input.match(page.mid(at, end - at));
    return m.hasMatch() ? m.captured(1) : QString();
}

} // namespace

class MemberLogin : public AppFixture
{
protected:
    // The order tab, as the user picks it: the address the program gives the browser.
    QString openOrderPage()
    {
        dialogs->urls.clear();
        form->DockTabSet1->setTabIndex(1);
        EXPECT_EQ(dialogs->urls.size(), 1u);
        return dialogs->urls.empty() ? QString() : dialogs->urls.back();
    }
    QString browse(const QString &url)
    {
        EXPECT_TRUE(url.startsWith(service->baseUrl())) << url.toStdString();
        int status = 0;
        const QByteArray page = service->get(url.mid(service->baseUrl().size()), &status);
        EXPECT_EQ(status, 200) << url.toStdString();
        return fromShiftJis(page);
    }
    void restart()
    {
        form->close(); // the settings, with the session id, are written at close
        program.reset();
        dialogs->boxes.clear();
        start(service->baseUrl());
    }
};

TEST_F(MemberLogin, TheOrderPageLogsTheSessionInAndTheNextStartUpShowsTheAlbum)
{
    service = std::make_unique<ServiceProcess>(QStringList{QStringLiteral("--seed-demo-album")});
    start();
    ASSERT_FALSE(form->LoggedIn);
    const QString sid = form->SessionId;
    ASSERT_FALSE(sid.isEmpty()) << "no session id from cookie_get";

    const QString url = openOrderPage();
    EXPECT_EQ(url, service->baseUrl() + QStringLiteral("/wis/order.php?mode=select&sid=") + sid);
    const QString page = browse(url);
    if (formField(page, QStringLiteral("login"), QStringLiteral("sid")).isEmpty())
        GTEST_SKIP() << "the service's order page has no member login form like tovela-service's";
    EXPECT_EQ(formField(page, "login", "sid"), sid);
    const QString email = formField(page, "login", "email");
    const QString password = formField(page, "login", "passwd");
    EXPECT_EQ(email, service->demoEmail()); // the demo account, filled in
    EXPECT_EQ(password, service->demoPassword());

    QString next;
    ASSERT_EQ(postForm(service->baseUrl() + "/wis/order.php",
                       {{"mode", "login"}, {"sid", sid}, {"email", email}, {"passwd", password}},
                       next),
              303);
    const QString welcome = browse(next);
    static const QRegularExpression whose(
        QStringLiteral(">([^<>]*)さんとしてログインしています。"));
    const QRegularExpressionMatch member = whose.match(welcome);
    ASSERT_TRUE(member.hasMatch()) << welcome.toStdString();
    EXPECT_TRUE(welcome.contains(QStringLiteral("ログインしました。")));
    // This run does not know yet: the login is resumed at the next start.
    EXPECT_FALSE(form->LoggedIn);

    restart();
    EXPECT_EQ(form->SessionId, sid);
    EXPECT_TRUE(form->LoggedIn);
    EXPECT_TRUE(dialogs->texts().empty());
    EXPECT_EQ(form->DockTabSet1->TabIndex(), 3);
    EXPECT_EQ(form->UserName, member.captured(1));
    EXPECT_EQ(form->DockTabSet1->tabText(3), member.captured(1) + QStringLiteral("さんのアルバム"));
    ASSERT_EQ(form->AlbumTreeView->topLevelItemCount(), 1);
    EXPECT_GT(form->AlbumTreeView->topLevelItem(0)->childCount(), 0) << "the seeded tree";
    EXPECT_TRUE(form->AlbumTreeView->isEnabled());

    // The same page logs the session out; the next start-up is logged out.
    const QString inPage = browse(openOrderPage());
    ASSERT_EQ(formField(inPage, "logout", "sid"), sid);
    ASSERT_EQ(
        postForm(service->baseUrl() + "/wis/order.php", {{"mode", "logout"}, {"sid", sid}}, next),
        303);
    EXPECT_TRUE(browse(next).contains(QStringLiteral("ログアウトしました。")));
    restart();
    EXPECT_EQ(form->SessionId, sid);
    EXPECT_FALSE(form->LoggedIn);
    EXPECT_EQ(form->DockTabSet1->tabText(3), QStringLiteral("アルバム"));
    EXPECT_EQ(form->AlbumTreeView->topLevelItemCount(), 0);
}
