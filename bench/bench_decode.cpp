// Full decode of JPEG pictures through TJPEGImage against libjpeg-turbo's djpeg writing a BMP
// to /dev/null, on the same files in the same run. djpeg's time includes starting a process,
// so the figure of an empty run (djpeg -version) is printed too.
#include "bench_pictures.h"
#include "platform/graphics/JpegImage.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QString djpeg = DjpegProgram();
    if (djpeg.isEmpty())
        return 1;
    QTemporaryDir dir;
    struct Size {
        int width, height, runs;
    } sizes[] = {{640, 480, 31}, {4000, 3000, 7}, {6000, 4000, 5}};

    const double startup = MedianMs(11, [&] { RunProgram(djpeg, {QStringLiteral("-version")}); });
    std::printf("djpeg process start-up (djpeg -version): %.2f ms\n", startup);
    std::printf("%-11s %10s %12s %14s %8s\n", "picture", "file KiB", "TJPEGImage", "djpeg -bmp",
                "ratio");
    for (const Size &s : sizes) {
        const QString path = dir.filePath(QStringLiteral("%1x%2.jpg").arg(s.width).arg(s.height));
        WriteBenchJpeg(path, s.width, s.height);
        double ours = MedianMs(s.runs, [&] {
            TJPEGImage jpeg;
            jpeg.LoadFromFile(path);
            if (jpeg.Width() != s.width)
                std::abort();
        });
        double theirs = MedianMs(s.runs, [&] {
            if (RunProgram(djpeg, {QStringLiteral("-bmp"), QStringLiteral("-outfile"),
                                   QStringLiteral("/dev/null"), path}) != 0)
                std::abort();
        });
        std::printf("%5dx%-5d %10lld %9.2f ms %11.2f ms %8.2f\n", s.width, s.height,
                    QFile(path).size() / 1024, ours, theirs, ours / theirs);
    }
    std::printf("peak RSS: %.1f MiB\n", PeakRssMiB());
    return 0;
}
