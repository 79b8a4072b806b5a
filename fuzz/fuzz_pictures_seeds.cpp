// Writes a seed corpus for fuzz_pictures: small JPEG (baseline, progressive, grey), BMP
// (1, 4, 8, 24, 32 bits) and ICO files, each prefixed with its loader byte.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <cstdio>

static void seed(const QString &dir, const QString &name, char loader, const QImage &image,
                 const char *format, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    if (!writer.write(image)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(name));
        return;
    }
    QFile file(dir + QLatin1Char('/') + name);
    if (file.open(QIODevice::WriteOnly))
        file.write(QByteArray(1, loader) + bytes);
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString dir = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("seeds");
    QDir().mkpath(dir);
    QImage picture(37, 29, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x * 7, y * 9, (x ^ y) * 5));
    seed(dir, "baseline.jpg", 0, picture, "jpeg");
    seed(dir, "progressive.jpg", 0, picture, "jpeg", true);
    seed(dir, "gray.jpg", 0, picture.convertToFormat(QImage::Format_Grayscale8), "jpeg");
    seed(dir, "rgb24.bmp", 1, picture, "bmp");
    seed(dir, "argb32.bmp", 1, picture.convertToFormat(QImage::Format_ARGB32), "bmp");
    seed(dir, "indexed8.bmp", 1, picture.convertToFormat(QImage::Format_Indexed8), "bmp");
    seed(dir, "mono.bmp", 1, picture.convertToFormat(QImage::Format_Mono), "bmp");
    seed(dir, "icon.ico", 2, picture.convertToFormat(QImage::Format_ARGB32), "ico");
    seed(dir, "icon8.ico", 2, picture.convertToFormat(QImage::Format_Indexed8), "ico");
    return 0;
}
