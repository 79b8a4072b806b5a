// Thumbnail geometry, the draw steps, decoding failures and the 80-slot cache.
#include "app/Unit1.h"
#include "localbrowser/ThumbnailGeometry.h"
#include "platform/base/Timer.h"
#include "platform/graphics/DecodeWorker.h"
#include "platform/widgets/Image.h"
#include "platform/widgets/ImageList.h"
#include "platform/widgets/OwnerDataListView.h"
#include "platform/widgets/StatusBar.h"
#include "platform/widgets/TabSet.h"
#include "test_graphics_support.h"
#include "tests/support/ThumbnailSteps.h"
#include "tests/test_local_support.h"

#include <QCoreApplication>
#include <QSet>
#include <QTimer>
#include <future>

TEST(ThumbnailGeometry, WorkedResultsComeOutExactly)
{
    struct Row {
        int W, H, w, h, x, y;
        bool scaled;
    } rows[] = {
        {640, 480, 99, 74, 0, 13, true},    {480, 640, 74, 99, 13, 0, true},
        {1024, 768, 99, 74, 0, 13, true},   {1280, 960, 99, 74, 0, 13, true},
        {2048, 1536, 99, 74, 0, 13, true},  {800, 600, 100, 75, 0, 12, true},
        {1600, 1200, 100, 75, 0, 12, true}, {4000, 3000, 100, 75, 0, 12, true},
        {150, 99, 100, 66, 0, 17, true},    {99, 150, 66, 100, 17, 0, true},
        {101, 50, 99, 49, 0, 25, true},     {200, 200, 100, 100, 0, 0, true},
        {100, 100, 100, 100, 0, 0, false},  {99, 99, 99, 99, 0, 0, false},
        {32, 32, 32, 32, 34, 34, false},    {1000, 5, 100, 0, 0, 50, true},
    };
    for (const Row &r : rows) {
        const TThumbnailPlacement p = ThumbnailPlacement(r.W, r.H);
        EXPECT_EQ(p.Rect, QRect(r.x, r.y, r.w, r.h)) << r.W << " x " << r.H;
        EXPECT_EQ(p.Scaled, r.scaled) << r.W << " x " << r.H;
    }
}

TEST_F(LocalBrowser, ThumbnailsAreCentredOnWhiteAndUndecodableFilesLoseTheirPictureStatus)
{
    QByteArray truncated = EncodeJpeg(TestPattern(200, 150));
    truncated.truncate(truncated.size() / 2);
    QByteArray damaged = EncodeJpeg(TestPattern(200, 150));
    damaged[0] = 0x00; // no start-of-image marker: not a JPEG file any more
    const QString dir =
        makeFolder(QStringLiteral("thumbs"),
                   {{QStringLiteral("red.jpg"), JpegBytes(640, 480, qRgb(255, 0, 0))},
                    {QStringLiteral("icon.ico"), IcoBytes(32, 32, qRgb(0, 0, 255))},
                    {QStringLiteral("tall.bmp"), BmpBytes(1, 30000, qRgb(0, 128, 0))},
                    {QStringLiteral("notes.txt"), "not a picture"},
                    {QStringLiteral("damaged.jpg"), damaged},
                    {QStringLiteral("truncated.jpg"), truncated},
                    {QStringLiteral("zero.jpg"), QByteArray()},
                    {QStringLiteral("zero.bmp"), QByteArray()},
                    {QStringLiteral("zero.ico"), QByteArray()},
                    {QStringLiteral("broken.bmp"), BmpBytes(20, 20, 0).left(40)},
                    {QStringLiteral("broken.ico"), IcoBytes(16, 16, 0).left(30)},
                    {QStringLiteral("drawing.wmf"), QByteArray(100, 'w')}});
    listFolder(dir);
    const int n = int(form->PcImages.size());
    ASSERT_EQ(n, 12);
    EXPECT_EQ(drawRange(0, n - 1), n); // one decode per step
    EXPECT_FALSE(form->PcDrawing);

    const QStringList pictures{"red.jpg", "icon.ico", "tall.bmp", "truncated.jpg"};
    for (const TPcImages &e : form->PcImages) {
        SCOPED_TRACE(e.Name.toStdString());
        EXPECT_TRUE(e.Drawn);
        EXPECT_EQ(e.IsPicture, pictures.contains(e.Name));
        EXPECT_EQ(e.ImageIndex != -1, pictures.contains(e.Name));
    }
    const QImage red =
        form->PcImageList->image(form->PcImages[size_t(entry("red.jpg"))].ImageIndex);
    ASSERT_EQ(red.size(), QSize(100, 100));
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 100; ++x) {
            const QRgb c = red.pixel(x, y);
            if (x < 99 && y >= 13 && y < 87)
                ASSERT_TRUE(qRed(c) > 240 && qGreen(c) < 16 && qBlue(c) < 16) << x << "," << y;
            else
                ASSERT_EQ(c, qRgb(255, 255, 255)) << x << "," << y;
        }
    const QImage icon =
        form->PcImageList->image(form->PcImages[size_t(entry("icon.ico"))].ImageIndex);
    EXPECT_EQ(icon.pixel(33, 33), qRgb(255, 255, 255));
    EXPECT_EQ(icon.pixel(34, 34), qRgb(0, 0, 255));
    EXPECT_EQ(icon.pixel(65, 65), qRgb(0, 0, 255));
    EXPECT_EQ(icon.pixel(66, 66), qRgb(255, 255, 255));

    // Only pictures are counted in the selection.
    form->PcListView->SelectAll();
    form->PcFileUpRefresh();
    EXPECT_EQ(form->StatusBar1->PanelText(0), QStringLiteral("4個選択中 "));
}

