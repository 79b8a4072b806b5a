// The album's plain pieces: line records, display positions, the centred thumbnail, the
// cache file names.
#include "album/AlbumCacheFiles.h"
#include "album/AlbumLoadState.h"
#include "album/AlbumThumbnail.h"
#include "album/AlbumTreePositions.h"
#include "album/LineRecord.h"
#include "platform/base/Exception.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/JpegImage.h"

#include <QBuffer>
#include <QPainter>
#include <QTreeWidget>
#include <gtest/gtest.h>
#include <memory>

TEST(AlbumLineRecord, LinesEndAtCrLfLfOrCrAndAFinalBreakStartsNoLine)
{
    EXPECT_EQ(SplitLines(QString()), QStringList());
    EXPECT_EQ(SplitLines(QStringLiteral("\r\n")), QStringList{QString()});
    EXPECT_EQ(SplitLines(QStringLiteral("a\r\nb\nc\rd")), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(SplitLines(QStringLiteral("a\n\r b\r\n")), (QStringList{"a", "", " b"}));
    EXPECT_EQ(SplitLines(QStringLiteral("a\r\r\n")), (QStringList{"a", ""}));
}

TEST(AlbumLineRecord, FieldsAreCutAtTheMarker)
{
    EXPECT_EQ(RecordFields(QStringLiteral("12<!--SEP-->0<!--SEP-->写真")),
              (QStringList{"12", "0", "写真"}));
    // A marker at the end gives no empty last field; two in a row give an empty one.
    EXPECT_EQ(RecordFields(QStringLiteral("1<!--SEP-->2<!--SEP-->")), (QStringList{"1", "2"}));
    EXPECT_EQ(RecordFields(QStringLiteral("1<!--SEP--><!--SEP-->x")), (QStringList{"1", "", "x"}));
    EXPECT_EQ(RecordFields(QString()), QStringList());
    EXPECT_EQ(RecordFields(QStringLiteral("<!--SEP<!--SEP-->")), (QStringList{"<!--SEP"}));
}

TEST(AlbumLineRecord, IntegersAreDecimalAndThirtyTwoBits)
{
    const QStringList f{"12", "-7", "+3", "2147483647", "-2147483648", "2147483648",
                        "1x", " 1", "",   "-",          "0x10",        "１"};
    EXPECT_EQ(RecordInteger(f, 0), 12);
    EXPECT_EQ(RecordInteger(f, 1), -7);
    EXPECT_EQ(RecordInteger(f, 2), 3);
    EXPECT_EQ(RecordInteger(f, 3), 2147483647);
    EXPECT_EQ(RecordInteger(f, 4), -2147483647 - 1);
    for (int bad = 5; bad < f.size(); ++bad)
        EXPECT_THROW(RecordInteger(f, bad), EConvertError) << f.at(bad).toStdString();
    EXPECT_THROW(RecordInteger(f, f.size()), EConvertError);
    EXPECT_THROW(RecordText(f, -1), EConvertError);
    EXPECT_EQ(RecordText(f, 6), QStringLiteral("1x"));
}

TEST(AlbumTreePositions, DepthFirstWhetherExpandedOrNot)
{
    QTreeWidget tree;
    auto *root = new QTreeWidgetItem(&tree, {"トップ"});
    auto *a = new QTreeWidgetItem(root, {"A"});
    auto *b = new QTreeWidgetItem(a, {"B"});
    auto *c = new QTreeWidgetItem(root, {"C"});
    root->setExpanded(true); // A stays collapsed
    EXPECT_EQ(NodeAtDisplayPosition(&tree, 0), root);
    EXPECT_EQ(NodeAtDisplayPosition(&tree, 1), a);
    EXPECT_EQ(NodeAtDisplayPosition(&tree, 2), b);
    EXPECT_EQ(NodeAtDisplayPosition(&tree, 3), c);
    EXPECT_EQ(NodeAtDisplayPosition(&tree, 4), nullptr);
    EXPECT_EQ(NodeAtDisplayPosition(&tree, -1), nullptr);
    EXPECT_EQ(DisplayPosition(&tree, c), 3);
    EXPECT_EQ(DisplayPosition(&tree, b), 2);
    EXPECT_EQ(DisplayPosition(&tree, nullptr), -1);
    QTreeWidgetItem stray({"x"});
    EXPECT_EQ(DisplayPosition(&tree, &stray), -1);
}

namespace
{
// A picture whose every column has its own colour, so a test sees which column went where.
std::unique_ptr<TBitmap> stripes(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y)
            image.setPixel(x, y, qRgb(x, 255 - y, 7));
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetImage(image);
    return bitmap;
}
} // namespace

TEST(AlbumThumbnail, WiderPictureLosesItsSidesAndGetsWhiteRows)
{
    const QImage t = CentredThumbnail(*stripes(120, 80));
    ASSERT_EQ(t.size(), QSize(100, 100));
    for (int x : {0, 50, 99}) {
        EXPECT_EQ(t.pixel(x, 0), qRgb(255, 255, 255));
        EXPECT_EQ(t.pixel(x, 9), qRgb(255, 255, 255));
        EXPECT_EQ(t.pixel(x, 90), qRgb(255, 255, 255));
        EXPECT_EQ(t.pixel(x, 99), qRgb(255, 255, 255));
    }
    EXPECT_EQ(t.pixel(0, 10), qRgb(10, 255, 7));   // column 10, row 0
    EXPECT_EQ(t.pixel(99, 89), qRgb(109, 176, 7)); // column 109, row 79
}

