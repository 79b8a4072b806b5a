#include "tests/test_spi_support.h"

#include "spi.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <dlfcn.h>

QString TestPlugin(const QString &name)
{
    return QStringLiteral(TOVELA_TEST_PLUGINS "/") + name + QStringLiteral(".spi");
}

bool LibraryLoaded(const QString &path)
{
    void *handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle)
        return false;
    dlclose(handle); // RTLD_NOLOAD still counts a load
    return true;
}

TestFolder::TestFolder()
{
    EXPECT_TRUE(dir.isValid());
}

QString TestFolder::addPlugin(const QString &plugin, const QString &as)
{
    const QString target = dir.filePath(as);
    EXPECT_TRUE(QFile::copy(TestPlugin(plugin), target)) << plugin.toStdString();
    return target;
}

QString TestFolder::addFile(const QString &name, const QByteArray &bytes)
{
    const QString target = dir.filePath(name);
    QFile file(target);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return target;
}

namespace
{
void put32(QByteArray &b, uint32_t v)
{
    char raw[4];
    qToLittleEndian(v, raw);
    b.append(raw, 4);
}
void put16(QByteArray &b, uint16_t v)
{
    char raw[2];
    qToLittleEndian(v, raw);
    b.append(raw, 2);
}
} // namespace

TestDib MakeDib(const QImage &picture, int bitCount, bool topDown, uint32_t clrUsed,
                uint32_t headerSize)
{
    TestDib dib;
    const int w = picture.width(), h = picture.height();
    put32(dib.info, headerSize);
    put32(dib.info, uint32_t(w));
    put32(dib.info, uint32_t(topDown ? -h : h));
    put16(dib.info, 1);
    put16(dib.info, uint16_t(bitCount));
    put32(dib.info, BI_RGB);
    put32(dib.info, 0);
    put32(dib.info, 2835);
    put32(dib.info, 2835);
    put32(dib.info, clrUsed);
    put32(dib.info, 0);
    dib.info.append(QByteArray(int(headerSize) - 40, '\0'));
    if (bitCount <= 8) {
        const int entries = clrUsed ? int(clrUsed) : 1 << bitCount;
        const QList<QRgb> table = picture.colorTable();
        for (int i = 0; i < entries; ++i) {
            const QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
            dib.info.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
            dib.info.append('\0');
        }
    }
    const int rowBytes = (bitCount * w + 31) / 32 * 4;
    for (int r = 0; r < h; ++r) {
        const int y = topDown ? r : h - 1 - r;
        QByteArray row(rowBytes, '\0');
        auto *out = reinterpret_cast<uchar *>(row.data());
        for (int x = 0; x < w; ++x) {
            const QRgb c = picture.pixel(x, y);
            switch (bitCount) {
            case 1:
                out[x >> 3] |= uchar(picture.pixelIndex(x, y) << (7 - (x & 7)));
                break;
            case 4:
                out[x >> 1] |= uchar(picture.pixelIndex(x, y) << ((x & 1) ? 0 : 4));
                break;
            case 8:
                out[x] = uchar(picture.pixelIndex(x, y));
                break;
            case 16: {
                const uint16_t p =
                    uint16_t((qRed(c) >> 3) << 10 | (qGreen(c) >> 3) << 5 | (qBlue(c) >> 3));
                qToLittleEndian(p, out + 2 * x);
                break;
            }
            case 24:
                out[3 * x] = uchar(qBlue(c)), out[3 * x + 1] = uchar(qGreen(c));
                out[3 * x + 2] = uchar(qRed(c));
                break;
            case 32:
                out[4 * x] = uchar(qBlue(c)), out[4 * x + 1] = uchar(qGreen(c));
                out[4 * x + 2] = uchar(qRed(c)), out[4 * x + 3] = 0;
                break;
            }
        }
        dib.bits.append(row);
    }
    return dib;
}

QByteArray TestPictureFile(const TestDib &dib, uint32_t result, uint32_t steps)
{
    QByteArray file("TVSPIPIC");
    put32(file, result);
    put32(file, steps);
    put32(file, uint32_t(dib.info.size()));
    put32(file, uint32_t(dib.bits.size()));
    return file + dib.info + dib.bits;
}

QImage PatternImage(int width, int height, int colors)
{
    if (colors > 0) {
        QImage image(width, height, QImage::Format_Indexed8);
        QList<QRgb> table;
        for (int i = 0; i < colors; ++i)
            table.append(qRgb((i * 37) & 0xFF, (i * 91 + 40) & 0xFF, 255 - ((i * 53) & 0xFF)));
        image.setColorTable(table);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                image.setPixel(x, y, uint((x * 3 + y * 5) % colors));
        return image;
    }
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 8) & 0xF8, (y * 8) & 0xF8, ((x + y) * 4) & 0xF8));
    return image;
}
