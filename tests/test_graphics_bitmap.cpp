// Bitmaps and icons through Qt's BMP and ICO readers only; the bitmap's canvas and Assign.
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/GraphicsErrors.h"
#include "platform/graphics/Icon.h"
#include "platform/graphics/JpegImage.h"
#include "test_graphics_support.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace
{

QByteArray savedAs(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    EXPECT_TRUE(image.save(&buffer, format));
    return bytes;
}

template <class T> void loadBytes(T &graphic, QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    graphic.LoadFromStream(buffer);
}

// A 24-bit BMP header that claims the given size, followed by a few bytes of pixels.
QByteArray bmpClaiming(qint32 width, qint32 height)
{
    QByteArray bytes(54 + 16, '\0');
    auto *p = reinterpret_cast<uchar *>(bytes.data());
    p[0] = 'B';
    p[1] = 'M';
    qToLittleEndian<quint32>(quint32(bytes.size()), p + 2);
    qToLittleEndian<quint32>(54, p + 10);
    qToLittleEndian<quint32>(40, p + 14);
    qToLittleEndian<qint32>(width, p + 18);
    qToLittleEndian<qint32>(height, p + 22);
    qToLittleEndian<quint16>(1, p + 26);
    qToLittleEndian<quint16>(24, p + 28);
    return bytes;
}

} // namespace

TEST(BitmapReading, BmpFilesKeepPixelsAndPalette)
{
    TBitmap bitmap;
    const QImage pattern = TestPattern(37, 23);
    loadBytes(bitmap, savedAs(pattern, "BMP"));
    EXPECT_EQ(MaxChannelDifference(bitmap.Image(), pattern), 0);

    QImage indexed = pattern.convertToFormat(QImage::Format_Indexed8);
    loadBytes(bitmap, savedAs(indexed, "BMP"));
    EXPECT_EQ(bitmap.Palette().size(), indexed.colorCount());
    EXPECT_EQ(MaxChannelDifference(bitmap.Image(), indexed), 0);

    loadBytes(bitmap, savedAs(TestPattern(1, 30000), "BMP"));
    EXPECT_EQ(bitmap.Width(), 1);
    EXPECT_EQ(bitmap.Height(), 30000);

    QByteArray saved;
    QBuffer out(&saved);
    out.open(QIODevice::WriteOnly);
    bitmap.SaveToStream(out);
    TBitmap again;
    loadBytes(again, saved);
    EXPECT_EQ(MaxChannelDifference(again.Image(), bitmap.Image()), 0);
}

TEST(BitmapReading, OnlyRealBmpDataLoadsAndFailuresKeepTheOldPicture)
{
    const QByteArray bmp = savedAs(TestPattern(20, 10), "BMP");
    const QByteArray cases[] = {
        QByteArray(),
        bmp.left(30),
        bmp.left(2) + QByteArray(200, '\x7f'),
        savedAs(TestPattern(20, 10), "PNG"), // Qt could read it, the bitmap must not
        EncodeJpeg(TestPattern(20, 10)),
        bmpClaiming(100000, 100000), // refused from the header, before any pixel memory
        bmpClaiming(0, 10),
    };
    TBitmap bitmap;
    loadBytes(bitmap, savedAs(TestPattern(5, 6), "BMP"));
    int index = 0;
    for (const QByteArray &bytes : cases) {
        SCOPED_TRACE(index++);
        EXPECT_THROW(loadBytes(bitmap, bytes), EInvalidGraphic);
        EXPECT_EQ(bitmap.Width(), 5);
        EXPECT_EQ(bitmap.Height(), 6);
    }
}

