// End to end through the real window: plug-ins switched on with the folder dialog, then a
// folder with a picture in the test plug-in's format gets a thumbnail and a full-size preview,
// also after plug-in use is switched off again.
#include "app/Unit1.h"
#include "platform/Action.h"
#include "platform/Image.h"
#include "platform/ImageList.h"
#include "platform/OwnerDataListView.h"
#include "platform/PictureFormats.h"
#include "platform/TabSet.h"
#include "spi/SPIBmp.h"
#include "tests/test_local_support.h"
#include "tests/test_spi_support.h"

namespace
{
class SpiWindow : public LocalBrowser
{
protected:
    void TearDown() override
    {
        LocalBrowser::TearDown();
        UnregisterGraphicClass(SPIBitmapClass());
    }
};
} // namespace

TEST_F(SpiWindow, APluginPictureGetsAThumbnailAndAPreview)
{
    TestFolder plugins;
    plugins.addPlugin("testspi_good", "good.spi");
    dialogs->folders = {plugins.path()};
    form->ActSusiePlugin->Execute();
    ASSERT_TRUE(form->Spi);

    const QImage wide = PatternImage(200, 100);
    const QString dir = makeFolder(
        QStringLiteral("spi"),
        {{QStringLiteral("wide.tsp"), TestPictureFile(MakeDib(wide, 24))},
         {QStringLiteral("palette.tsp"), TestPictureFile(MakeDib(PatternImage(50, 40, 16), 4))},
         {QStringLiteral("broken.tsp"), QByteArray("TVSPIPIC") + QByteArray(40, '\xff')}});
    form->resize(800, 600);
    form->show();
    listFolder(dir);
    ASSERT_EQ(form->PcImages.size(), 3u);
    drawRange(0, 2);

    const TPcImages &w = form->PcImages[size_t(entry("wide.tsp"))];
    ASSERT_TRUE(w.IsPicture);
    ASSERT_NE(w.ImageIndex, -1);
    const QImage thumb = form->PcImageList->image(w.ImageIndex);
    ASSERT_EQ(thumb.size(), QSize(100, 100));
    // 200 x 100 becomes 100 x 50 on white, centred: rows 25 to 74.
    EXPECT_EQ(thumb.pixel(50, 10), qRgb(255, 255, 255));
    EXPECT_EQ(thumb.pixel(50, 90), qRgb(255, 255, 255));
    EXPECT_NE(thumb.pixel(50, 50), qRgb(255, 255, 255));
    EXPECT_TRUE(form->PcImages[size_t(entry("palette.tsp"))].IsPicture);
    EXPECT_FALSE(form->PcImages[size_t(entry("broken.tsp"))].IsPicture);

    // Switched off, the format still loads for the rest of the run.
    form->ActSusiePlugin->Execute();
    ASSERT_FALSE(form->Spi);
    form->PcListView->setSelected(entry("wide.tsp"), true);
    form->PcListViewDblClick();
    EXPECT_EQ(form->DockTabSet1->TabIndex(), 2);
    const QImage shown = form->BigImage->Picture().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(shown.size(), QSize(200, 100));
    EXPECT_EQ(shown, wide);
}
