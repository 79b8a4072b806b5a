// The window thread's time away from its event loop while an album folder of 200 pictures is
// listed with a cold cache and the stand-in delaying every reply by 50 ms, as a real line with
// its round trips would: the longest gap between two rounds of the event loop, its 99th
// percentile, and the total time of the listing, over a few rounds; then the same rounds without
// the probe, whose own firings (a thousand a second) would otherwise weigh on the total.
#include "app/Program.h"
#include "app/Unit1.h"
#include "bench/LoopProbe.h"
#include "bench/bench_service.h"
#include "platform/base/Application.h"
#include "platform/base/Timer.h"
#include "platform/widgets/TabSet.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/ServiceProcess.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <cstdio>

namespace
{
constexpr int Pictures = 200;
constexpr int DelayMs = 50;
constexpr int Rounds = 3;

QByteArray thumbnailJpeg()
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

QByteArray pictureList()
{
    QStringList lines;
    for (int i = 0; i < Pictures; ++i)
        lines << QStringLiteral("1<!--SEP-->%1<!--SEP-->写真%2.jpg").arg(1000 + i).arg(i);
    return lines.join(QStringLiteral("\r\n")).toUtf8();
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir home;
    UseBenchHome(home);
    Application app(argc, argv);
    ScriptedDialogsGuard dialogs;

    ServiceProcess service;
    std::unique_ptr<TProgram> program;
    TForm1 *form = StartBenchProgram(service, program);
    if (!form)
        return 1;
    form->DockTabSet1->setTabIndex(3);
    const QString folderPath = QStringLiteral("/wis/wi_folder.php/") + form->SessionId;
    const QString imagePath = QStringLiteral("/wis/wi_image.php/") + form->SessionId;
    service.cannedReply(folderPath, "OK\r\n12<!--SEP-->0<!--SEP-->A");
    form->AlbumFolderLoad();
    QTreeWidgetItem *folder = form->AlbumTreeView->topLevelItem(0)->child(0);

    const QByteArray list = pictureList();
    const QByteArray jpeg = thumbnailJpeg();
    const QString cacheBase = form->CacheFolder;
    std::printf("album cold listing of %d pictures, every reply delayed by %d ms, %d rounds\n",
                Pictures, DelayMs, Rounds);
    std::vector<double> totals, maxima, p99s, bare;
    for (int round = 0; round < 2 * Rounds; ++round) {
        const bool probing = round < Rounds;
        form->CacheFolder = cacheBase + QStringLiteral(".round%1").arg(round);
        QDir().mkpath(form->CacheFolder);
        service.reset();
        CannedReply listReply;
        listReply.path = folderPath;
        listReply.body = list;
        listReply.delayMs = DelayMs;
        service.cannedReply(listReply);
        CannedReply thumbs;
        thumbs.path = imagePath;
        thumbs.body = jpeg;
        thumbs.count = 0;
        thumbs.contentType = "image/jpeg";
        thumbs.delayMs = DelayMs;
        service.cannedReply(thumbs);
        form->AlbumTreeView->clearSelection();

        // The pick enables StopTimer; its tick runs the listing from the event loop, as the
        // user's click would.
        TLoopProbe probe;
        QEventLoop loop;
        QTimer done;
        QObject::connect(&done, &QTimer::timeout, [&] {
            if (!form->StopTimer->Enabled())
                loop.quit();
        });
        done.start(10);
        if (probing)
            probe.Start();
        QElapsedTimer clock;
        clock.start();
        form->AlbumTreeView->setCurrentItem(folder);
        loop.exec();
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        if (probing)
            probe.Stop();
        done.stop();
        const size_t requests = static_cast<size_t>(service.requests().size());
        if (form->PictureTable.size() != size_t(Pictures) || requests != size_t(Pictures) + 1)
            std::fprintf(stderr, "listed %zu pictures with %zu requests\n",
                         form->PictureTable.size(), requests);
        if (!probing) {
            bare.push_back(ms);
            std::printf("round %d without the probe: total %.1f ms\n", round + 1, ms);
            continue;
        }
        totals.push_back(ms);
        maxima.push_back(probe.MaxMs());
        p99s.push_back(probe.PercentileMs(0.99));
        std::printf("round %d: total %.1f ms; away from the event loop: longest %.1f ms, 99th "
                    "percentile %.1f ms, %zu gaps over 16 ms, %zu over 50 ms (of %zu)\n",
                    round + 1, ms, probe.MaxMs(), probe.PercentileMs(0.99), probe.CountOver(16),
                    probe.CountOver(50), probe.Count());
    }
    std::printf("median: total %.1f ms, longest gap %.1f ms, 99th percentile %.1f ms "
                "(goal: at most 50 ms and 16 ms)\n",
                Median(totals), Median(maxima), Median(p99s));
    std::printf("median without the probe: total %.1f ms\n", Median(bare));
    return 0;
}