TEST_F(LocalBrowser, DrawStepsKeepToTheAnnouncedRangeTabZeroAndTheCurrentEntries)
{
    std::vector<std::pair<QString, QByteArray>> files;
    for (int i = 0; i < 10; ++i)
        files.push_back({QStringLiteral("p%1.jpg").arg(i), JpegBytes(16, 16, qRgb(0, 200, 0))});
    const QString ten = makeFolder(QStringLiteral("ten"), files);
    const QString three =
        makeFolder(QStringLiteral("three"), {{QStringLiteral("a.jpg"), JpegBytes(16, 16, 0)},
                                             {QStringLiteral("b.jpg"), JpegBytes(16, 16, 0)},
                                             {QStringLiteral("c.jpg"), JpegBytes(16, 16, 0)}});
    listFolder(ten);
    form->PcListViewDataHint(4, 6);
    DrawStep(*form);
    int drawn = 0;
    for (size_t i = 0; i < 10; ++i)
        drawn += form->PcImages[i].Drawn;
    EXPECT_EQ(drawn, 1);
    EXPECT_TRUE(form->PcImages[4].Drawn);
    form->DockTabSet1->setTabIndex(2);
    DrawStep(*form);
    EXPECT_FALSE(form->PcImages[5].Drawn);
    form->DockTabSet1->setTabIndex(0);
    DrawStep(*form);
    EXPECT_TRUE(form->PcImages[5].Drawn);
    DrawStep(*form);
    DrawStep(*form);
    EXPECT_FALSE(form->PcImages[3].Drawn);
    EXPECT_FALSE(form->PcImages[7].Drawn);

    // The range announced for the ten-file folder survives the next listing; it is clamped.
    form->PcListViewDataHint(0, 9);
    listFolder(three);
    ASSERT_EQ(form->PcHintEnd, 9);
    for (int tick = 0; tick < 12; ++tick)
        DrawStep(*form);
    for (const TPcImages &e : form->PcImages) {
        EXPECT_TRUE(e.Drawn);
        EXPECT_NE(e.ImageIndex, -1);
    }
    form->PcListViewDataHint(5, 20); // wholly beyond the entries: nothing to draw
    DrawStep(*form);
    EXPECT_FALSE(form->PcDrawing);
}

