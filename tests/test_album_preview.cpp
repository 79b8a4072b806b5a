// The album preview against the stand-in service: the full-size picture is downloaded into
// the cache folder, shown, and deleted; names that would leave the folder are refused.
#include "platform/widgets/Image.h"
#include "platform/widgets/ImageList.h"
#include "platform/widgets/OwnerDataListView.h"
#include "platform/widgets/TabSet.h"
#include "test_graphics_support.h"
#include "tests/test_album_support.h"

#include <QDir>
#include <QFile>
#include <QTreeWidget>

namespace
{
const QString OpenError =
    QStringLiteral("ファイルが開けませんでした。\r\nファイルの形式を確認してみてください。");
}

// Every picture here comes from canned replies.
class AlbumPreview : public AlbumFixture
{
protected:
    AlbumPreview() { needsTestHooks = true; }
    void SetUp() override
    {
        AlbumFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        loadFolders(Records({{"OK"}, {"12", "0", "A"}}));
        svc().reset();
    }
    // Lists folder A with these records, every thumbnail a small JPEG.
    void list(const std::vector<QStringList> &records)
    {
        svc().reset();
        cannedPictures(Records(records), JpegBytes(30, 30, qRgb(0, 200, 0)));
        form->AlbumTreeView->clearSelection();
        listFolder(1);
        svc().reset();
    }
    void bigReply(const QByteArray &body, int status = 200)
    {
        svc().cannedReply(imagePath(), body, status);
    }
};

TEST_F(AlbumPreview, NothingSelectedDoesNothing)
{
    list({{"1", "7", "a.jpg"}});
    form->AlbumListView->ClearSelection();
    form->AlbumListView->OnDblClick();
    EXPECT_EQ(form->DockTabSet1->TabIndex(), 3);
    EXPECT_TRUE(svc().requests().isEmpty());
}

TEST_F(AlbumPreview, FirstSelectedInListOrderIsShownAndItsFileDeleted)
{
    list({{"1", "7", "海の写真.jpg"}, {"1", "8", "b.jpg"}, {"1", "9", "c.jpg"}});
    form->AlbumListView->setSelected(2, true);
    form->AlbumListView->setSelected(1, true);
    bigReply(JpegBytes(640, 480, qRgb(10, 10, 250)));
    form->AlbumListView->OnDblClick();
    EXPECT_EQ(form->DockTabSet1->TabIndex(), 2);
    EXPECT_TRUE(form->BigImageView->isVisibleTo(form));
    EXPECT_EQ(form->BigImage->Picture().size(), QSize(640, 480));
    EXPECT_EQ(form->LastView, 3);
    const QList<RecordedRequest> sent = requestsTo(imagePath());
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0].queryRaw, QByteArray("mode=big&id=8"));
    EXPECT_EQ(cacheFiles(), (QStringList{"7.jpg", "8.jpg", "9.jpg"}));
    EXPECT_TRUE(dialogs->texts().empty());

    // A Japanese name is a file name like any other.
    form->AlbumListView->ClearSelection();
    form->AlbumListView->setSelected(0, true);
    bigReply(JpegBytes(50, 70, qRgb(250, 10, 10)));
    form->AlbumListView->OnDblClick();
    EXPECT_EQ(form->BigImage->Picture().size(), QSize(50, 70));
    EXPECT_EQ(cacheFiles(), (QStringList{"7.jpg", "8.jpg", "9.jpg"}));
}

TEST_F(AlbumPreview, ANameLikeAnotherThumbnailOverwritesItAndItIsFetchedAgain)
{
    list({{"1", "7", "8.jpg"}, {"1", "8", "b.jpg"}});
    ASSERT_TRUE(QFile::exists(form->CacheFolder + "/8.jpg"));
    bigReply(JpegBytes(200, 100, qRgb(100, 100, 100)));
    form->AlbumShowBigImage(0);
    EXPECT_EQ(form->BigImage->Picture().size(), QSize(200, 100));
    EXPECT_EQ(cacheFiles(), QStringList{"7.jpg"});

    form->DockTabSet1->setTabIndex(3);
    list({{"1", "7", "8.jpg"}, {"1", "8", "b.jpg"}});
    EXPECT_EQ(form->PictureTable.size(), 2u);
    EXPECT_EQ(cacheFiles(), (QStringList{"7.jpg", "8.jpg"}));
}

