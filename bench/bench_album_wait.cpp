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
} // namespace

int main(int argc, char **argv)
{
    TBenchRun run(argc, argv);
    if (!run.Form)
        return 1;
    TForm1 *form = run.Form;
    ServiceProcess &service = run.Service();
    const TBenchAlbum album = OpenBenchAlbum(*form, service);
    const QString &folderPath = album.FolderPath, &imagePath = album.ImagePath;
    QTreeWidgetItem *folder = album.Folder;

    const QByteArray list = BenchPictureList(Pictures);
    const QByteArray jpeg = BenchThumbnailJpeg();
    const QString cacheBase = form->CacheFolder;
    std::printf("album cold listing of %d pictures, every reply delayed by %d ms, %d rounds\n",
                Pictures, DelayMs, Rounds);
    TProbedRounds probed;
    std::vector<double> bare;
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
        probed.Add(round, ms, probe);
    }
    probed.PrintMedians();
    std::printf("median without the probe: total %.1f ms\n", Median(bare));
    return 0;
}
