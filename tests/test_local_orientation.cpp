// Pictures shown as their makers meant them: a JPEG's EXIF orientation, all eight values
// written by other programs, turns its thumbnail and its preview upright, and the thumbnail is
// placed by the upright size.
#include "app/Unit1.h"
#include "platform/widgets/Image.h"
#include "platform/widgets/ImageList.h"
#include "platform/widgets/OwnerDataListView.h"
#include "platform/widgets/TabSet.h"
#include "test_graphics_support.h"
#include "tests/test_local_support.h"

TEST_F(LocalBrowser, EveryJpegOrientationIsShownUprightInTheThumbnailAndThePreview)
{
    // A landscape photo stays landscape for 1 to 4 and is stored on its side for 5 to 8: each
    // file holds 640 x 480 pixels, the upright picture is 640 x 480 or 480 x 640.
    std::vector<std::pair<QString, QByteArray>> files;
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const QSize upright = orientation <= 4 ? QSize(640, 480) : QSize(480, 640);
        files.push_back(
            {QStringLiteral("o%1.jpg").arg(orientation), TurnedJpeg(upright, orientation)});
    }
    const QString dir = makeFolder(QStringLiteral("turned"), files);
    form->resize(800, 600);
    form->show();
    listFolder(dir);
    ASSERT_EQ(form->PcImages.size(), 8u);
    drawRange(0, 7);

    for (int orientation = 1; orientation <= 8; ++orientation) {
        const QString name = QStringLiteral("o%1.jpg").arg(orientation);
        SCOPED_TRACE(name.toStdString());
        const TPcImages &e = form->PcImages[size_t(entry(name))];
        ASSERT_TRUE(e.IsPicture);
        ASSERT_NE(e.ImageIndex, -1);
        const QImage thumb = form->PcImageList->image(e.ImageIndex);
        // The thumbnail rows of 640 x 480 and 480 x 640.
        const QRect place = orientation <= 4 ? QRect(0, 13, 99, 74) : QRect(13, 0, 74, 99);
        EXPECT_TRUE(ShowsUprightScene(thumb, place));
        for (int y = 0; y < 100; ++y)
            for (int x = 0; x < 100; ++x)
                if (!place.contains(x, y)) {
                    ASSERT_EQ(thumb.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
                }

        form->PcListView->ClearSelection();
        form->PcListView->setSelected(entry(name), true);
        form->PcListViewDblClick();
        ASSERT_EQ(form->DockTabSet1->TabIndex(), 2);
        const QImage shown = form->BigImage->Picture();
        ASSERT_EQ(shown.size(), place.size() == QSize(99, 74) ? QSize(640, 480) : QSize(480, 640));
        EXPECT_TRUE(ShowsUprightScene(shown, shown.rect()));
        form->BigImageDblClick();
    }
}
