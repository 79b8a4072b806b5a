// The album's requests wait on the network worker while the window goes on processing its
// events: a folder pick, a preview or the window's close that arrives during a thumbnail's
// download takes effect after that download, in the order the requests were asked for.
#include "album/AlbumLoadState.h"
#include "platform/base/Timer.h"
#include "platform/widgets/Image.h"
#include "platform/widgets/TabSet.h"
#include "tests/test_album_support.h"

#include <QFile>
#include <QTimer>
#include <QTreeWidget>
#include <functional>

class AlbumWaiting : public AlbumCannedFolders
{
protected:
    void SetUp() override
    {
        AlbumCannedFolders::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        folderA = form->AlbumTreeView->topLevelItem(0)->child(0);
        folderB = folderA->child(0);
    }

    // Folder A lists 201, 202 and 203; the download of 202 is held back on the line, every
    // other thumbnail comes at once.
    void cannedFolderAWithSlow202()
    {
        svc().cannedReply(
            folderPath(),
            Records({{"1", "201", "a1.jpg"}, {"1", "202", "a2.jpg"}, {"1", "203", "a3.jpg"}}));
        CannedReply thumb;
        thumb.path = imagePath();
        thumb.body = jpeg;
        thumb.contentType = "image/jpeg";
        svc().cannedReply(thumb);
        thumb.delayMs = 500;
        svc().cannedReply(thumb);
        thumb.delayMs = 0;
        thumb.count = 0;
        svc().cannedReply(thumb);
    }

    // Runs action from the event loop once the service has the download of 202 in hand, that
    // is, while the window waits for its reply. The action runs once; whether the download
    // was still missing from the cache then is kept in duringTheDownload.
    void whileDownloading202(std::function<void()> action)
    {
        watch.setInterval(2);
        QObject::connect(&watch, &QTimer::timeout, form, [this, action] {
            if (acted || requestsTo(imagePath(), QStringLiteral("id=202")).isEmpty())
                return;
            acted = true;
            watch.stop();
            duringTheDownload = !QFile::exists(form->CacheFolder + QStringLiteral("/202.jpg"));
            action();
        });
        watch.start();
    }

    QList<QByteArray> asked()
    {
        QList<QByteArray> out;
        for (const RecordedRequest &r : svc().requests())
            out << r.queryRaw;
        return out;
    }

    const QByteArray jpeg = JpegBytes(60, 40, qRgb(200, 30, 30));
    QTreeWidgetItem *folderA = nullptr;
    QTreeWidgetItem *folderB = nullptr;
    QTimer watch;
    bool acted = false;
    bool duringTheDownload = false;
};

TEST_F(AlbumWaiting, FolderPickAndPreviewDuringADownloadTakeEffectAfterItInOrder)
{
    cannedFolderAWithSlow202();
    svc().cannedReply(folderPath(), Records({{"1", "301", "b1.jpg"}}));
    form->AlbumTreeView->setCurrentItem(folderA);
    // The user picks B and double-clicks the first picture while 202 is on its way, and
    // once more while that preview's own download waits behind 202.
    whileDownloading202([this] {
        form->AlbumTreeView->setCurrentItem(folderB);
        QTimer::singleShot(0, form, [this] { form->AlbumShowBigImage(0); });
        form->AlbumShowBigImage(0);
    });
    TraceCapture trace;
    form->StopTimerExecute();
    ASSERT_TRUE(acted);
    EXPECT_TRUE(duringTheDownload);
    // The download in flight ends and its line is listed; the next line is skipped.
    EXPECT_EQ(PictureIds(*form), (std::vector<qint32>{201, 202}));
    EXPECT_EQ(trace.Count(QStringLiteral("Stoping ALBUM Loading")), 1);
    EXPECT_EQ(form->AlbumLoadState, STOPED_ALBUM);
    EXPECT_TRUE(form->StopTimer->Enabled());
    // The preview waited for 202 and showed its picture; the second one followed the first
    // instead of taking its file away.
    EXPECT_EQ(form->BigImage->Picture().size(), QSize(60, 40));
    EXPECT_FALSE(QFile::exists(form->CacheFolder + QStringLiteral("/a1.jpg")));
    EXPECT_TRUE(dialogs->texts().empty());

    // The next tick lists B.
    form->DockTabSet1->setTabIndex(3);
    form->StopTimerExecute();
    EXPECT_EQ(PictureIds(*form), std::vector<qint32>{301});
    EXPECT_FALSE(form->StopTimer->Enabled());
    EXPECT_EQ(asked(), (QList<QByteArray>{"mode=img&id=12", "mode=small&id=201",
                                          "mode=small&id=202", "mode=big&id=201", "mode=big&id=201",
                                          "mode=img&id=15", "mode=small&id=301"}));
    // Every request carried the session id, the preview's too.
    for (const RecordedRequest &r : svc().requests())
        EXPECT_TRUE(r.header("Cookie").contains("sid=" + form->SessionId.toLatin1()))
            << r.queryRaw.constData() << ": " << r.header("Cookie").constData();
}

TEST_F(AlbumWaiting, WindowClosedDuringADownloadEndsTheLoadAfterItAndWritesTheSettings)
{
    cannedFolderAWithSlow202();
    form->show();
    QFile::remove(iniPath());
    form->AlbumTreeView->setCurrentItem(folderA);
    whileDownloading202([this] { form->close(); });
    form->StopTimerExecute();
    ASSERT_TRUE(acted);
    EXPECT_TRUE(duringTheDownload);
    EXPECT_FALSE(form->isVisible());
    EXPECT_TRUE(readIni().contains("KvoSessionId=" + form->SessionId.toLatin1()))
        << readIni().constData();
    // The download in flight landed whole; nothing more was asked for.
    EXPECT_EQ(cacheFiles(), (QStringList{"201.jpg", "202.jpg"}));
    EXPECT_EQ(QFile(form->CacheFolder + QStringLiteral("/202.jpg")).size(), jpeg.size());
    EXPECT_EQ(form->AlbumLoadState, STOPED_ALBUM);
    EXPECT_FALSE(form->StopTimer->Enabled());
    pump(300);
    EXPECT_EQ(asked(),
              (QList<QByteArray>{"mode=img&id=12", "mode=small&id=201", "mode=small&id=202"}));
}
