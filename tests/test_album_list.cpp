// The album picture list against the stand-in service: the records, the cached thumbnails,
// the four load states driven through StopTimer, the stop-and-reload rule and bad input.
#include "album/AlbumLoadState.h"
#include "platform/base/Timer.h"
#include "platform/widgets/ImageList.h"
#include "platform/widgets/OwnerDataListView.h"
#include "platform/widgets/TabSet.h"
#include "tests/test_album_support.h"

#include <QCoreApplication>
#include <QFile>
#include <QProgressBar>
#include <QTimer>
#include <QTreeWidget>

// Every folder here is listed from canned replies.
class AlbumList : public AlbumCannedFolders
{
protected:
    const QByteArray jpeg = JpegBytes(60, 40, qRgb(200, 30, 30));
};

TEST_F(AlbumList, ListsPicturesWithThumbnailsCachedOnceAndTypeZeroLeavesNoGap)
{
    cannedPictures(
        Records({{"1", "101", "海の写真.jpg"}, {"0", "102", "folder"}, {"1", "103", "b.png"}}),
        jpeg);
    TraceCapture trace;
    listFolder(1);
    EXPECT_EQ(PictureIds(*form), (std::vector<qint32>{101, 103}));
    EXPECT_EQ(captions(), (QStringList{"海の写真.jpg", "b.png"}));
    EXPECT_EQ(form->PictureTable[0].ImageIndex, 3);
    EXPECT_EQ(form->PictureTable[1].ImageIndex, 4);
    EXPECT_EQ(form->AlbumImageList->Count(), 5);
    // The 60 x 40 picture sits in the middle of white.
    const QImage &t = form->AlbumImageList->image(3);
    EXPECT_EQ(t.pixel(5, 5), qRgb(255, 255, 255));
    EXPECT_GT(qRed(t.pixel(50, 50)), 150);
    EXPECT_LT(qGreen(t.pixel(50, 50)), 90);
    EXPECT_EQ(cacheFiles(), (QStringList{"101.jpg", "103.jpg"}));
    EXPECT_EQ(form->AlbumLoadState, STOPED_ALBUM);
    EXPECT_FALSE(form->StopTimer->Enabled());
    EXPECT_FALSE(form->Gauge1->isVisible());
    EXPECT_EQ(form->Gauge1->value(), 100);
    EXPECT_EQ(trace.Count(QStringLiteral("STOPED_ALBUM")), 1);
    EXPECT_EQ(trace.Count(QStringLiteral("Album Load Repeat?")), 1);
    EXPECT_EQ(trace.Count(QStringLiteral("101")), 1);

    const QList<RecordedRequest> list = requestsTo(folderPath());
    ASSERT_EQ(list.size(), 1);
    EXPECT_EQ(list[0].queryRaw, QByteArray("mode=img&id=12"));
    const QList<RecordedRequest> thumbs = requestsTo(imagePath());
    ASSERT_EQ(thumbs.size(), 2);
    EXPECT_EQ(thumbs[0].queryRaw, QByteArray("mode=small&id=101"));
    EXPECT_EQ(thumbs[1].queryRaw, QByteArray("mode=small&id=103"));

    // The second listing of the same folder sends only the list request.
    svc().reset();
    cannedPictures(
        Records({{"1", "101", "海の写真.jpg"}, {"0", "102", "folder"}, {"1", "103", "b.png"}}));
    form->AlbumTreeView->clearSelection();
    listFolder(1);
    EXPECT_EQ(PictureIds(*form), (std::vector<qint32>{101, 103}));
    EXPECT_EQ(svc().requests().size(), 1);
}

TEST_F(AlbumList, AWordAsFirstLineListsNothingOneLineShowsNoProgress)
{
    cannedPictures(Records({{"OK", "2"}, {"1", "5", "a.jpg"}}), jpeg);
    listFolder(0);
    EXPECT_TRUE(form->PictureTable.empty());
    EXPECT_EQ(form->AlbumListView->ItemsCount(), 0);
    EXPECT_TRUE(requestsTo(imagePath()).isEmpty());
    EXPECT_EQ(form->AlbumLoadState, STOPED_ALBUM);
    EXPECT_EQ(form->AlbumImageList->Count(), 3); // the three stock pictures

    form->AlbumTreeView->clearSelection();
    cannedPictures(Records({{"1", "7", "a.jpg"}}), jpeg);
    listFolder(2);
    EXPECT_EQ(PictureIds(*form), std::vector<qint32>{7});
    EXPECT_EQ(form->Gauge1->value(), 0);
    EXPECT_EQ(requestsTo(folderPath()).back().queryRaw, QByteArray("mode=img&id=15"));
}

