// The window thread's time away from its event loop while the thumbnails of twenty 24 MP
// JPEGs (6000 x 4000, as a phone takes them) fill, driven by the window's own draw timer: the
// longest gap between two rounds of the event loop, its 99th percentile, the gaps over 50 ms
// and the fill's total time, over a few rounds.
#include "app/Unit1.h"
#include "bench/LoopProbe.h"
#include "bench_form.h"
#include "bench_pictures.h"
#include "platform/base/Application.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <cstdio>

namespace
{
constexpr int Pictures = 20;
constexpr int Rounds = 3;

bool allDrawn(const TForm1 *form)
{
    if (form->PcImages.size() != size_t(Pictures))
        return false;
    for (const TPcImages &entry : form->PcImages)
        if (!entry.Drawn)
            return false;
    return true;
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    BenchForm bench;
    TForm1 *form = bench.Form();
    // A folder of its own each round, so that every round lists and decodes afresh.
    const QString first = bench.Home.path() + QStringLiteral("/IMG_00.jpg");
    WriteBenchJpeg(first, 6000, 4000);
    const auto folderOfRound = [&](int round) {
        const QString folder = bench.Home.path() + QStringLiteral("/phone%1").arg(round);
        QDir().mkpath(folder);
        for (int k = 0; k < Pictures; ++k)
            QFile::copy(first,
                        folder + QStringLiteral("/IMG_%1.jpg").arg(k, 2, 10, QLatin1Char('0')));
        return folder;
    };

    std::printf("%-6s %12s %12s %10s %12s\n", "round", "longest gap", "99th pct", "over 50ms",
                "fill total");
    for (int round = 1; round <= Rounds; ++round) {
        bench.List(folderOfRound(round));
        form->PcListViewDataHint(0, Pictures - 1);
        TLoopProbe probe;
        QEventLoop loop;
        QTimer done;
        QObject::connect(&done, &QTimer::timeout, [&] {
            if (allDrawn(form))
                loop.quit();
        });
        QElapsedTimer clock;
        probe.Start();
        clock.start();
        done.start(5);
        loop.exec();
        const double total = double(clock.nsecsElapsed()) / 1e6;
        probe.Stop();
        std::printf("%-6d %9.1f ms %9.1f ms %10zu %9.0f ms\n", round, probe.MaxMs(),
                    probe.PercentileMs(0.99), probe.CountOver(50), total);
    }
    return 0;
}
