// Thumbnails on a screen of pixel ratio 2. ctest runs this suite in processes of its own with
// QT_SCALE_FACTOR=2 (tests/CMakeLists.txt); at any other ratio it is skipped.
#include "app/Unit1.h"
#include "app/WindowIndexes.h"
#include "localbrowser/ThumbnailGeometry.h"
#include "platform/widgets/ImageList.h"
#include "platform/widgets/OwnerDataListView.h"
#include "tests/support/ThumbnailSteps.h"
#include "tests/test_local_support.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPixmap>
#include <QToolBar>

namespace
{
// Columns alternating black and white: any enlargement of a smaller copy smears them.
QImage columns(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, x % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
    return image;
}

// The picture's pixels alone, whatever density it says it has.
QImage pixels(QImage image)
{
    image.setDevicePixelRatio(1);
    return image.convertToFormat(QImage::Format_RGB32);
}

// The longest run of horizontally alternating black and white pixels in any row.
int longestAlternation(const QImage &image)
{
    int best = 0;
    for (int y = 0; y < image.height(); ++y) {
        int run = 0;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y) & 0xffffff;
            const bool plain = c == 0 || c == 0xffffff;
            const bool alternates = x > 0 && c != (image.pixel(x - 1, y) & 0xffffff);
            run = plain ? (alternates && run > 0 ? run + 1 : 1) : 0;
            best = std::max(best, run);
        }
    }
    return best;
}
} // namespace

class ScaledScreen : public LocalBrowser
{
};

TEST_F(ScaledScreen, ThumbnailSlotsHoldTwiceTheLayoutRectangleDrawnFromThePicture)
{
    if (qGuiApp->devicePixelRatio() != 2)
        GTEST_SKIP() << "needs a screen of pixel ratio 2 (QT_SCALE_FACTOR=2)";
    const QImage detail = columns(200, 200);
    const QString dir =
        makeFolder(QStringLiteral("scaled"),
                   {{QStringLiteral("a_red.jpg"), JpegBytes(640, 480, qRgb(255, 0, 0))},
                    {QStringLiteral("b_columns.bmp"), SavedAs(detail, "BMP")},
                    {QStringLiteral("c_icon.ico"), IcoBytes(32, 32, qRgb(0, 0, 255))}});
    listFolder(dir);
    ASSERT_EQ(form->PcImages.size(), 3u);
    EXPECT_EQ(drawRange(0, 2), 3);
    auto slotOf = [&](const char *name) {
        const int at = form->PcImages[size_t(entry(QString::fromLatin1(name)))].ImageIndex;
        EXPECT_GE(at, 3) << name;
        return at < 0 ? QImage() : form->PcImageList->image(at);
    };

    // 640 x 480: the layout's 99 x 74 at (0, 13) becomes 198 x 148 at (0, 26) of a 200 x 200
    // square that the list lays out at 100 x 100.
    const QImage red = slotOf("a_red.jpg");
    ASSERT_EQ(red.size(), QSize(200, 200));
    EXPECT_EQ(red.devicePixelRatio(), 2.0);
    EXPECT_EQ(red.deviceIndependentSize(), QSizeF(100, 100));
    const QRect device = ScaledToDevice(ThumbnailPlacement(640, 480).Rect, 2);
    EXPECT_EQ(device, QRect(0, 26, 198, 148));
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
            const QRgb c = red.pixel(x, y);
            if (device.contains(x, y))
                ASSERT_TRUE(qRed(c) > 240 && qGreen(c) < 16 && qBlue(c) < 16) << x << "," << y;
            else
                ASSERT_EQ(c, qRgb(255, 255, 255)) << x << "," << y;
        }

    // 200 x 200 goes to 100 x 100 in the layout, so 200 x 200 on this screen: the picture
    // itself, pixel for pixel, not a 100 x 100 copy enlarged.
    const QImage sharp = slotOf("b_columns.bmp");
    EXPECT_EQ(pixels(sharp), detail);

    // A picture smaller than the square keeps its layout place (34, 34) and size, in twice
    // the pixels.
    const QImage icon = slotOf("c_icon.ico");
    ASSERT_EQ(icon.size(), QSize(200, 200));
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 200; ++x) {
            const QRgb expected =
                QRect(68, 68, 64, 64).contains(x, y) ? qRgb(0, 0, 255) : qRgb(255, 255, 255);
            ASSERT_EQ(icon.pixel(x, y), expected) << x << "," << y;
        }

    // The list draws the slot at 100 x 100 in its layout with every pixel of it.
    form->PcListView->resize(400, 300);
    const QImage shown = form->PcListView->grab().toImage();
    EXPECT_EQ(shown.devicePixelRatio(), 2.0);
    EXPECT_GE(longestAlternation(shown), 200);
    const QPixmap decoration =
        form->PcListView->QListView::model()->index(1, 0).data(Qt::DecorationRole).value<QPixmap>();
    EXPECT_EQ(decoration.deviceIndependentSize(), QSizeF(100, 100));

    // Thumbnails made on a screen of another ratio are made again at this one when their
    // entries are on screen: one per tick, each in its own slot with its stamp kept.
    const int columnsEntry = entry(QStringLiteral("b_columns.bmp"));
    const int iconEntry = entry(QStringLiteral("c_icon.ico"));
    const int columnsSlot = form->PcImages[size_t(columnsEntry)].ImageIndex;
    const int iconSlot = form->PcImages[size_t(iconEntry)].ImageIndex;
    const int32_t columnsStamp = form->PcImgCache.Find(columnsEntry)->Stamp;
    QImage plain(100, 100, QImage::Format_RGB32);
    plain.fill(Qt::gray);
    form->PcImageList->Replace(columnsSlot, plain);
    form->PcImageList->Replace(iconSlot, plain);
    DrawStep(*form);
    EXPECT_EQ(pixels(form->PcImageList->image(columnsSlot)), detail);
    EXPECT_EQ(form->PcImageList->image(iconSlot).devicePixelRatio(), 1.0) << "one per tick";
    DrawStep(*form);
    EXPECT_EQ(form->PcImageList->image(iconSlot).devicePixelRatio(), 2.0);
    EXPECT_EQ(form->PcImages[size_t(columnsEntry)].ImageIndex, columnsSlot);
    EXPECT_EQ(form->PcImages[size_t(iconEntry)].ImageIndex, iconSlot);
    EXPECT_EQ(form->PcImgCache.Find(columnsEntry)->Stamp, columnsStamp);
    EXPECT_EQ(form->PcImgCache.Count(), 3);
    EXPECT_EQ(form->PcImgCache.MaxStamp(), 3);
    form->PcImageList->Replace(columnsSlot, plain);
    form->PcListViewDataHint(2, 2);
    DrawStep(*form);
    EXPECT_EQ(form->PcImageList->image(columnsSlot).devicePixelRatio(), 1.0)
        << "an entry off screen keeps its thumbnail until it comes back";
}