namespace
{
void expectCacheInvariants(TForm1 *form)
{
    std::vector<TImageListCache> &records = form->PcImgCache.Records();
    EXPECT_LE(records.size(), 80u);
    QSet<int> usedSlots, owners, stamps;
    for (const TImageListCache &r : records) {
        EXPECT_FALSE(usedSlots.contains(r.ImageIndex));
        EXPECT_FALSE(owners.contains(r.ItemIndex));
        EXPECT_FALSE(stamps.contains(r.Stamp));
        usedSlots << r.ImageIndex;
        owners << r.ItemIndex;
        stamps << r.Stamp;
        EXPECT_EQ(form->PcImages[size_t(r.ItemIndex)].ImageIndex, r.ImageIndex);
    }
    for (size_t i = 0; i < form->PcImages.size(); ++i)
        EXPECT_EQ(form->PcImages[i].ImageIndex != -1, owners.contains(int(i))) << i;
}

// n small JPEG files p000.jpg, p001.jpg, ... in name order.
std::vector<std::pair<QString, QByteArray>> smallPictures(int n)
{
    std::vector<std::pair<QString, QByteArray>> files;
    const QByteArray small = JpegBytes(12, 12, qRgb(10, 20, 30));
    for (int i = 0; i < n; ++i)
        files.push_back({QStringLiteral("p%1.jpg").arg(i, 3, 10, QLatin1Char('0')), small});
    return files;
}
} // namespace

TEST_F(LocalBrowser, HundredPicturesTwentyVisibleReuseTheEarliestOffScreenSlot)
{
    listFolder(makeFolder(QStringLiteral("hundred"), smallPictures(100)));
    ASSERT_EQ(form->PcImages.size(), 100u);
    for (int page = 0; page < 4; ++page)
        drawRange(page * 20, page * 20 + 19);
    ASSERT_EQ(form->PcImgCache.Count(), 80);
    std::vector<int> byStamp(81, -1);
    for (const TImageListCache &r : form->PcImgCache.Records())
        byStamp[size_t(r.Stamp)] = r.ItemIndex;
    QSet<int> slotSet;
    for (const TImageListCache &r : form->PcImgCache.Records())
        slotSet << r.ImageIndex;
    EXPECT_EQ(*std::min_element(slotSet.begin(), slotSet.end()), 3);
    EXPECT_EQ(*std::max_element(slotSet.begin(), slotSet.end()), 82);
    const int first = byStamp[1];
    const int firstSlot = form->PcImages[size_t(first)].ImageIndex;

    form->PcListViewDataHint(80, 99);
    DrawStep(*form); // the 81st thumbnail
    EXPECT_EQ(form->PcImages[80].ImageIndex, firstSlot);
    EXPECT_EQ(form->PcImages[size_t(first)].ImageIndex, -1);
    EXPECT_FALSE(form->PcImages[size_t(first)].Drawn);
    EXPECT_EQ(form->PcImgCache.Find(80)->Stamp, 81);
    drawRange(80, 99);
    EXPECT_EQ(form->PcImageList->Count(), 83);
    expectCacheInvariants(form);
    for (int i = 80; i < 100; ++i)
        EXPECT_NE(form->PcImages[size_t(i)].ImageIndex, -1);

    // Scrolling back redraws from the file and takes the earliest slot outside the range.
    const int victim = byStamp[21];
    drawRange(0, 19);
    EXPECT_EQ(form->PcImages[size_t(victim)].ImageIndex, -1);
    for (int i = 0; i < 20; ++i)
        EXPECT_NE(form->PcImages[size_t(i)].ImageIndex, -1);
    expectCacheInvariants(form);
    EXPECT_EQ(form->PcImageList->Count(), 83);
}

TEST_F(LocalBrowser, MoreThanEightyVisibleLosesNoVisibleThumbnailAndDrawingGoesOn)
{
    listFolder(makeFolder(QStringLiteral("ninety"), smallPictures(90)));
    EXPECT_EQ(drawRange(0, 89), 90);
    int withThumb = 0;
    for (const TPcImages &e : form->PcImages) {
        EXPECT_TRUE(e.Drawn);
        EXPECT_TRUE(e.IsPicture);
        withThumb += e.ImageIndex != -1;
    }
    EXPECT_EQ(withThumb, 80);
    EXPECT_EQ(form->PcImageList->Count(), 83);
    expectCacheInvariants(form);

    // Fewer on screen: the dropped ones are drawn, taking usedSlots from entries now off screen.
    drawRange(10, 89);
    for (int i = 10; i < 90; ++i)
        EXPECT_NE(form->PcImages[size_t(i)].ImageIndex, -1) << i;
    expectCacheInvariants(form);
}

