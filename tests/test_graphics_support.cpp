#include "test_graphics_support.h"

#include "tests/support/ChildProcess.h"

#include "test_plugins_support.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

#include <jpeglib.h>

QImage TestPattern(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    unsigned seed = 12345;
    for (int y = 0; y < height; ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            seed = seed * 1103515245u + 12345u;
            int noise = int((seed >> 16) & 31) - 16;
            int r = (x * 255) / qMax(1, width - 1) + noise;
            int g = (y * 255) / qMax(1, height - 1) - noise;
            int b = ((x / 8 + y / 8) % 2) ? 220 : 30;
            row[x] = qRgb(qBound(0, r, 255), qBound(0, g, 255), qBound(0, b + noise, 255));
        }
    }
    return image;
}

QImage SolidPicture(int width, int height, QRgb color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

QByteArray EncodeJpeg(const QImage &picture, const JpegWriteOptions &options)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(picture.width());
    cinfo.image_height = JDIMENSION(picture.height());
    const bool cmyk = options.Kind == JpegKind::CmykAdobe || options.Kind == JpegKind::CmykPlain ||
                      options.Kind == JpegKind::Ycck;
    if (options.Kind == JpegKind::Gray) {
        cinfo.input_components = 1;
        cinfo.in_color_space = JCS_GRAYSCALE;
    } else if (cmyk) {
        cinfo.input_components = 4;
        cinfo.in_color_space = JCS_CMYK;
    } else {
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_RGB;
    }
    jpeg_set_defaults(&cinfo);
    if (options.Kind == JpegKind::Ycck)
        jpeg_set_colorspace(&cinfo, JCS_YCCK);
    if (options.Kind == JpegKind::CmykPlain)
        cinfo.write_Adobe_marker = FALSE;
    jpeg_set_quality(&cinfo, options.Quality, TRUE);
    if (options.Progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    const bool inverted = cmyk && options.Kind != JpegKind::CmykPlain;
    std::vector<JSAMPLE> row(size_t(picture.width()) * 4);
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    while (cinfo.next_scanline < cinfo.image_height) {
        auto *src = reinterpret_cast<const QRgb *>(rgb.constScanLine(int(cinfo.next_scanline)));
        for (int x = 0; x < picture.width(); ++x) {
            const int r = qRed(src[x]), g = qGreen(src[x]), b = qBlue(src[x]);
            if (options.Kind == JpegKind::Gray) {
                row[size_t(x)] = JSAMPLE(qGray(src[x]));
            } else if (cmyk) {
                int c = 255 - r, m = 255 - g, y = 255 - b, k = 0;
                if (inverted) {
                    c = 255 - c;
                    m = 255 - m;
                    y = 255 - y;
                    k = 255 - k;
                }
                row[4 * size_t(x) + 0] = JSAMPLE(c);
                row[4 * size_t(x) + 1] = JSAMPLE(m);
                row[4 * size_t(x) + 2] = JSAMPLE(y);
                row[4 * size_t(x) + 3] = JSAMPLE(k);
            } else {
                row[3 * size_t(x) + 0] = JSAMPLE(r);
                row[3 * size_t(x) + 1] = JSAMPLE(g);
                row[3 * size_t(x) + 2] = JSAMPLE(b);
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    QByteArray bytes(reinterpret_cast<const char *>(buffer), qsizetype(size));
    std::free(buffer);
    return bytes;
}

QString WriteTestFile(const QString &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir + QLatin1Char('/') + name;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        ADD_FAILURE() << "cannot write " << path.toStdString();
    return path;
}

namespace
{
// One whitespace-separated number of a PNM header.
int pnmNumber(const QByteArray &data, qsizetype &pos)
{
    while (pos < data.size() && (std::isspace(uchar(data[pos])) || data[pos] == '#')) {
        if (data[pos] == '#')
            while (pos < data.size() && data[pos] != '\n')
                ++pos;
        else
            ++pos;
    }
    int value = 0;
    while (pos < data.size() && std::isdigit(uchar(data[pos])))
        value = value * 10 + (data[pos++] - '0');
    return value;
}
} // namespace

QImage DjpegPixels(const QString &path)
{
    const QString djpeg = QStringLiteral("/usr/bin/djpeg");
    if (!QFile::exists(djpeg)) {
        ADD_FAILURE()
            << "djpeg is missing: install libjpeg-turbo-progs (tools/setup-debian.sh --tests)";
        return {};
    }
    const ProgramRun run = RunProgram(djpeg, {QStringLiteral("-ppm"), path}, 60000);
    if (!run.finished) {
        ADD_FAILURE() << "djpeg did not finish";
        return {};
    }
    const QByteArray &data = run.output;
    if (data.size() < 2 || data[0] != 'P' || (data[1] != '6' && data[1] != '5')) {
        ADD_FAILURE() << "djpeg gave no PNM for " << path.toStdString();
        return {};
    }
    const bool gray = data[1] == '5';
    qsizetype pos = 2;
    const int width = pnmNumber(data, pos), height = pnmNumber(data, pos);
    const int maxval = pnmNumber(data, pos);
    ++pos; // the single whitespace before the pixels
    const int channels = gray ? 1 : 3;
    if (maxval != 255 || data.size() - pos < qsizetype(width) * height * channels) {
        ADD_FAILURE() << "djpeg's PNM is short";
        return {};
    }
    QImage image(width, height, QImage::Format_RGB32);
    const auto *p = reinterpret_cast<const uchar *>(data.constData() + pos);
    for (int y = 0; y < height; ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x, p += channels)
            row[x] = gray ? qRgb(p[0], p[0], p[0]) : qRgb(p[0], p[1], p[2]);
    }
    return image;
}

int MaxChannelDifference(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return -1;
    const QImage ca = a.convertToFormat(QImage::Format_RGB32);
    const QImage cb = b.convertToFormat(QImage::Format_RGB32);
    int worst = 0;
    for (int y = 0; y < ca.height(); ++y) {
        auto *ra = reinterpret_cast<const QRgb *>(ca.constScanLine(y));
        auto *rb = reinterpret_cast<const QRgb *>(cb.constScanLine(y));
        for (int x = 0; x < ca.width(); ++x) {
            worst = qMax(worst, std::abs(qRed(ra[x]) - qRed(rb[x])));
            worst = qMax(worst, std::abs(qGreen(ra[x]) - qGreen(rb[x])));
            worst = qMax(worst, std::abs(qBlue(ra[x]) - qBlue(rb[x])));
        }
    }
    return worst;
}

const QRgb SceneColors[4] = {qRgb(220, 30, 30), qRgb(30, 190, 40), qRgb(30, 40, 210),
                             qRgb(235, 220, 40)};

QImage OrientationScene(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    const int w = width / 2, h = height / 2;
    painter.fillRect(0, 0, w, h, QColor(SceneColors[0]));
    painter.fillRect(w, 0, width - w, h, QColor(SceneColors[1]));
    painter.fillRect(0, h, w, height - h, QColor(SceneColors[2]));
    painter.fillRect(w, h, width - w, height - h, QColor(SceneColors[3]));
    return image;
}

QByteArray TurnedJpeg(QSize upright, int orientation)
{
    // jpegtran's turn that stores the upright picture so that the orientation undoes it.
    static const QStringList storedBy[9] = {{},
                                            {},
                                            {"-flip", "horizontal"},
                                            {"-rotate", "180"},
                                            {"-flip", "vertical"},
                                            {"-transpose"},
                                            {"-rotate", "270"},
                                            {"-transverse"},
                                            {"-rotate", "90"}};
    QTemporaryDir dir;
    const QString ppm = dir.filePath("upright.ppm"), jpeg = dir.filePath("upright.jpg");
    const QString stored = dir.filePath("stored.jpg"), tagged = dir.filePath("tagged.jpg");
    EXPECT_TRUE(OrientationScene(upright.width(), upright.height()).save(ppm, "PPM"));
    // No chroma subsampling, sides in whole blocks: the turn loses nothing.
    runTool("cjpeg", {"-quality", "95", "-sample", "1x1", "-outfile", jpeg, ppm});
    runTool("jpegtran", QStringList{"-perfect", "-copy", "none"} << storedBy[orientation]
                                                                 << "-outfile" << stored << jpeg);
    runTool("exif",
            {"--create-exif", "--ifd=0", "--tag=Orientation",
             QStringLiteral("--set-value=%1").arg(orientation), "--output=" + tagged, stored});
    QFile file(tagged);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << "orientation " << orientation;
    return file.readAll();
}

::testing::AssertionResult ShowsUprightScene(const QImage &image, const QRect &rect, int tolerance)
{
    const int w = rect.width() / 2, h = rect.height() / 2;
    const QRect quadrants[4] = {
        QRect(rect.x(), rect.y(), w, h), QRect(rect.x() + w, rect.y(), rect.width() - w, h),
        QRect(rect.x(), rect.y() + h, w, rect.height() - h),
        QRect(rect.x() + w, rect.y() + h, rect.width() - w, rect.height() - h)};
    for (int q = 0; q < 4; ++q) {
        // The inner part: edges may blend with the neighbour when scaled.
        const QRect inner = quadrants[q].adjusted(2, 2, -2, -2);
        for (int y = inner.top(); y <= inner.bottom(); ++y)
            for (int x = inner.left(); x <= inner.right(); ++x) {
                const QRgb c = image.pixel(x, y), e = SceneColors[q];
                if (std::abs(qRed(c) - qRed(e)) > tolerance ||
                    std::abs(qGreen(c) - qGreen(e)) > tolerance ||
                    std::abs(qBlue(c) - qBlue(e)) > tolerance)
                    return ::testing::AssertionFailure()
                           << "quadrant " << q << " at " << x << "," << y << " is "
                           << QColor(c).name().toStdString() << ", not "
                           << QColor(e).name().toStdString();
            }
    }
    return ::testing::AssertionSuccess();
}
