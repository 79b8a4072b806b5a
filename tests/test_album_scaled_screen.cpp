// Album thumbnails on a screen of pixel ratio 2. ctest runs this suite in processes of its own
// with QT_SCALE_FACTOR=2 (tests/CMakeLists.txt); at any other ratio it is skipped.
#include "platform/widgets/ImageList.h"
#include "platform/widgets/OwnerDataListView.h"
#include "tests/test_album_support.h"

#include <QFile>
#include <QGuiApplication>

class ScaledScreenAlbum : public AlbumFixture
{
protected:
    ScaledScreenAlbum() { needsTestHooks = true; }
};

TEST_F(ScaledScreenAlbum, ThumbnailsMadeAtAnotherRatioAreMadeAgainWhenTheListShowsThem)
{
    if (qGuiApp->devicePixelRatio() != 2)
        GTEST_SKIP() << "needs a screen of pixel ratio 2 (QT_SCALE_FACTOR=2)";
    loadFolders(Records({{"OK"}, {"12", "0", "A"}}));
    svc().reset();
    cannedPictures(Records({{"1", "101", "a.jpg"}}), JpegBytes(60, 40, qRgb(200, 30, 30)));
    listFolder(0);
    ASSERT_EQ(form->PictureTable.size(), 1u);
    const int slot = form->PictureTable[0].ImageIndex;
    const QImage made = form->AlbumImageList->image(slot);
    ASSERT_EQ(made.devicePixelRatio(), 2.0);
    ASSERT_EQ(made.size(), QSize(200, 200));

    // As if the window had come from a plain screen: the slot holds a picture of ratio 1.
    QImage plain(100, 100, QImage::Format_RGB32);
    plain.fill(Qt::white);
    form->AlbumImageList->Replace(slot, plain);
    QString caption;
    int image = -1;
    form->AlbumListViewData(0, caption, image);
    EXPECT_EQ(image, slot);
    EXPECT_EQ(form->AlbumImageList->image(slot), made);

    // A cached file gone meanwhile leaves the slot as it was, without a word.
    form->AlbumImageList->Replace(slot, plain);
    for (const QString &name : cacheFiles())
        QFile::remove(form->CacheFolder + QLatin1Char('/') + name);
    form->AlbumListViewData(0, caption, image);
    EXPECT_EQ(form->AlbumImageList->image(slot).devicePixelRatio(), 1.0);
}