namespace
{
// Holds the decode worker on a job of its own until opened, so that a decode handed over
// meanwhile comes back only when the test has changed what the window wants.
class WorkerGate
{
public:
    explicit WorkerGate(TDecodeWorker &worker) : opened(promise.get_future().share())
    {
        worker.Post([gate = opened] { gate.wait(); }, {});
    }
    ~WorkerGate() { open(); }
    void open()
    {
        if (!isOpen)
            promise.set_value();
        isOpen = true;
    }

private:
    std::promise<void> promise;
    std::shared_future<void> opened;
    bool isOpen = false;
};

void waitForWorker(TForm1 *form)
{
    while (form->DecodeWorker->Pending() > 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}
} // namespace

TEST_F(LocalBrowser, ADecodeThatComesBackLateIsPlacedOnlyWhereItIsStillWanted)
{
    std::vector<std::pair<QString, QByteArray>> green;
    for (int i = 0; i < 10; ++i)
        green.push_back({QStringLiteral("g%1.jpg").arg(i), JpegBytes(16, 16, qRgb(0, 200, 0))});
    const QString red = makeFolder(
        QStringLiteral("red"), {{QStringLiteral("r0.jpg"), JpegBytes(20, 20, qRgb(220, 0, 0))},
                                {QStringLiteral("r1.jpg"), JpegBytes(30, 20, qRgb(220, 0, 0))},
                                {QStringLiteral("r2.jpg"), JpegBytes(40, 20, qRgb(220, 0, 0))}});
    listFolder(makeFolder(QStringLiteral("green"), green));
    form->PcImageDrawTimer->setEnabled(false);

    // Scrolled away during the decode: the entry stays undrawn until it is announced again, and
    // no second decode starts while one is under way.
    {
        WorkerGate gate(*form->DecodeWorker);
        form->PcListViewDataHint(4, 6);
        form->PcImageDrawTimerTimer();
        EXPECT_TRUE(form->PcDrawing);
        form->PcListViewDataHint(0, 2);
        form->PcImageDrawTimerTimer();
        EXPECT_EQ(form->DecodeWorker->Pending(), 2);
        gate.open();
        waitForWorker(form);
    }
    EXPECT_FALSE(form->PcDrawing);
    EXPECT_FALSE(form->PcImages[4].Drawn);
    EXPECT_EQ(form->PcImages[4].ImageIndex, -1);
    DrawStep(*form);
    EXPECT_TRUE(form->PcImages[0].Drawn);
    EXPECT_EQ(form->PcImgCache.Count(), 1);

    // Another folder picked during the decode: the old entry's thumbnail goes nowhere, and the
    // new listing's decodes follow it on the worker.
    {
        WorkerGate gate(*form->DecodeWorker);
        form->PcListViewDataHint(0, 9);
        form->PcImageDrawTimerTimer(); // g1
        listFolder(red);
        form->PcImageDrawTimer->setEnabled(false);
        EXPECT_FALSE(form->PcDrawing);
        form->PcImageDrawTimerTimer(); // r0, behind g1
        gate.open();
        waitForWorker(form);
    }
    ASSERT_EQ(form->PcImages.size(), 3u);
    EXPECT_TRUE(form->PcImages[0].Drawn);
    EXPECT_FALSE(form->PcImages[1].Drawn);
    EXPECT_EQ(form->PcImgCache.Count(), 1);
    const QImage r0 = form->PcImageList->image(form->PcImages[0].ImageIndex);
    EXPECT_EQ(r0.pixel(50, 50), qRgb(220, 0, 0)) << "the red folder's own picture";

    // The preview waits for the thumbnail decode under way, with the window's events going on,
    // and shows its own picture after it.
    bool eventsWentOn = false;
    {
        WorkerGate gate(*form->DecodeWorker);
        form->PcImageDrawTimerTimer(); // r1
        QTimer::singleShot(20, form, [&] {
            eventsWentOn = true;
            gate.open();
        });
        form->PcShowBigImage(2);
    }
    EXPECT_TRUE(eventsWentOn);
    EXPECT_NE(form->PcImages[1].ImageIndex, -1) << "placed during the preview's wait";
    EXPECT_EQ(form->BigImage->Picture().size(), QSize(40, 20));
}
