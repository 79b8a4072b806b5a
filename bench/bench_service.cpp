#include "bench_service.h"

#include "app/Program.h"
#include "app/Unit1.h"
#include "bench/LoopProbe.h"
#include "platform/base/Application.h"
#include "platform/widgets/TabSet.h"
#include "session/LoginForm.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/ServiceProcess.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QStringList>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>

void UseBenchHome(const QTemporaryDir &home)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("XDG_DATA_HOME", (home.path() + "/data").toLocal8Bit());
    qputenv("HOME", (home.path() + "/home").toLocal8Bit());
    QDir().mkpath(home.path() + "/data");
    QDir().mkpath(home.path() + "/home");
}

TForm1 *StartBenchProgram(ServiceProcess &service, std::unique_ptr<TProgram> &program, bool login)
{
    if (!service.isReady() || !service.hooksAvailable()) {
        std::fprintf(stderr, "tovela-service did not start with its hooks\n");
        return nullptr;
    }
    program = std::make_unique<TProgram>(service.baseUrl());
    TForm1 *form = program->Form1.get();
    if (!login)
        return form;
    form->LoginDialog->EditEmail->setText(service.demoEmail());
    form->LoginDialog->EditPasswd->setText(service.demoPassword());
    if (!form->Login()) {
        std::fprintf(stderr, "demo login failed\n");
        return nullptr;
    }
    return form;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

TBenchRun::TBenchRun(int &argc, char **argv, bool login)
{
    UseBenchHome(Home);
    app = std::make_unique<Application>(argc, argv);
    dialogs = std::make_unique<ScriptedDialogsGuard>();
    service = std::make_unique<ServiceProcess>();
    Form = StartBenchProgram(*service, program, login);
}

TBenchRun::~TBenchRun()
{
    program.reset();
    service.reset();
    dialogs.reset();
    app.reset();
}

QByteArray BenchThumbnailJpeg()
{
    QImage image(100, 75, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, qRgb(x * 2, y * 3, 128));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 85);
    return bytes;
}

QByteArray BenchPictureList(int pictures)
{
    QStringList lines;
    for (int i = 0; i < pictures; ++i)
        lines << QStringLiteral("1<!--SEP-->%1<!--SEP-->写真%2.jpg").arg(1000 + i).arg(i);
    return lines.join(QStringLiteral("\r\n")).toUtf8();
}

TBenchAlbum OpenBenchAlbum(TForm1 &form, ServiceProcess &service)
{
    TBenchAlbum album;
    form.DockTabSet1->setTabIndex(3);
    album.FolderPath = QStringLiteral("/wis/wi_folder.php/") + form.SessionId;
    album.ImagePath = QStringLiteral("/wis/wi_image.php/") + form.SessionId;
    service.cannedReply(album.FolderPath, "OK\r\n12<!--SEP-->0<!--SEP-->A");
    form.AlbumFolderLoad();
    album.Folder = form.AlbumTreeView->topLevelItem(0)->child(0);
    return album;
}

void TProbedRounds::Add(int round, double ms, const TLoopProbe &probe)
{
    totals.push_back(ms);
    maxima.push_back(probe.MaxMs());
    p99s.push_back(probe.PercentileMs(0.99));
    std::printf("round %d: total %.1f ms; away from the event loop: longest %.1f ms, 99th "
                "percentile %.1f ms, %zu gaps over 16 ms, %zu over 50 ms (of %zu)\n",
                round + 1, ms, probe.MaxMs(), probe.PercentileMs(0.99), probe.CountOver(16),
                probe.CountOver(50), probe.Count());
}

void TProbedRounds::PrintMedians() const
{
    std::printf("median: total %.1f ms, longest gap %.1f ms, 99th percentile %.1f ms "
                "(goal: at most 50 ms and 16 ms)\n",
                Median(totals), Median(maxima), Median(p99s));
}
