// Draws every bitmap the program ships (stock thumbnails, toolbar and tree icons, window icon,
// login logo, the four guide pages) and writes them as PNG files under the folder given on the
// command line, each also at double density for scaled screens ("name@2x.png", Qt's naming),
// the window icon also as SVG. Run it again after changing a drawing; the files are committed,
// not built.
#include "BrandMarks.h"
#include "GuidePages.h"
#include "Painting.h"
#include "SmallIcons.h"
#include "StockThumbnails.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <functional>
#include <utility>
#include <vector>

namespace
{

using Picture = std::pair<const char *, std::function<QImage()>>;

// Each bitmap by its file name under the resources folder.
const std::vector<Picture> &pictures()
{
    using namespace resgen;
    static const std::vector<Picture> all = {
        {"thumbs/unknown.png", unknownThumb},
        {"thumbs/folder.png", [] { return folderThumb(false); }},
        {"thumbs/folderup.png", [] { return folderThumb(true); }},
        {"icons/up.png", upIcon},
        {"icons/album.png", albumIcon},
        {"icons/album_selected.png", albumSelectedIcon},
        {"icons/addprint.png", addPrintIcon},
        {"icons/tovela.png", [] { return appIcon(64); }},
        {"icons/tovela256.png", [] { return appIcon(256); }},
        // The launcher icon's other sizes in the desktop's icon theme.
        {"icons/tovela16.png", [] { return appIcon(16); }},
        {"icons/tovela22.png", [] { return appIcon(22); }},
        {"icons/tovela24.png", [] { return appIcon(24); }},
        {"icons/tovela32.png", [] { return appIcon(32); }},
        {"icons/tovela48.png", [] { return appIcon(48); }},
        {"icons/tovela128.png", [] { return appIcon(128); }},
        {"login/logo.png", loginLogo},
        {"guide/page0.png", guidePage0},
        {"guide/page1.png", guidePage1},
        {"guide/page2.png", guidePage2},
        {"guide/page3.png", guidePage3},
    };
    return all;
}

// Draws every bitmap at the given density and writes it; returns how many could not be written.
int writePictures(const QDir &root, qreal ratio)
{
    int failures = 0;
    resgen::pixelRatio = ratio;
    for (const auto &[name, draw] : pictures()) {
        QString file = QString::fromUtf8(name);
        if (ratio != 1)
            file.insert(file.lastIndexOf(QLatin1Char('.')), QStringLiteral("@2x"));
        const QString path = root.filePath(file);
        QDir().mkpath(QFileInfo(path).path());
        const QImage img = draw().convertToFormat(QImage::Format_ARGB32);
        if (!img.save(path, "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            ++failures;
            continue;
        }
        std::printf("%s %dx%d\n", qPrintable(path), img.width(), img.height());
    }
    return failures;
}

// Writes the window icon as SVG; returns how many files could not be written.
int writeScalableIcon(const QDir &root)
{
    resgen::pixelRatio = 1;
    const QString svg = root.filePath(QStringLiteral("icons/tovela.svg"));
    if (!resgen::writeAppIconSvg(svg)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(svg));
        return 1;
    }
    std::printf("%s scalable\n", qPrintable(svg));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_resources <resources folder>\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    int failures = 0;
    for (const qreal ratio : {1, 2})
        failures += writePictures(root, ratio);
    failures += writeScalableIcon(root);
    return failures == 0 ? 0 : 1;
}
