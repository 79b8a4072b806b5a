// (b) PcLoad of folders of 1,000 / 10,000 / 100,000 files: wall time and peak resident memory,
// beside the wall time of `ls -f` (a whole process) on the same folder in the same run; the
// median of five runs each.
// (c) Peak memory while scrolling 20 items at a time through a 2,000-picture folder, drawing
// every thumbnail: bounded by the 80 slots, not by the folder.
#include "app/Unit1.h"
#include "bench_form.h"
#include "bench_pictures.h"
#include "platform/base/Application.h"
#include "platform/widgets/ImageList.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{
double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    Application app(argc, argv);
    BenchForm bench;
    TForm1 *form = bench.Form();
    std::printf("start-up peak RSS: %.1f MiB\n", PeakRssMiB());

    for (int n : {1000, 10000, 100000}) {
        const QString folder = bench.Home.path() + QStringLiteral("/files%1").arg(n);
        QDir().mkpath(folder);
        // Unpadded numbers, so that the name order has numbers to compare.
        for (int i = 0; i < n; ++i)
            QFile(folder + QStringLiteral("/IMG_%1.JPG").arg(i)).open(QIODevice::WriteOnly);
        std::vector<double> listing, ls;
        for (int run = 0; run < 5; ++run) {
            QProcess lsProcess;
            lsProcess.setStandardOutputFile(QProcess::nullDevice());
            QElapsedTimer timer;
            timer.start();
            lsProcess.start(QStringLiteral("ls"), {QStringLiteral("-f"), folder});
            lsProcess.waitForFinished(-1);
            ls.push_back(double(timer.nsecsElapsed()) / 1e6);
            bench.List(bench.Home.path()); // so that picking the folder again lists it
            timer.restart();
            bench.List(folder);
            listing.push_back(double(timer.nsecsElapsed()) / 1e6);
        }
        const double ms = median(listing), lsMs = median(ls);
        std::printf("PcLoad %6d files: %9.1f ms (%5.1f us/file), %zu entries, peak RSS %.1f MiB; "
                    "ls -f %.1f ms (whole process), ratio %.2f\n",
                    n, ms, ms * 1000 / n, form->PcImages.size(), PeakRssMiB(), lsMs, ms / lsMs);
        QDir(folder).removeRecursively();
    }

    const QString pictures = bench.Home.path() + QStringLiteral("/pictures2000");
    QDir().mkpath(pictures);
    const QString first = pictures + QStringLiteral("/P0000.jpg");
    WriteBenchJpeg(first, 640, 480);
    for (int i = 1; i < 2000; ++i)
        QFile::copy(first, pictures + QStringLiteral("/P%1.jpg").arg(i, 4, 10, QLatin1Char('0')));
    bench.List(pictures);
    const int count = int(form->PcImages.size());
    QElapsedTimer timer;
    timer.start();
    const double beforeScrolling = CurrentRssMiB();
    for (int start = 0; start < count; start += 20) {
        bench.Draw(start, std::min(start + 19, count - 1));
        if (start + 20 == 100 || start + 20 == 500 || start + 20 == 1000 || start + 20 == 2000)
            std::printf("  resident after %4d thumbnails: %.1f MiB (before scrolling %.1f MiB)\n",
                        start + 20, CurrentRssMiB(), beforeScrolling);
    }
    std::printf("scrolled through %d pictures (640x480) in %.1f s: image list holds %d images, "
                "%d slot records\n",
                count, double(timer.elapsed()) / 1000, form->PcImageList->Count(),
                form->PcImgCache.Count());
    return 0;
}
