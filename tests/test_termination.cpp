// The real program stopped by a signal, as a desktop session does at logout: SIGTERM and
// SIGINT close the main window the way its close button does, so the settings are written.
#include "tests/support/ChildProcess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <functional>

namespace
{
bool waitFor(const std::function<bool()> &condition, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}
} // namespace

TEST(Termination, SigtermAndSigintWriteTheSettingsLikeTheCloseButton)
{
    for (int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal == SIGTERM ? "SIGTERM" : "SIGINT");
        QTemporaryDir home;
        ASSERT_TRUE(home.isValid());
        const QString data = home.path() + QStringLiteral("/data/tovela/");
        QDir().mkpath(data);
        QDir().mkpath(home.path() + QStringLiteral("/home"));
        // A hexadecimal width and a key of the user's own: after the close the width is
        // written back in decimal and the other key is still there.
        {
            QFile ini(data + QStringLiteral("tovela.ini"));
            ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
            ini.write("[MAIN]\nWindowWidth=0x1F4\nMine=kept\n");
        }

        ChildProcess::Setup setup;
        setup.environment = {QStringLiteral("QT_QPA_PLATFORM=offscreen"),
                             QStringLiteral("XDG_DATA_HOME=") + home.path() +
                                 QStringLiteral("/data"),
                             QStringLiteral("HOME=") + home.path() + QStringLiteral("/home")};
        setup.discardOutput = true;
        ChildProcess program(QStringLiteral(TOVELA_PROGRAM_BIN), {}, setup);
        ASSERT_TRUE(program.started()) << program.failure().toStdString();
        // The cache folder is made by the start-up sequence, after the signals are taken over.
        // Whether start-up is still running (the login may show its network message) or the
        // window waits for the user, the signal must end the program the same way.
        ASSERT_TRUE(
            waitFor([&] { return QFileInfo(data + QStringLiteral("ImageCache")).isDir(); }, 20000));
        program.sendSignal(signal);
        ASSERT_TRUE(program.waitForFinished(20000)) << "still running after the signal";
        EXPECT_TRUE(program.exitedNormally());
        EXPECT_EQ(program.exitCode(), 0);

        QFile ini(data + QStringLiteral("tovela.ini"));
        ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
        const QByteArray written = ini.readAll();
        EXPECT_TRUE(written.startsWith("[MAIN]\nWindowWidth=500\nMine=kept\nWindowTop="))
            << written.data();
        for (const char *key : {"WindowHeight=", "NaviWindowLeft=", "AlbumViewWidth=",
                                "[NETWORK]\nKvoSessionId=", "[PLUGIN]\nSpi=0\nSpiFolder=\n"})
            EXPECT_TRUE(written.contains(key)) << key;
    }
}
