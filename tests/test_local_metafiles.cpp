// Metafiles in a local folder, through the real window: thumbnails with the geometry of the
// thumbnail table (played straight into the thumbnail's rectangle), the full-size preview,
// and a damaged metafile that loses its picture status.
#include "app/Unit1.h"
#include "platform/widgets/Image.h"
#include "platform/widgets/ImageList.h"
#include "platform/widgets/TabSet.h"
#include "tests/test_local_support.h"
#include "tests/test_metafile_support.h"

namespace
{
constexpr QRgb Red = qRgb(255, 0, 0), Blue = qRgb(0, 0, 255), White = qRgb(255, 255, 255);

// 640 x 480 pixels: a placeable WMF of 6400 x 4800 units at 960 a inch, filled with blue.
QByteArray blueWmf()
{
    WmfWriter w;
    w.Record(0x020C, {4800, 6400});
    w.Record(0x02FC, {0, 0, 0xFF, 0}).Record(0x012D, {0});
    w.Record(0x02FA, {5, 0, 0, 0, 0}).Record(0x012D, {1});
    w.Record(0x041B, {4800, 6400, 0, 0});
    return w.Placeable(QRect(0, 0, 6400, 4800), 960);
}

// 32 x 32 pixels: a frame of 8.47 mm, filled with red.
QByteArray redEmf()
{
    const QByteArray records = EmfRecord(39, Fields({1, 0, 0xFF, 0})) + EmfRecord(37, Fields({1})) +
                               EmfRecord(37, Fields({0x80000008})) +
                               EmfRecord(43, Fields({0, 0, 100, 100}));
    return EmfFile(records, 2, 847, 847);
}

// Expects the thumbnail to be that colour exactly inside rect and white elsewhere.
void expectThumbnail(const QImage &t, const QRect &rect, QRgb color, const char *what)
{
    ASSERT_EQ(t.size(), QSize(100, 100)) << what;
    int wrong = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x)
            wrong +=
                (t.pixel(x, y) & 0xFFFFFF) != ((rect.contains(x, y) ? color : White) & 0xFFFFFF);
    EXPECT_EQ(wrong, 0) << what;
}
} // namespace

TEST_F(LocalBrowser, MetafilesGetThumbnailsOfTheTableGeometryAndOpenAtFullSize)
{
    QByteArray damaged = redEmf();
    damaged[41] = 'X'; // the signature
    const QString dir =
        makeFolder(QStringLiteral("metafiles"), {{QStringLiteral("blue.wmf"), blueWmf()},
                                                 {QStringLiteral("red.EMF"), redEmf()},
                                                 {QStringLiteral("damaged.emf"), damaged}});
    form->resize(800, 600);
    form->show();
    listFolder(dir);
    ASSERT_EQ(form->PcImages.size(), 3u);
    EXPECT_EQ(drawRange(0, 2), 3);

    const TPcImages &wmf = form->PcImages[size_t(entry(QStringLiteral("blue.wmf")))];
    const TPcImages &emf = form->PcImages[size_t(entry(QStringLiteral("red.EMF")))];
    const TPcImages &bad = form->PcImages[size_t(entry(QStringLiteral("damaged.emf")))];
    ASSERT_TRUE(wmf.IsPicture && emf.IsPicture);
    ASSERT_NE(wmf.ImageIndex, -1);
    ASSERT_NE(emf.ImageIndex, -1);
    // 640 x 480 gives 99 x 74 at 0, 13; 32 x 32 is drawn unscaled at 34, 34.
    expectThumbnail(form->PcImageList->image(wmf.ImageIndex), QRect(0, 13, 99, 74), Blue, "wmf");
    expectThumbnail(form->PcImageList->image(emf.ImageIndex), QRect(34, 34, 32, 32), Red, "emf");
    EXPECT_FALSE(bad.IsPicture);
    EXPECT_EQ(bad.ImageIndex, -1);

    form->PcShowBigImage(entry(QStringLiteral("blue.wmf")));
    EXPECT_EQ(form->DockTabSet1->TabIndex(), 2);
    ASSERT_EQ(form->BigImage->Picture().size(), QSize(640, 480));
    EXPECT_EQ(form->BigImage->size(), QSize(640, 480));
    EXPECT_EQ(form->BigImage->Picture().pixel(0, 0), qRgb(0, 0, 255));
    EXPECT_EQ(form->BigImage->Picture().pixel(639, 479), qRgb(0, 0, 255));
    form->PcShowBigImage(entry(QStringLiteral("red.EMF")));
    EXPECT_EQ(form->BigImage->Picture().size(), QSize(32, 32));
    EXPECT_EQ(form->BigImage->Picture().pixel(16, 16), qRgb(255, 0, 0));
}