TEST_F(AlbumList, PickingBWhileALoadsSkipsTheRestOfAAndListsBOnTheNextTick)
{
    svc().cannedReply(
        folderPath(),
        Records({{"1", "201", "a1.jpg"}, {"1", "202", "a2.jpg"}, {"1", "203", "a3.jpg"}}));
    svc().cannedReply(folderPath(), Records({{"1", "301", "b1.jpg"}}));
    CannedReply thumbs;
    thumbs.path = imagePath();
    thumbs.body = jpeg;
    thumbs.count = 0;
    svc().cannedReply(thumbs);

    QTreeWidgetItem *a = form->AlbumTreeView->topLevelItem(0)->child(0);
    QTreeWidgetItem *b = a->child(0);
    form->AlbumTreeView->setCurrentItem(a);
    // The pick of B arrives while A's first line processes pending messages (the requests
    // before it process them too, so the pick waits for the first picture to be listed).
    QTimer pick;
    QObject::connect(&pick, &QTimer::timeout, form, [&] {
        if (form->PictureTable.size() == 1 && form->AlbumTreeView->currentItem() != b)
            form->AlbumTreeView->setCurrentItem(b);
    });
    pick.start(0);
    TraceCapture trace;
    form->StopTimerExecute();
    EXPECT_EQ(PictureIds(*form), std::vector<qint32>{201});
    EXPECT_EQ(trace.Count(QStringLiteral("Stoping ALBUM Loading")), 2);
    EXPECT_EQ(form->AlbumLoadState, STOPED_ALBUM);
    EXPECT_TRUE(form->StopTimer->Enabled());
    EXPECT_EQ(trace.Count(QStringLiteral("Album Load Repeat?")), 0);

    form->StopTimerExecute();
    EXPECT_EQ(PictureIds(*form), std::vector<qint32>{301});
    EXPECT_FALSE(form->StopTimer->Enabled());
    QList<QByteArray> asked;
    for (const RecordedRequest &r : requestsTo(imagePath()))
        asked << r.queryRaw;
    EXPECT_EQ(asked, (QList<QByteArray>{"mode=small&id=201", "mode=small&id=301"}));
}

TEST_F(AlbumList, OnlyOnTheAlbumTabAndNotWhileALoadRuns)
{
    // The test drives every tick by hand. The real 100 ms timer would add ticks of its own
    // whenever the listing processes messages on a slow machine, each with its trace lines.
    form->StopTimer->OnTimer = nullptr;
    cannedPictures(Records({{"1", "7", "a.jpg"}}), jpeg);
    form->AlbumTreeView->setCurrentItem(form->AlbumTreeView->topLevelItem(0));
    form->DockTabSet1->setTabIndex(0);
    TraceCapture trace;
    form->StopTimerExecute();
    EXPECT_TRUE(requestsTo(folderPath()).isEmpty());
    EXPECT_EQ(trace.Count(QStringLiteral("STOPED_ALBUM")), 1);
    form->DockTabSet1->setTabIndex(3);
    form->AlbumLoadState = NOW_LOADING_ALBUM;
    form->StopTimerExecute();
    EXPECT_TRUE(requestsTo(folderPath()).isEmpty());
    EXPECT_EQ(trace.Count(QStringLiteral("NOW_LOADING_ALBUM")), 1);
}

TEST_F(AlbumList, MalformedRecordsEndTheLoadAtTheirLine)
{
    const std::vector<QStringList> bad = {
        {"1", "x", "n"}, {"z", "1", "n"}, {"1", "5"}, {}, {"1", "-", "n"}};
    int round = 0;
    for (const QStringList &record : bad) {
        SCOPED_TRACE(record.join('|').toStdString());
        cannedPictures(Records({{"1", "7", "a.jpg"}, record, {"1", "8", "b.jpg"}}), jpeg);
        form->AlbumTreeView->clearSelection();
        listFolder(round++ % 3);
        EXPECT_EQ(PictureIds(*form), std::vector<qint32>{7});
        EXPECT_EQ(form->AlbumLoadState, STOPED_ALBUM);
        EXPECT_FALSE(form->Gauge1->isVisible());
        svc().reset();
    }
    // A type other than 1 needs no more fields.
    cannedPictures(Records({{"0"}, {"1", "8", "b.jpg"}}), jpeg);
    form->AlbumTreeView->clearSelection();
    listFolder(0);
    EXPECT_EQ(PictureIds(*form), std::vector<qint32>{8});
    EXPECT_EQ(cacheFiles(), (QStringList{"7.jpg", "8.jpg"}));
    EXPECT_TRUE(dialogs->texts().empty());
}