TEST_F(AlbumPreview, LyingOrUnknownExtensionShowsTheMessageAndLeavesNoFile)
{
    list({{"1", "7", "photo.bmp"}, {"1", "8", "photo.txt"}, {"1", "9", "broken.jpg"}});
    form->BigImage->setPicture(QImage(5, 5, QImage::Format_RGB32));
    const QByteArray jpeg = JpegBytes(40, 40, qRgb(1, 2, 3));
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        bigReply(i == 2 ? QByteArray("\xff\xd8\xff\xe0 not a picture") : jpeg);
        form->AlbumShowBigImage(i);
        ASSERT_EQ(dialogs->texts().size(), size_t(i + 1));
        EXPECT_EQ(dialogs->texts().back(), OpenError);
        EXPECT_EQ(form->BigImage->Picture().size(), QSize(5, 5));
        EXPECT_EQ(form->DockTabSet1->TabIndex(), 2);
        EXPECT_EQ(cacheFiles(), (QStringList{"7.jpg", "8.jpg", "9.jpg"}));
    }
}

TEST_F(AlbumPreview, HostileNamesAreNoFileNames)
{
    QByteArray nul = "a";
    nul.append('\0');
    nul.append(".jpg");
    list({{"1", "7", ".."},
          {"1", "8", "../../escaped.jpg"},
          {"1", "9", "."},
          {"1", "10", "", "x"},
          {"1", "11", "sub/x.jpg"},
          {"1", "12", QString::fromLatin1(nul)}});
    ASSERT_EQ(form->PictureTable.size(), 6u);
    EXPECT_EQ(form->PictureTable[5].Name.size(), 6);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(form->PictureTable[static_cast<size_t>(i)].Name.toStdString());
        bigReply(JpegBytes(40, 40, qRgb(1, 2, 3)));
        form->AlbumShowBigImage(i);
        ASSERT_EQ(dialogs->texts().size(), size_t(i + 1));
        EXPECT_EQ(dialogs->texts().back(), OpenError);
        svc().reset();
    }
    EXPECT_EQ(cacheFiles(), (QStringList{"10.jpg", "11.jpg", "12.jpg", "7.jpg", "8.jpg", "9.jpg"}));
    EXPECT_FALSE(QFile::exists(form->DataFolder + "escaped.jpg"));
    EXPECT_FALSE(QFile::exists(dataFolder() + "../escaped.jpg"));
    EXPECT_TRUE(QDir(form->DataFolder).entryList({"*.jpg"}, QDir::Files).isEmpty());
    EXPECT_TRUE(QDir(form->CacheFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_TRUE(svc().requests().isEmpty());
}

TEST_F(AlbumPreview, AFailedDownloadKeepsThePreviousPictureSilently)
{
    list({{"1", "7", "a.jpg"}});
    form->BigImage->setPicture(QImage(6, 4, QImage::Format_RGB32));
    bigReply("NG", 404);
    form->AlbumShowBigImage(0);
    EXPECT_EQ(form->DockTabSet1->TabIndex(), 2);
    EXPECT_EQ(form->BigImage->Picture().size(), QSize(6, 4));
    EXPECT_TRUE(dialogs->texts().empty());
    EXPECT_EQ(cacheFiles(), QStringList{"7.jpg"});

    CannedReply cut;
    cut.path = imagePath();
    cut.body = JpegBytes(300, 300, qRgb(9, 9, 9));
    cut.closeMid = true;
    svc().cannedReply(cut);
    form->AlbumShowBigImage(0);
    EXPECT_EQ(form->BigImage->Picture().size(), QSize(6, 4));
    EXPECT_EQ(cacheFiles(), QStringList{"7.jpg"});
}

class AlbumSeeded : public AlbumFixture
{
protected:
    void SetUp() override
    {
        serviceArguments = {QStringLiteral("--seed-demo-album")};
        AlbumFixture::SetUp();
    }
};

TEST_F(AlbumSeeded, TheDemoAlbumEndToEnd)
{
    // The real replies of the stand-in: nested folders, thumbnails, a full-size picture.
    form->AlbumFolderLoad();
    ASSERT_TRUE(form->AlbumLoaded);
    if (!svc().hooksAvailable() && form->FolderTable.size() <= 2)
        GTEST_SKIP() << "the service's demo account has no album of nested folders (start "
                        "tovela-service with --seed-demo-album)";
    ASSERT_GT(form->FolderTable.size(), 2u);
    int listed = -1;
    for (int k = 0; k < static_cast<int>(form->FolderTable.size()) && listed < 0; ++k) {
        form->AlbumTreeView->clearSelection();
        listFolder(k);
        if (!form->PictureTable.empty())
            listed = k;
    }
    ASSERT_GE(listed, 0);
    const QString out = qEnvironmentVariable("TOVELA_RENDER_DIR");
    if (!out.isEmpty()) {
        form->resize(800, 520);
        form->show();
        form->DockTabSet1->setTabIndex(3);
        pump(50);
        form->grab().save(out + QStringLiteral("/album.png"));
    }
    const QStringList thumbs = cacheFiles();
    EXPECT_EQ(thumbs.size(), static_cast<int>(form->PictureTable.size()));
    for (int i = 0; i < static_cast<int>(form->PictureTable.size()); ++i) {
        form->DockTabSet1->setTabIndex(3);
        form->AlbumShowBigImage(i);
        EXPECT_EQ(cacheFiles(), thumbs);
    }
    EXPECT_FALSE(form->BigImage->Picture().isNull());
}

TEST_F(AlbumPreview, ANameTooLongForTheFileSystemShowsTheMessage)
{
    const QString name = QString(300, QLatin1Char('a')) + QStringLiteral(".jpg");
    list({{"1", "7", name}});
    ASSERT_EQ(form->PictureTable.size(), 1u);
    bigReply(JpegBytes(40, 40, qRgb(1, 2, 3)));
    form->AlbumShowBigImage(0);
    ASSERT_EQ(dialogs->texts().size(), 1u);
    EXPECT_EQ(dialogs->texts().back(), OpenError);
    EXPECT_EQ(cacheFiles(), QStringList{"7.jpg"});
}

TEST_F(AlbumPreview, APictureStoredTurnedIsShownUpright)
{
    // A service that keeps the EXIF block in its thumbnails: the thumbnail, 64 x 48 as stored,
    // is centred as the 48 x 64 it is upright.
    svc().reset();
    cannedPictures(Records({{"1", "7", "portrait.jpg"}}), TurnedJpeg(QSize(48, 64), 6));
    form->AlbumTreeView->clearSelection();
    listFolder(1);
    ASSERT_EQ(form->PictureTable.size(), 1u);
    const QImage thumb = form->AlbumImageList->image(form->PictureTable[0].ImageIndex);
    EXPECT_TRUE(ShowsUprightScene(thumb, QRect(26, 18, 48, 64)));
    EXPECT_EQ(thumb.pixel(10, 50), qRgb(255, 255, 255));

    svc().reset();
    bigReply(TurnedJpeg(QSize(480, 640), 6));
    form->AlbumShowBigImage(0);
    const QImage shown = form->BigImage->Picture();
    ASSERT_EQ(shown.size(), QSize(480, 640));
    EXPECT_TRUE(ShowsUprightScene(shown, shown.rect()));
    EXPECT_TRUE(dialogs->texts().empty());
}
