// End to end through the real window: plug-ins switched on with the folder dialog, then a
// folder with a picture in the test plug-in's format gets a thumbnail and a full-size preview,
// also after plug-in use is switched off again; plug-ins get the file by its own name, and the
// extension decides which decoder is tried first.
#include "app/Unit1.h"
#include "platform/graphics/PictureFormats.h"
#include "platform/system/FileNames.h"
#include "platform/text/ShiftJis.h"
#include "platform/widgets/Action.h"
#include "platform/widgets/Image.h"
#include "platform/widgets/ImageList.h"
#include "platform/widgets/OwnerDataListView.h"
#include "platform/widgets/TabSet.h"
#include "spi/SPIBmp.h"
#include "spi/SPIs.h"
#include "tests/test_local_support.h"
#include "tests/test_spi_support.h"

#include <QBuffer>
#include <QFile>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    // The thumbnail of a listed file, converted for comparing.
    QImage thumbnail(const QString &name) const
    {
        const TPcImages &e = form->PcImages[size_t(entry(name))];
        EXPECT_TRUE(e.IsPicture) << name.toStdString();
        if (e.ImageIndex == -1)
            return {};
        return form->PcImageList->image(e.ImageIndex).convertToFormat(QImage::Format_RGB32);
    }
    // Double-clicks the entry and returns what the preview shows.
    QImage preview(const QString &name)
    {
        form->PcListView->ClearSelection();
        form->PcListView->setSelected(entry(name), true);
        form->PcListViewDblClick();
        EXPECT_EQ(form->DockTabSet1->TabIndex(), 2);
        const QImage shown = form->BigImage->Picture().convertToFormat(QImage::Format_RGB32);
        form->BigImageDblClick();
        return shown;
    }
};

// A file whose name is given as bytes, as a Windows medium may carry it.
void writeRawFile(const QString &dir, const QByteArray &name, const QByteArray &bytes)
{
    const QByteArray path = QFile::encodeName(dir) + '/' + name;
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
    ::close(fd);
}

QImage inverted(QImage picture)
{
    picture.invertPixels();
    return picture;
}

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

TEST_F(SpiWindow, PluginsReadTheFileByItsOwnNameAndNeverAPipeOrAVanishedFile)
{
    TestFolder plugins;
    plugins.addPlugin("testspi_byname", "byname.spi");     // knows "*.tsn" by the name alone
    plugins.addPlugin("testspi_fileonly", "fileonly.spi"); // reads "*.tsf" itself, by name
    dialogs->folders = {plugins.path()};
    form->ActSusiePlugin->Execute();
    ASSERT_TRUE(form->Spi);
    ASSERT_EQ(form->SPIs->Count(), 2);

    const QImage wide = PatternImage(200, 100);
    const QImage tall = PatternImage(60, 120);
    const QByteArray tallFile = TestPictureFile(MakeDib(tall, 24));
    const QString dir =
        makeFolder(QStringLiteral("byname"), {{"wide.tsn", TestPictureFile(MakeDib(wide, 24))},
                                              {"later.tsn", tallFile},
                                              {"gone.tsn", tallFile},
                                              {"huge.tsf", tallFile}});
    // Shift-JIS bytes, not UTF-8: the plug-in can open the file only by these very bytes.
    const QByteArray japanese = toShiftJis(QStringLiteral("写真.tsf"));
    writeRawFile(dir, japanese, tallFile);
    // More than 2 GiB, nearly all of it a hole: only the plug-in reads, and only its picture.
    ASSERT_EQ(::truncate(QFile::encodeName(dir + "/huge.tsf"), (off_t(1) << 31) + 4096), 0);

    form->resize(800, 600);
    form->show();
    listFolder(dir);
    ASSERT_EQ(form->PcImages.size(), 5u);
    // Between the listing and their turn one file becomes a pipe and one goes away. The
    // by-name plug-in would take the pipe by its name and block opening it.
    const QByteArray bytes = QFile::encodeName(dir);
    ASSERT_EQ(::unlink(bytes + "/later.tsn"), 0);
    ASSERT_EQ(::mkfifo(bytes + "/later.tsn", 0644), 0);
    ASSERT_EQ(::unlink(bytes + "/gone.tsn"), 0);
    drawRange(0, 4);

    // 200 x 100 is placed at 100 x 50 on white: rows 25 to 74.
    const QImage w = thumbnail("wide.tsn");
    ASSERT_EQ(w.size(), QSize(100, 100));
    EXPECT_EQ(w.pixel(50, 24), qRgb(255, 255, 255));
    EXPECT_NE(w.pixel(50, 25), qRgb(255, 255, 255));
    EXPECT_NE(w.pixel(50, 74), qRgb(255, 255, 255));
    EXPECT_EQ(w.pixel(50, 75), qRgb(255, 255, 255));
    const QString japaneseName = FileNameText(japanese);
    for (const QString &name : {QStringLiteral("huge.tsf"), japaneseName}) {
        SCOPED_TRACE(name.toStdString());
        const QImage t = thumbnail(name);
        ASSERT_EQ(t.size(), QSize(100, 100));
        EXPECT_EQ(t, thumbnail("huge.tsf"));
        EXPECT_EQ(t.pixel(5, 50), qRgb(255, 255, 255));
        EXPECT_NE(t.pixel(50, 50), qRgb(255, 255, 255));
    }
    for (const char *name : {"later.tsn", "gone.tsn"}) {
        const TPcImages &e = form->PcImages[size_t(entry(name))];
        EXPECT_FALSE(e.IsPicture) << name;
        EXPECT_EQ(e.ImageIndex, -1) << name;
    }
    // Silent: the only box was the folder dialog.
    EXPECT_EQ(dialogs->boxes.size(), 1u);

    EXPECT_EQ(preview(japaneseName), tall);
    EXPECT_EQ(preview(QStringLiteral("huge.tsf")), tall);
    EXPECT_EQ(preview(QStringLiteral("wide.tsn")), wide);
}

