// Folder listing: which files are listed, the state machine and its restart rule, trace
// lines, and folders that change, vanish or cannot be read while they are listed.
#include "app/Unit1.h"
#include "app/Unit3.h"
#include "localbrowser/PcLoadState.h"
#include "platform/base/Timer.h"
#include "platform/widgets/ImageList.h"
#include "platform/widgets/OwnerDataListView.h"
#include "platform/widgets/ShellTreeView.h"
#include "platform/widgets/StatusBar.h"
#include "platform/widgets/TabSet.h"
#include "tests/test_local_support.h"

#include <QDir>
#include <QFile>
#include <QProgressBar>
#include <QTimer>
#include <unistd.h>

TEST_F(LocalBrowser, NothingIsListedAtStartUp)
{
    EXPECT_EQ(form->PcLoadState, STOPED_PC);
    EXPECT_FALSE(form->StopTimer->Enabled());
    EXPECT_FALSE(form->PcTreeView->Path().isEmpty());
    EXPECT_EQ(form->PcListView->ItemsCount(), 0);
}

TEST_F(LocalBrowser, ListsEveryVisibleFileButNoFolderOrHiddenFile)
{
    // The test drives every tick by hand. The real 100 ms timer would add ticks of its own
    // whenever the listing processes messages on a slow machine, each with its trace lines.
    form->StopTimer->OnTimer = nullptr;
    const QString dir = makeFolder(QStringLiteral("mixed"),
                                   {{QStringLiteral("a.jpg"), JpegBytes(64, 48, qRgb(1, 2, 3))},
                                    {QStringLiteral("b.bmp"), BmpBytes(8, 8, qRgb(9, 9, 9))},
                                    {QStringLiteral("notes.txt"), "text"},
                                    {QStringLiteral("no-extension"), "x"},
                                    {QStringLiteral(".hidden.jpg"), JpegBytes(8, 8, 0)}});
    QDir(dir).mkpath(QStringLiteral("sub/deeper"));
    QFile inner(dir + QStringLiteral("/sub/inner.jpg"));
    ASSERT_TRUE(inner.open(QIODevice::WriteOnly));
    inner.close();

    TraceCapture trace;
    form->Form3->Page = 0;
    listFolder(dir);
    EXPECT_EQ(listedNames(), (QStringList{"a.jpg", "b.bmp", "no-extension", "notes.txt"}));
    for (const TPcImages &e : form->PcImages) {
        EXPECT_EQ(e.Folder, dir);
        EXPECT_EQ(e.ImageIndex, -1);
        EXPECT_FALSE(e.Drawn);
        EXPECT_FALSE(e.IsFolder);
        EXPECT_TRUE(e.IsPicture);
    }
    EXPECT_EQ(form->PcListView->ItemsCount(), 4);
    EXPECT_EQ(form->PcImageList->Count(), 3); // the three stock pictures only
    EXPECT_TRUE(form->PcImageDrawTimer->Enabled());
    EXPECT_FALSE(form->Gauge1->isVisible());
    EXPECT_EQ(form->Gauge1->parentWidget(), static_cast<QWidget *>(form->StatusBar1));
    EXPECT_EQ(form->Gauge1->x(), 100);
    EXPECT_EQ(form->Form3->Page, 1);
    EXPECT_EQ(trace.Lines(), (QStringList{"DISP VIEW ITEMS ", "DISP VIEW ITEMS DONE"}));

    // An empty folder, a missing one: empty listings handled like any other.
    listFolder(dir + QStringLiteral("/sub/deeper"));
    EXPECT_EQ(form->PcListView->ItemsCount(), 0);
    EXPECT_TRUE(form->PcImages.empty());
    form->PcLoadState = STOPED_PC;
    form->PcLoad(dir + QStringLiteral("/does-not-exist"));
    EXPECT_EQ(form->PcLoadState, LOAD_COMP_PC);
    EXPECT_EQ(form->PcListView->ItemsCount(), 0);
}

