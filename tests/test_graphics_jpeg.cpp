// The JPEG decoder on real files written by libjpeg's compressor: pixels against djpeg,
// colour spaces, damaged, truncated and hostile files.
#include "platform/graphics/GraphicsErrors.h"
#include "platform/graphics/JpegImage.h"
#include "test_graphics_support.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

QImage decodeBytes(const QByteArray &bytes)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    TJPEGImage jpeg;
    jpeg.LoadFromStream(buffer);
    return jpeg.Image();
}

// Offset of the frame header (SOF0 or SOF2) of a file written by libjpeg.
qsizetype frameHeader(const QByteArray &bytes)
{
    for (qsizetype i = 2; i + 1 < bytes.size(); ++i)
        if (uchar(bytes[i]) == 0xFF && (uchar(bytes[i + 1]) == 0xC0 || uchar(bytes[i + 1]) == 0xC2))
            return i;
    return -1;
}

QByteArray withClaimedSize(QByteArray bytes, int width, int height)
{
    const qsizetype sof = frameHeader(bytes);
    EXPECT_GT(sof, 0);
    bytes[sof + 5] = char(height >> 8);
    bytes[sof + 6] = char(height & 0xFF);
    bytes[sof + 7] = char(width >> 8);
    bytes[sof + 8] = char(width & 0xFF);
    return bytes;
}

} // namespace

TEST(JpegDecoding, PixelsEqualDjpegForEveryColourSpace)
{
    QTemporaryDir dir;
    struct Case {
        const char *name;
        int width, height;
        JpegWriteOptions options;
    } cases[] = {
        {"baseline.jpg", 643, 481, {JpegKind::Color, 90, false}},
        {"progressive.jpg", 321, 243, {JpegKind::Color, 75, true}},
        {"gray.jpg", 199, 101, {JpegKind::Gray, 85, false}},
        {"cmyk.jpg", 130, 70, {JpegKind::CmykAdobe, 90, false}},
        {"ycck.jpg", 97, 65, {JpegKind::Ycck, 90, true}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = WriteTestFile(dir.path(), QString::fromLatin1(c.name),
                                           EncodeJpeg(TestPattern(c.width, c.height), c.options));
        TJPEGImage jpeg;
        jpeg.LoadFromFile(path);
        ASSERT_EQ(jpeg.Width(), c.width);
        ASSERT_EQ(jpeg.Height(), c.height);
        EXPECT_EQ(jpeg.Warnings(), 0);
        const QImage reference = DjpegPixels(path);
        ASSERT_FALSE(reference.isNull());
        EXPECT_EQ(MaxChannelDifference(jpeg.Image(), reference), 0);
    }
}

TEST(JpegDecoding, CmykWithAndWithoutAdobeMarkerGivesTheColour)
{
    for (JpegKind kind : {JpegKind::CmykAdobe, JpegKind::CmykPlain, JpegKind::Ycck}) {
        const QImage image =
            decodeBytes(EncodeJpeg(SolidPicture(16, 16, qRgb(200, 40, 90)), {kind, 95}));
        const QRgb px = image.pixel(8, 8);
        EXPECT_NEAR(qRed(px), 200, 3);
        EXPECT_NEAR(qGreen(px), 40, 3);
        EXPECT_NEAR(qBlue(px), 90, 3);
    }
}

TEST(JpegDecoding, TruncatedFileDecodesWithTheRestGreyAsDjpegDoes)
{
    QTemporaryDir dir;
    const QByteArray full = EncodeJpeg(TestPattern(64, 256), {JpegKind::Color, 90});
    const QImage whole = decodeBytes(full);
    const QString path =
        WriteTestFile(dir.path(), QStringLiteral("cut.jpg"), full.left(full.size() / 2));
    TJPEGImage jpeg;
    ASSERT_NO_THROW(jpeg.LoadFromFile(path));
    EXPECT_TRUE(jpeg.Truncated());
    EXPECT_GT(jpeg.Warnings(), 0);
    ASSERT_EQ(jpeg.Height(), 256);
    EXPECT_EQ(MaxChannelDifference(jpeg.Image().copy(0, 0, 64, 32), whole.copy(0, 0, 64, 32)), 0);
    EXPECT_EQ(jpeg.Image().pixel(10, 255), qRgb(128, 128, 128));
    const QImage reference = DjpegPixels(path);
    ASSERT_FALSE(reference.isNull());
    EXPECT_EQ(MaxChannelDifference(jpeg.Image(), reference), 0);
}

TEST(JpegDecoding, BrokenFilesRaiseEJpegAndKeepThePreviousPicture)
{
    const QByteArray good = EncodeJpeg(TestPattern(40, 30));
    QByteArray badMarker = good;
    badMarker[frameHeader(good) + 4] = 12; // 12-bit precision is not supported by this build
    QByteArray noComponents = good;
    noComponents[frameHeader(good) + 9] = 0;
    QByteArray zeroWidth = withClaimedSize(good, 0, 30);
    const QByteArray cases[] = {
        QByteArray(),                     // zero bytes
        good.left(2),                     // SOI only
        good.left(frameHeader(good) + 4), // ends inside the headers, before any scan
        QByteArray("GIF89a not a jpeg at all"),
        QByteArray(4096, '\xFF'),
        badMarker,
        noComponents,
        zeroWidth,
    };
    TJPEGImage jpeg;
    QByteArray goodCopy = good;
    QBuffer goodBuffer(&goodCopy);
    goodBuffer.open(QIODevice::ReadOnly);
    jpeg.LoadFromStream(goodBuffer);
    int index = 0;
    for (QByteArray bytes : cases) {
        SCOPED_TRACE(index++);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        EXPECT_THROW(jpeg.LoadFromStream(buffer), EInvalidGraphic);
        EXPECT_EQ(jpeg.Width(), 40);
        EXPECT_EQ(jpeg.Height(), 30);
    }
    QByteArray empty;
    QBuffer emptyBuffer(&empty);
    emptyBuffer.open(QIODevice::ReadOnly);
    try {
        jpeg.LoadFromStream(emptyBuffer);
        FAIL() << "empty data decoded";
    } catch (const EJPEG &e) {
        EXPECT_FALSE(e.Message.isEmpty());
    }
}

TEST(JpegDecoding, AbsurdClaimedSizeIsRefusedBeforeDecoding)
{
    const QByteArray huge = withClaimedSize(EncodeJpeg(TestPattern(16, 16)), 65000, 65000);
    try {
        decodeBytes(huge);
        FAIL() << "a 65000 x 65000 claim was decoded";
    } catch (const EInvalidGraphic &e) {
        EXPECT_TRUE(e.Message.contains(QStringLiteral("too large"))) << e.what();
    }
}

TEST(JpegDecoding, TallNarrowPictureDecodes)
{
    const QImage image = decodeBytes(EncodeJpeg(TestPattern(1, 30000)));
    EXPECT_EQ(image.size(), QSize(1, 30000));
}
