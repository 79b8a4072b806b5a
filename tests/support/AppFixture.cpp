#include "tests/support/AppFixture.h"

#include "app/Unit1.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>

void AppFixture::SetUp()
{
    ASSERT_TRUE(home.isValid());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toLocal8Bit());
    qputenv("HOME", (home.path() + QStringLiteral("/home")).toLocal8Bit());
    QDir().mkpath(home.path() + QStringLiteral("/data"));
    QDir().mkpath(home.path() + QStringLiteral("/home"));
    dialogGuard = std::make_unique<ScriptedDialogsGuard>();
    dialogs = &**dialogGuard;
}

void AppFixture::TearDown()
{
    program.reset();
    service.reset();
    dialogGuard.reset();
    dialogs = nullptr;
}

void AppFixture::start(const QString &serviceHost)
{
    QString host = serviceHost;
    if (host.isEmpty()) {
        if (!service)
            service = std::make_unique<ServiceProcess>();
        ASSERT_TRUE(service->isReady());
        host = service->baseUrl();
    }
    program = std::make_unique<TProgram>(host);
    form = program->Form1.get();
}

QString AppFixture::dataFolder() const
{
    return home.path() + QStringLiteral("/data/tovela/");
}

void AppFixture::writeIni(const QByteArray &text)
{
    QDir().mkpath(dataFolder());
    QFile file(iniPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

QByteArray AppFixture::readIni() const
{
    QFile file(iniPath());
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void AppFixture::pump(int ms)
{
    QDeadlineTimer deadline(ms);
    do {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    } while (!deadline.hasExpired());
}