TEST_F(LocalBrowser, PickingBWhileAIsListedShowsOnlyBsFiles)
{
    std::vector<std::pair<QString, QByteArray>> many;
    for (int i = 0; i < 30; ++i)
        many.push_back({QStringLiteral("a%1.txt").arg(i), "a"});
    const QString a = makeFolder(QStringLiteral("A"), many);
    const QString b = makeFolder(
        QStringLiteral("B"), {{QStringLiteral("b1.txt"), "b"}, {QStringLiteral("b2.txt"), "b"}});
    ASSERT_TRUE(form->PcTreeView->SelectPath(a));
    EXPECT_TRUE(form->StopTimer->Enabled());
    TraceCapture trace;
    // The pick arrives while the storing pass processes messages.
    QTimer::singleShot(0, form, [&] { form->PcTreeView->SelectPath(b); });
    form->StopTimerPcBranch();
    EXPECT_EQ(form->PcLoadState, STOPED_PC);
    EXPECT_TRUE(form->StopTimer->Enabled());
    EXPECT_EQ(form->PcListView->ItemsCount(), 0);
    EXPECT_EQ(trace.Count(QStringLiteral("Stop Loading")), 30);
    EXPECT_EQ(trace.Count(QStringLiteral("DISP VIEW ITEMS DONE")), 0);

    form->StopTimerPcBranch();
    EXPECT_EQ(listedNames(), (QStringList{"b1.txt", "b2.txt"}));
    EXPECT_EQ(form->PcListView->ItemsCount(), 2);
    EXPECT_EQ(form->PcImages[0].Folder, b);
    EXPECT_FALSE(form->StopTimer->Enabled());
    EXPECT_EQ(trace.Count(QStringLiteral("Stop Loading")), 30);
}

TEST_F(LocalBrowser, ListingWaitsOffTabZeroAndAPickWhileIdleListsOnce)
{
    const QString a = makeFolder(QStringLiteral("A"), {{QStringLiteral("x.txt"), "x"}});
    ASSERT_TRUE(form->PcTreeView->SelectPath(a));
    form->DockTabSet1->setTabIndex(2);
    form->StopTimerPcBranch();
    EXPECT_EQ(form->PcListView->ItemsCount(), 0);
    EXPECT_TRUE(form->StopTimer->Enabled());
    form->DockTabSet1->setTabIndex(0);
    form->StopTimerPcBranch();
    EXPECT_EQ(form->PcListView->ItemsCount(), 1);
    EXPECT_FALSE(form->StopTimer->Enabled());
}

TEST_F(LocalBrowser, AFolderThatChangesOrVanishesDuringTheListingIsSafe)
{
    std::vector<std::pair<QString, QByteArray>> files;
    for (int i = 0; i < 20; ++i)
        files.push_back({QStringLiteral("p%1.jpg").arg(i), JpegBytes(8, 8, qRgb(0, 0, 200))});
    const QString grows = makeFolder(QStringLiteral("grows"), files);
    ASSERT_TRUE(form->PcTreeView->SelectPath(grows));
    QTimer::singleShot(0, form, [&] {
        for (int i = 0; i < 40; ++i)
            QFile(grows + QStringLiteral("/new%1.jpg").arg(i)).open(QIODevice::WriteOnly);
    });
    form->StopTimerPcBranch();
    EXPECT_LE(form->PcImages.size(), 20u); // never beyond the counted size
    EXPECT_EQ(form->PcListView->ItemsCount(), int(form->PcImages.size()));
    for (const TPcImages &e : form->PcImages)
        EXPECT_FALSE(e.Name.isEmpty());

    // Files that vanish after the listing fail their draw step; a folder that vanishes
    // while it is listed ends the listing without a crash.
    const QString vanishes = makeFolder(QStringLiteral("vanishes"), files);
    listFolder(vanishes);
    ASSERT_EQ(form->PcImages.size(), 20u);
    QDir(vanishes).removeRecursively();
    drawRange(0, 19);
    for (const TPcImages &e : form->PcImages) {
        EXPECT_TRUE(e.Drawn);
        EXPECT_FALSE(e.IsPicture);
    }
    const QString during = makeFolder(QStringLiteral("during"), files);
    ASSERT_TRUE(form->PcTreeView->SelectPath(during));
    QTimer::singleShot(0, form, [&] { QDir(during).removeRecursively(); });
    form->StopTimerPcBranch();
    EXPECT_LE(form->PcImages.size(), 20u);
    for (const TPcImages &e : form->PcImages)
        EXPECT_FALSE(e.Name.isEmpty());
}

TEST_F(LocalBrowser, AFolderWithoutReadPermissionListsNothing)
{
    const QString locked = makeFolder(QStringLiteral("locked"), {{QStringLiteral("a.jpg"), "x"}});
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    listFolder(locked);
    if (geteuid() != 0) { // root reads it all the same
        EXPECT_EQ(form->PcListView->ItemsCount(), 0);
    }
    QFile::setPermissions(locked,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(LocalBrowser, ThePickedFolderStaysPickedWhileTheTreeFillsInTheBackground)
{
    const QString fresh = makeFolder(QStringLiteral("fresh"), {{QStringLiteral("f.txt"), "f"}});
    ASSERT_TRUE(form->PcTreeView->SelectPath(fresh));
    pump(400); // the tree's model reads the new folders meanwhile; StopTimer lists on its own
    EXPECT_EQ(form->PcTreeView->Path(), fresh);
    EXPECT_EQ(form->PcTreeView->currentIndex().data().toString(), QStringLiteral("fresh"));
    EXPECT_EQ(listedNames(), QStringList{QStringLiteral("f.txt")});
}