TEST_F(ScaledScreen, ToolBarIconsKeepTheirLayoutSizeAndShowTheDoubleDensityPicture)
{
    if (qGuiApp->devicePixelRatio() != 2)
        GTEST_SKIP() << "needs a screen of pixel ratio 2 (QT_SCALE_FACTOR=2)";
    QToolBar *bar = form->PcActionToolBar;
    ASSERT_FALSE(bar->actions().isEmpty());
    const QIcon icon = bar->actions().first()->icon();
    const QSize slot = bar->iconSize();
    const QImage doubled = pixels(form->IconImageList->image(IconIndex::AddPrint, 2));
    ASSERT_EQ(doubled.size(), QSize(32, 32));

    // The slot in device pixels, with the 32 x 32 picture unscaled in its centre: Qt then lays
    // it out at the slot's size, and the picture at its own 16 x 16.
    const QPixmap shown = icon.pixmap(slot, 2.0);
    EXPECT_EQ(shown.devicePixelRatio(), 2.0);
    ASSERT_EQ(shown.size(), slot * 2);
    const QImage drawn = shown.toImage().convertToFormat(QImage::Format_ARGB32);
    const QPoint at((drawn.width() - 32) / 2, (drawn.height() - 32) / 2);
    EXPECT_EQ(pixels(drawn.copy(QRect(at, QSize(32, 32)))), doubled);
    EXPECT_EQ(qAlpha(drawn.pixel(0, 0)), 0);

    // Without a scaled screen the plain picture stands as before.
    EXPECT_EQ(icon.pixmap(slot, 1.0).size(), QSize(16, 16));
}
