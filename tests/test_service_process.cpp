// The client tests' stand-in service harness itself.
#include "ServiceProcess.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

TEST(ServiceProcess, StartsOnAFreeLoopbackPortAndAnswersCannedReplies)
{
    ServiceProcess service;
    ASSERT_TRUE(service.isReady());
    TOVELA_REQUIRE_TEST_HOOKS(service);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^127\\.0\\.0\\.1:\\d+$"))
                    .match(service.host())
                    .hasMatch())
        << service.host().toStdString();
    EXPECT_EQ(service.baseUrl(), QStringLiteral("http://") + service.host());
    EXPECT_FALSE(service.demoEmail().isEmpty());
    EXPECT_FALSE(service.dataDir().isEmpty());

    QByteArray body("NG\r\n\0tail", 9);
    service.cannedReply(QStringLiteral("/wis/wi_login.php/"), body, 200, 1);
    int status = 0;
    EXPECT_EQ(service.get(QStringLiteral("/wis/wi_login.php/?email=a%40b&passwd=%82%A0"), &status),
              body);
    EXPECT_EQ(status, 200);
    // Used once; then the real logic answers.
    EXPECT_EQ(service.get(QStringLiteral("/wis/wi_login.php/?email=&passwd=")), "NG");

    QList<RecordedRequest> requests = service.requests();
    ASSERT_EQ(requests.size(), 2);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].path, "/wis/wi_login.php/");
    EXPECT_EQ(requests[0].queryRaw, "email=a%40b&passwd=%82%A0");
    EXPECT_FALSE(requests[0].header("host").isEmpty());
    service.reset();
    EXPECT_TRUE(service.requests().isEmpty());
}

TEST(ServiceProcess, AddedAccountsLogInAndTheProcessStopsWithTheHarness)
{
    QString base;
    {
        ServiceProcess service({QStringLiteral("--order-limit"), QStringLiteral("1")});
        ASSERT_TRUE(service.isReady());
        TOVELA_REQUIRE_TEST_HOOKS(service);
        base = service.baseUrl();
        EXPECT_GT(service.addAccount(QStringLiteral("p@example.jp"), "p&ss", QStringLiteral("P")),
                  0);
        EXPECT_EQ(
            service.get(QStringLiteral("/wis/wi_login.php/?email=p@example.jp&passwd=p%26ss")),
            "OK");
        EXPECT_TRUE(service.uploads().isEmpty());
    }
    // The first service is gone: its address no longer answers. A harness pointed at an outside
    // address starts nothing and offers no hooks.
    qputenv("TOVELA_TEST_SERVICE", base.toUtf8() + "/");
    ServiceProcess old;
    qunsetenv("TOVELA_TEST_SERVICE");
    EXPECT_FALSE(old.hooksAvailable());
    EXPECT_EQ(old.baseUrl(), base);
    int status = -1;
    EXPECT_TRUE(old.get(QStringLiteral("/download.php"), &status).isEmpty());
    EXPECT_EQ(status, 0);
}