TEST(AlbumThumbnail, OnAScaledScreenTheSameCropIsEnlargedSmoothly)
{
    // 120 x 80 at ratio 2: the same columns cut off and the same white rows, in twice the
    // pixels.
    const QImage t = CentredThumbnail(*stripes(120, 80), 2);
    ASSERT_EQ(t.size(), QSize(200, 200));
    EXPECT_EQ(t.devicePixelRatio(), 2.0);
    for (int x : {0, 100, 199})
        for (int y : {0, 19, 180, 199})
            EXPECT_EQ(t.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
    EXPECT_NEAR(qRed(t.pixel(1, 21)), 10, 1);     // column 10, row 0
    EXPECT_NEAR(qRed(t.pixel(198, 178)), 109, 1); // column 109, row 79

    // Single-pixel detail is filtered, not repeated in blocks: pixel doubling would give
    // only black and white.
    QImage checks(100, 100, QImage::Format_RGB32);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            checks.setPixel(x, y, (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    TBitmap bitmap;
    bitmap.SetImage(checks);
    const QImage smooth = CentredThumbnail(bitmap, 2);
    int blended = 0;
    for (int y = 10; y < 190; ++y)
        for (int x = 10; x < 190; ++x)
            blended += qGray(smooth.pixel(x, y)) > 20 && qGray(smooth.pixel(x, y)) < 235;
    EXPECT_GT(blended, 180 * 180 / 2);
}

TEST(AlbumThumbnail, OddExcessCostsOnePixelMoreOnTheRightAndBottom)
{
    // 103 - 100 = 3: one column off the left, two off the right.
    QImage t = CentredThumbnail(*stripes(103, 103));
    EXPECT_EQ(t.pixel(0, 0), qRgb(1, 254, 7));
    EXPECT_EQ(t.pixel(99, 99), qRgb(100, 155, 7));
    // 101: (100 - 101) / 2 truncates to 0, so the only lost column is the right one.
    t = CentredThumbnail(*stripes(101, 101));
    EXPECT_EQ(t.pixel(0, 0), qRgb(0, 255, 7));
    // A small picture sits in the middle on white.
    t = CentredThumbnail(*stripes(3, 3));
    EXPECT_EQ(t.pixel(47, 47), qRgb(255, 255, 255));
    EXPECT_EQ(t.pixel(48, 48), qRgb(0, 255, 7));
    EXPECT_EQ(t.pixel(50, 50), qRgb(2, 253, 7));
    EXPECT_EQ(t.pixel(51, 51), qRgb(255, 255, 255));
}

TEST(AlbumThumbnail, DecodedJpegPicturesComeOutAsThePainterDrawsThem)
{
    // Sizes that fit, fill, overflow by even and odd counts, on one side or both.
    for (const QSize size : {QSize(60, 40), QSize(100, 100), QSize(120, 80), QSize(103, 101),
                             QSize(1, 150), QSize(99, 3)}) {
        QImage source(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                source.setPixel(x, y, qRgb(x * 2, 255 - y, (x * y) % 256));
        QByteArray bytes;
        QBuffer out(&bytes);
        out.open(QIODevice::WriteOnly);
        ASSERT_TRUE(source.save(&out, "JPEG", 90));
        QBuffer in(&bytes);
        in.open(QIODevice::ReadOnly);
        TJPEGImage jpeg;
        jpeg.LoadFromStream(in);
        ASSERT_EQ(jpeg.Image().size(), size);

        QImage expected(100, 100, QImage::Format_RGB32);
        expected.fill(Qt::white);
        {
            QPainter painter(&expected);
            painter.drawImage(QPoint((100 - size.width()) / 2, (100 - size.height()) / 2),
                              jpeg.Image());
        }
        EXPECT_EQ(CentredThumbnail(jpeg), expected) << size.width() << " x " << size.height();
    }
}

TEST(AlbumCacheFiles, NamesThatWouldLeaveTheFolderAreRefused)
{
    EXPECT_EQ(ThumbnailFileName(QStringLiteral("/c/ImageCache"), 42),
              QStringLiteral("/c/ImageCache/42.jpg"));
    for (const QString &bad :
         {QString(), QStringLiteral("."), QStringLiteral(".."), QStringLiteral("../x.jpg"),
          QStringLiteral("a/b.jpg"), QStringLiteral("/etc/passwd"), QStringLiteral("a") + QChar(0),
          QString(86, QChar(0x5199))})
        EXPECT_FALSE(IsUsableCacheFileName(bad)) << bad.toStdString();
    for (const QString &good :
         {QStringLiteral("海の写真.jpg"), QStringLiteral("..jpg"), QStringLiteral(".hidden.png"),
          QStringLiteral("a\\b.jpg"), QStringLiteral("12.jpg"), QString(85, QChar(0x5199))})
        EXPECT_TRUE(IsUsableCacheFileName(good)) << good.toStdString();
}

TEST(AlbumLoadState, TraceNames)
{
    EXPECT_EQ(AlbumLoadStateName(0), QStringLiteral("NOTHING"));
    EXPECT_EQ(AlbumLoadStateName(NOW_LOADING_ALBUM), QStringLiteral("NOW_LOADING_ALBUM"));
    EXPECT_EQ(AlbumLoadStateName(LOAD_COMP_ALBUM), QStringLiteral("LOAD_COMP_ALBUM"));
    EXPECT_EQ(AlbumLoadStateName(DO_STOP_ALBUM), QStringLiteral("DO_STOP_ALBUM"));
    EXPECT_EQ(AlbumLoadStateName(STOPED_ALBUM), QStringLiteral("STOPED_ALBUM"));
}