TEST_F(AlbumList, AThumbnailThatIsNoJpegEndsTheLoadAndIsFetchedAgainNextTime)
{
    svc().cannedReply(folderPath(), Records({{"1", "7", "a.jpg"}, {"1", "8", "b.jpg"}}));
    CannedReply garbage;
    garbage.path = imagePath();
    garbage.body = "<html>not a picture</html>";
    svc().cannedReply(garbage);
    listFolder(1);
    EXPECT_TRUE(form->PictureTable.empty());
    EXPECT_EQ(requestsTo(imagePath()).size(), 1);
    EXPECT_TRUE(cacheFiles().isEmpty());

    cannedPictures(Records({{"1", "7", "a.jpg"}, {"1", "8", "b.jpg"}}), jpeg);
    form->AlbumTreeView->clearSelection();
    listFolder(1);
    EXPECT_EQ(PictureIds(*form), (std::vector<qint32>{7, 8}));
    EXPECT_EQ(cacheFiles(), (QStringList{"7.jpg", "8.jpg"}));
}

TEST_F(AlbumList, AThumbnailThatCannotBeDownloadedPassesItsLineOver)
{
    svc().cannedReply(folderPath(),
                      Records({{"1", "7", "a.jpg"}, {"1", "8", "b.jpg"}, {"1", "9", "c.jpg"}}));
    svc().cannedReply(imagePath(), "missing", 404);
    CannedReply cut;
    cut.path = imagePath();
    cut.body = jpeg;
    cut.closeMid = true;
    svc().cannedReply(cut);
    svc().cannedReply(imagePath(), jpeg);
    listFolder(1);
    EXPECT_EQ(PictureIds(*form), std::vector<qint32>{9});
    // Only complete downloads are in the cache folder.
    EXPECT_EQ(cacheFiles(), QStringList{"9.jpg"});
    EXPECT_TRUE(dialogs->texts().empty());
}

TEST_F(AlbumList, FailedOrCutListRequestsListNothing)
{
    svc().cannedReply(folderPath(), "no", 500);
    listFolder(1);
    EXPECT_TRUE(form->PictureTable.empty());
    EXPECT_EQ(form->AlbumLoadState, STOPED_ALBUM);
    EXPECT_FALSE(form->StopTimer->Enabled());

    CannedReply cut;
    cut.path = folderPath();
    cut.body = Records({{"1", "7", "a.jpg"}, {"1", "8", "b.jpg"}, {"1", "9", "c.jpg"}});
    cut.closeMid = true;
    svc().cannedReply(cut);
    form->AlbumTreeView->clearSelection();
    listFolder(2);
    EXPECT_TRUE(form->PictureTable.empty());
    EXPECT_TRUE(cacheFiles().isEmpty());
    EXPECT_EQ(form->AlbumLoadState, STOPED_ALBUM);
}

TEST_F(AlbumList, AStaleFileLeftInTheCacheIsDroppedNotKept)
{
    // A file that is no picture where a thumbnail belongs (say, a crash mid-write of an old
    // version): the load ends there once, and the next listing downloads it.
    QFile stale(form->CacheFolder + QStringLiteral("/7.jpg"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("\xff\xd8\xff");
    stale.close();
    cannedPictures(Records({{"1", "7", "a.jpg"}}), jpeg);
    listFolder(1);
    EXPECT_TRUE(form->PictureTable.empty());
    EXPECT_TRUE(requestsTo(imagePath()).isEmpty());
    EXPECT_TRUE(cacheFiles().isEmpty());
    form->AlbumTreeView->clearSelection();
    cannedPictures(Records({{"1", "7", "a.jpg"}}), jpeg);
    listFolder(1);
    EXPECT_EQ(PictureIds(*form), std::vector<qint32>{7});
}

TEST_F(AlbumList, TheWideThumbnailIsCutOnBothSidesWithWhiteRows)
{
    cannedPictures(Records({{"1", "7", "wide.jpg"}}), JpegBytes(120, 80, qRgb(20, 20, 220)));
    listFolder(1);
    ASSERT_EQ(form->PictureTable.size(), 1u);
    const QImage &t = form->AlbumImageList->image(form->PictureTable[0].ImageIndex);
    for (int x : {0, 50, 99}) {
        EXPECT_EQ(t.pixel(x, 5), qRgb(255, 255, 255));
        EXPECT_EQ(t.pixel(x, 95), qRgb(255, 255, 255));
        EXPECT_GT(qBlue(t.pixel(x, 50)), 180);
        EXPECT_LT(qRed(t.pixel(x, 50)), 60);
    }
}
