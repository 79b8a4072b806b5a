// Compares the metafile player with LibreOffice's rendering of the same files. For every
// .emf and .wmf in the folder (tests/data/metafiles), the reference is lo/<file>.png, made
// once with `soffice --headless --convert-to png`: an A4 page at 96 dpi with the picture at
// its own size in the middle. The picture is drawn at its size, the page is searched a few
// pixels around the middle for the best fit, and two shares are printed: pixels whose
// channels all lie within the tolerance of the reference pixel, and pixels that have such a
// reference pixel within one pixel (edges drawn half a pixel apart), and the time one load
// and 100 x 100 thumbnail takes (mean of 50). Usage:
//   bench_metafile_similarity <folder> [tolerance=40] [folder for our renderings]
#include "platform/graphics/metafile/Metafile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>

namespace
{
bool near(QRgb a, QRgb b, int tolerance)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= tolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

struct Score {
    double strict = 0, nearby = 0;
};

Score compare(const QImage &ours, const QImage &page, QPoint at, int tolerance)
{
    qint64 strict = 0, nearby = 0;
    for (int y = 0; y < ours.height(); ++y)
        for (int x = 0; x < ours.width(); ++x) {
            const QRgb c = ours.pixel(x, y);
            const int px = at.x() + x, py = at.y() + y;
            const QRgb ref = page.valid(px, py) ? page.pixel(px, py) : qRgb(255, 255, 255);
            if (near(c, ref, tolerance)) {
                ++strict, ++nearby;
                continue;
            }
            bool found = false;
            for (int dy = -1; dy <= 1 && !found; ++dy)
                for (int dx = -1; dx <= 1 && !found; ++dx)
                    found = page.valid(px + dx, py + dy) &&
                            near(c, page.pixel(px + dx, py + dy), tolerance);
            nearby += found;
        }
    const double n = double(ours.width()) * ours.height();
    return {strict / n, nearby / n};
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <folder> [tolerance] [output folder]\n", argv[0]);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    const int tolerance = argc > 2 ? std::atoi(argv[2]) : 40;
    const QString out = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
    std::printf("%-22s %9s %8s %8s %10s\n", "file", "size", "strict", "nearby", "thumb ms");
    double worst = 1;
    for (const QString &name : dir.entryList({"*.emf", "*.wmf"}, QDir::Files, QDir::Name)) {
        TMetafile metafile;
        try {
            metafile.LoadFromFile(dir.filePath(name));
        } catch (const std::exception &e) {
            std::printf("%-22s does not load: %s\n", qPrintable(name), e.what());
            worst = 0;
            continue;
        }
        QImage ours(metafile.Width(), metafile.Height(), QImage::Format_RGB32);
        ours.fill(Qt::white);
        {
            QPainter painter(&ours);
            metafile.Draw(painter, ours.rect());
        }
        if (!out.isEmpty())
            ours.save(out + "/" + name + ".png");
        const QImage page(dir.filePath("lo/" + name + ".png"));
        if (page.isNull()) {
            std::printf("%-22s has no reference\n", qPrintable(name));
            continue;
        }
        const QPoint centre((page.width() - ours.width()) / 2, (page.height() - ours.height()) / 2);
        Score best;
        QPoint bestAt = centre;
        for (int dy = -4; dy <= 4; ++dy)
            for (int dx = -4; dx <= 4; ++dx) {
                const Score s = compare(ours, page, centre + QPoint(dx, dy), tolerance);
                if (s.strict > best.strict) {
                    best = s;
                    bestAt = centre + QPoint(dx, dy);
                }
            }
        worst = std::min(worst, best.nearby);
        if (!out.isEmpty()) {
            // Where the two differ beyond the tolerance: red, on a pale copy of ours.
            QImage diff = ours.copy();
            for (int y = 0; y < diff.height(); ++y)
                for (int x = 0; x < diff.width(); ++x) {
                    const QPoint p = bestAt + QPoint(x, y);
                    const QRgb ref = page.valid(p) ? page.pixel(p) : qRgb(255, 255, 255);
                    const QRgb c = ours.pixel(x, y);
                    diff.setPixel(
                        x, y,
                        near(c, ref, tolerance)
                            ? qRgb(192 + qGray(c) / 4, 192 + qGray(c) / 4, 192 + qGray(c) / 4)
                            : qRgb(255, 0, 0));
                }
            diff.save(out + "/" + name + ".diff.png");
        }
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 50; ++i) {
            TMetafile again;
            again.LoadFromFile(dir.filePath(name));
            QImage thumb(100, 100, QImage::Format_RGB32);
            thumb.fill(Qt::white);
            QPainter painter(&thumb);
            again.Draw(painter, QRect(0, 13, 99, 74));
        }
        std::printf("%-22s %4dx%-4d %7.2f%% %7.2f%% %10.3f\n", qPrintable(name), ours.width(),
                    ours.height(), 100 * best.strict, 100 * best.nearby,
                    timer.nsecsElapsed() / 50e6);
    }
    std::printf("lowest share (nearby): %.2f%%\n", 100 * worst);
    return 0;
}