TEST(BitmapReading, IconsLoadFromIcoDataOnlyAndStretchIntoTheRect)
{
    QImage art(32, 32, QImage::Format_ARGB32);
    art.fill(Qt::transparent);
    for (int y = 8; y < 24; ++y)
        for (int x = 8; x < 24; ++x)
            art.setPixel(x, y, qRgba(0, 160, 0, 255));
    const QByteArray ico = savedAs(art, "ICO");
    TIcon icon;
    loadBytes(icon, ico);
    ASSERT_EQ(icon.Width(), 32);
    ASSERT_EQ(icon.Height(), 32);

    TBitmap target;
    target.SetSize(100, 100);
    target.Canvas()->StretchDraw(QRect(10, 20, 80, 70), icon);
    const QImage &px = target.Image();
    // The icon's green square, (8, 8) to (24, 24) of 32 x 32, scaled by 80/32 and 70/32.
    EXPECT_EQ(px.pixel(33, 41), qRgb(0, 160, 0));     // near the square's top-left
    EXPECT_EQ(px.pixel(67, 69), qRgb(0, 160, 0));     // near its bottom-right
    EXPECT_EQ(px.pixel(50, 55), qRgb(0, 160, 0));     // its middle: green only when stretched
    EXPECT_EQ(px.pixel(28, 35), qRgb(255, 255, 255)); // transparent part leaves white
    EXPECT_EQ(px.pixel(72, 75), qRgb(255, 255, 255));
    EXPECT_EQ(px.pixel(12, 22), qRgb(255, 255, 255));

    const QByteArray bad[] = {QByteArray(), ico.left(10), ico.left(ico.size() / 2),
                              savedAs(art, "PNG"), savedAs(art, "BMP")};
    int index = 0;
    for (const QByteArray &bytes : bad) {
        SCOPED_TRACE(index++);
        EXPECT_THROW(loadBytes(icon, bytes), EInvalidGraphic);
        EXPECT_EQ(icon.Width(), 32);
    }
}

TEST(BitmapCanvas, NewPixelsAreWhiteAndStretchDrawFillsExactlyTheRect)
{
    TBitmap bitmap;
    EXPECT_TRUE(bitmap.Empty());
    bitmap.SetSize(100, 100);
    EXPECT_EQ(bitmap.Image().pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(bitmap.Image().pixel(99, 99), qRgb(255, 255, 255));

    TJPEGImage jpeg;
    loadBytes(jpeg, EncodeJpeg(SolidPicture(640, 480, qRgb(255, 0, 0)), {JpegKind::Color, 95}));
    bitmap.Canvas()->StretchDraw(QRect(0, 13, 99, 74), jpeg);
    const QImage &px = bitmap.Image();
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            const bool inside = x < 99 && y >= 13 && y < 87;
            const QRgb c = px.pixel(x, y);
            if (inside)
                ASSERT_TRUE(qRed(c) > 240 && qGreen(c) < 15 && qBlue(c) < 15) << x << "," << y;
            else
                ASSERT_EQ(c, qRgb(255, 255, 255)) << x << "," << y;
        }

    bitmap.SetSize(120, 100); // grows: old part kept, new part white
    EXPECT_GT(qRed(bitmap.Image().pixel(50, 50)), 240);
    EXPECT_LT(qGreen(bitmap.Image().pixel(50, 50)), 15);
    EXPECT_EQ(bitmap.Image().pixel(110, 50), qRgb(255, 255, 255));
}

TEST(BitmapCanvas, AssignCopiesBitmapsAndRendersOtherGraphics)
{
    TJPEGImage jpeg;
    loadBytes(jpeg, EncodeJpeg(TestPattern(64, 48)));
    TBitmap fromJpeg;
    fromJpeg.Assign(jpeg);
    EXPECT_EQ(MaxChannelDifference(fromJpeg.Image(), jpeg.Image()), 0);

    TBitmap indexed;
    loadBytes(indexed, savedAs(TestPattern(8, 8).convertToFormat(QImage::Format_Indexed8), "BMP"));
    TBitmap copy;
    copy.Assign(indexed);
    EXPECT_EQ(copy.Palette(), indexed.Palette());
    EXPECT_EQ(MaxChannelDifference(copy.Image(), indexed.Image()), 0);
    // Drawing on a palette bitmap works (it becomes 32-bit) and leaves the source alone.
    copy.Canvas()->FillRect(QRect(0, 0, 4, 4), Qt::black);
    EXPECT_EQ(copy.Image().pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_NE(indexed.Image().pixel(1, 1), qRgb(0, 0, 0));

    TJPEGImage other;
    EXPECT_THROW(other.Assign(copy), EConvertError);
}
