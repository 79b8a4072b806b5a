// The client tests' stand-in service harness itself.
#include "tests/support/ServiceProcess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

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

namespace
{

// The test binary itself, run on one test, with its output (standard and error) on one pipe.
struct SelfRun {
    pid_t pid = -1;
    int out = -1;
    std::string text;

    SelfRun(const char *test, const char *env)
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return;
        std::string self = QCoreApplication::applicationFilePath().toStdString();
        std::string filter = std::string("--gtest_filter=") + test;
        char *argv[] = {self.data(), filter.data(), nullptr};
        std::vector<char *> envp;
        std::string mark = env;
        envp.push_back(mark.data());
        for (char **e = environ; *e; ++e)
            envp.push_back(*e);
        envp.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
        posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
        if (posix_spawn(&pid, self.c_str(), &actions, nullptr, argv, envp.data()) != 0)
            pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        out = fds[0];
    }
    ~SelfRun()
    {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
        if (out >= 0)
            ::close(out);
    }
    // Reads until every holder of the pipe has closed it; false when that takes over 60 s.
    bool readToEnd()
    {
        QDeadlineTimer deadline(60000);
        for (;;) {
            pollfd p{out, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(deadline.remainingTime())) <= 0)
                return false;
            char buffer[4096];
            ssize_t n = ::read(out, buffer, sizeof buffer);
            if (n == 0)
                return true;
            if (n < 0)
                return false;
            text.append(buffer, static_cast<size_t>(n));
        }
    }
};

} // namespace

// Run twice: as the test, it runs itself as a test process that crashes with a stand-in
// running; as that process (TOVELA_TEST_CRASH set), it starts the stand-in and aborts.
TEST(ServiceProcess, ACrashedTestLeavesNoServiceAndNoTemporaryFolderBehind)
{
    if (qEnvironmentVariableIsSet("TOVELA_TEST_CRASH")) {
        ServiceProcess service;
        QTemporaryDir home;
        std::printf("SERVICE %s TEMP %s DATA %s\n", qPrintable(service.baseUrl()),
                    qPrintable(QDir::tempPath()), qPrintable(service.dataDir()));
        std::fflush(stdout);
        std::abort();
    }
    if (!qEnvironmentVariableIsEmpty("TOVELA_TEST_SERVICE"))
        GTEST_SKIP() << "starts a stand-in of its own";
    SelfRun crash("ServiceProcess.ACrashedTestLeavesNoServiceAndNoTemporaryFolderBehind",
                  "TOVELA_TEST_CRASH=1");
    ASSERT_GT(crash.pid, 0);
    // The end of the output comes only once the stand-in, which shares it, is gone as well.
    ASSERT_TRUE(crash.readToEnd()) << crash.text;
    int status = 0;
    ASSERT_EQ(::waitpid(crash.pid, &status, 0), crash.pid);
    crash.pid = -1;
    EXPECT_TRUE(WIFSIGNALED(status)) << crash.text;
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("SERVICE (http://\\S+) TEMP (\\S+) DATA (\\S+)"))
            .match(QString::fromStdString(crash.text));
    ASSERT_TRUE(m.hasMatch()) << crash.text;
    const QString temp = m.captured(2);
    EXPECT_TRUE(m.captured(3).startsWith(temp + QLatin1Char('/'))) << crash.text;
    EXPECT_NE(temp, QDir::tempPath());

    // The address no longer answers, and the watcher removes the crashed process's folder.
    qputenv("TOVELA_TEST_SERVICE", m.captured(1).toUtf8());
    ServiceProcess gone;
    qunsetenv("TOVELA_TEST_SERVICE");
    int code = -1;
    EXPECT_TRUE(gone.get(QStringLiteral("/download.php"), &code).isEmpty());
    EXPECT_EQ(code, 0);
    QDeadlineTimer deadline(20000);
    while (QFileInfo::exists(temp) && !deadline.hasExpired())
        QThread::msleep(50);
    EXPECT_FALSE(QFileInfo::exists(temp)) << temp.toStdString();
}