TEST_F(SpiWindow, TheExtensionDecidesWhichDecoderIsTriedFirst)
{
    TestFolder plugins;
    plugins.addPlugin("testspi_good", "1-good.spi");           // any test picture ("*.tsp")
    plugins.addPlugin("testspi_claim", "2-claim.spi");         // "*.tsd"
    plugins.addPlugin("testspi_claim_invert", "3-invert.spi"); // "*.tsd" too, loaded later
    plugins.addPlugin("testspi_bmp", "4-bmp.spi");             // BMP as "*.bmp;*.dib", inverted
    dialogs->folders = {plugins.path()};
    form->ActSusiePlugin->Execute();
    ASSERT_TRUE(form->Spi);
    ASSERT_EQ(form->SPIs->Count(), 4);
    ASSERT_EQ(FindGraphicClass("bmp"), &SPIBitmapClass());

    // Small enough to be drawn unscaled at (30, 35): the thumbnail holds its exact pixels.
    const QImage picture = PatternImage(40, 30);
    const QByteArray bmp = SavedAs(picture, "BMP");
    const QString dir =
        makeFolder(QStringLiteral("order"), {{"claimed.tsd", TestPictureFile(MakeDib(picture, 24))},
                                             {"photo.bmp", bmp},
                                             {"SHOUT.BMP", bmp},
                                             {"photo.dib", bmp}});
    form->resize(800, 600);
    form->show();
    listFolder(dir);
    ASSERT_EQ(form->PcImages.size(), 4u);
    drawRange(0, 3);

    const QRect place(30, 35, 40, 30);
    // Of the two plug-ins that claim the extension, the one loaded last decodes; the one that
    // takes any test picture but does not claim the extension comes after both.
    EXPECT_EQ(thumbnail("claimed.tsd").copy(place), inverted(picture));
    // A bitmap goes to the plain reader first, whatever the case of its extension, although a
    // plug-in registers "bmp"; the same bytes under another of its extensions go to it.
    EXPECT_EQ(thumbnail("photo.bmp").copy(place), picture);
    EXPECT_EQ(thumbnail("SHOUT.BMP").copy(place), picture);
    EXPECT_EQ(thumbnail("photo.dib").copy(place), inverted(picture));

    EXPECT_EQ(preview(QStringLiteral("claimed.tsd")), inverted(picture));
    EXPECT_EQ(preview(QStringLiteral("photo.bmp")), picture);
    EXPECT_EQ(preview(QStringLiteral("photo.dib")), inverted(picture));
}
