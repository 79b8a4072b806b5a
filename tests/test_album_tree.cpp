// The album folder tree against the stand-in service: the tree, FolderTable and the
// MoveToFolder submenu, up-folder, reload, and every way a load ends early.
#include "album/AlbumLoadState.h"
#include "album/AlbumTreePositions.h"
#include "platform/base/Timer.h"
#include "platform/widgets/Action.h"
#include "platform/widgets/TabSet.h"
#include "tests/test_album_support.h"

#include <QMenu>
#include <QTreeWidget>

namespace
{
const QByteArray ThreeLines = Records({{"OK", "2"}, {"12", "0", "A"}, {"15", "1", "B"}});

QStringList menuCaptions(QMenu *menu)
{
    QStringList out;
    for (QAction *a : menu->actions())
        out << a->text();
    return out;
}

std::vector<qint32> ids(const TForm1 &w)
{
    std::vector<qint32> out;
    for (const TAlbumFolder &f : w.FolderTable)
        out.push_back(f.FolderId);
    return out;
}
} // namespace

// Every tree here comes from a canned folder list.
class AlbumTree : public AlbumFixture
{
protected:
    AlbumTree() { needsTestHooks = true; }
};

TEST_F(AlbumTree, ThreeLinesGiveTopWithAWithBAndTheSubmenu)
{
    loadFolders(ThreeLines);
    QTreeWidget *tree = form->AlbumTreeView;
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem *top = tree->topLevelItem(0);
    EXPECT_EQ(top->text(0), QStringLiteral("トップ"));
    EXPECT_TRUE(top->isExpanded());
    ASSERT_EQ(top->childCount(), 1);
    EXPECT_EQ(top->child(0)->text(0), QStringLiteral("A"));
    EXPECT_FALSE(top->child(0)->isExpanded());
    ASSERT_EQ(top->child(0)->childCount(), 1);
    EXPECT_EQ(top->child(0)->child(0)->text(0), QStringLiteral("B"));
    EXPECT_EQ(ids(*form), (std::vector<qint32>{0, 12, 15}));
    EXPECT_EQ(form->FolderTable[2].ParentPosition, 1);
    EXPECT_EQ(menuCaptions(form->MoveToFolder), (QStringList{"トップ", "A", "B"}));
    EXPECT_EQ(form->FolderTable[1].MenuItem, form->MoveToFolder->actions().at(1));
    EXPECT_TRUE(form->AlbumLoaded);

    const QList<RecordedRequest> sent = requestsTo(folderPath());
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0].queryRaw, QByteArray("mode=list"));

    // Choosing a folder of the submenu changes nothing.
    form->MoveToFolder->actions().at(2)->trigger();
    EXPECT_EQ(ids(*form), (std::vector<qint32>{0, 12, 15}));
    EXPECT_EQ(tree->selectedItems().size(), 0);
    EXPECT_FALSE(form->StopTimer->Enabled());
    EXPECT_EQ(requestsTo(folderPath()).size(), 1);
}

TEST_F(AlbumTree, JapaneseNamesAndSiblingsInDepthFirstOrder)
{
    loadFolders(Records({{"x"},
                         {"3", "0", "家族旅行"},
                         {"4", "1", "沖縄"},
                         {"5", "0", "ペット"},
                         {"6", "3", "猫"}}));
    QTreeWidgetItem *top = form->AlbumTreeView->topLevelItem(0);
    ASSERT_EQ(top->childCount(), 2);
    EXPECT_EQ(top->child(0)->text(0), QStringLiteral("家族旅行"));
    EXPECT_EQ(top->child(0)->child(0)->text(0), QStringLiteral("沖縄"));
    EXPECT_EQ(top->child(1)->child(0)->text(0), QStringLiteral("猫"));
    EXPECT_EQ(menuCaptions(form->MoveToFolder),
              (QStringList{"トップ", "家族旅行", "沖縄", "ペット", "猫"}));
    EXPECT_TRUE(form->AlbumLoaded);
}

TEST_F(AlbumTree, OneLineGivesTopAndSetsLoadedNoLineLeavesTheSubmenu)
{
    loadFolders(ThreeLines);
    form->AlbumLoaded = false;
    loadFolders("anything");
    EXPECT_EQ(form->AlbumTreeView->topLevelItemCount(), 1);
    EXPECT_EQ(form->AlbumTreeView->topLevelItem(0)->childCount(), 0);
    EXPECT_EQ(ids(*form), std::vector<qint32>{0});
    EXPECT_EQ(menuCaptions(form->MoveToFolder), QStringList{"トップ"});
    EXPECT_TRUE(form->AlbumLoaded);

    loadFolders(ThreeLines);
    form->AlbumLoaded = false;
    loadFolders("");
    EXPECT_EQ(form->AlbumTreeView->topLevelItemCount(), 1);
    EXPECT_EQ(ids(*form), std::vector<qint32>{0});
    EXPECT_EQ(menuCaptions(form->MoveToFolder), (QStringList{"トップ", "A", "B"}));
    EXPECT_FALSE(form->AlbumLoaded);
}

TEST_F(AlbumTree, UpFolderEnablesAndDisables)
{
    loadFolders(ThreeLines);
    QTreeWidgetItem *top = form->AlbumTreeView->topLevelItem(0);
    QTreeWidgetItem *a = top->child(0);
    form->AlbumTreeView->setCurrentItem(top);
    EXPECT_FALSE(form->AcTUpFolder->Enabled());
    EXPECT_TRUE(form->StopTimer->Enabled());
    form->AlbumTreeView->setCurrentItem(a);
    EXPECT_TRUE(form->AcTUpFolder->Enabled());

    // Only while the album tab is current.
    form->DockTabSet1->setTabIndex(0);
    form->AcTUpFolder->Execute();
    EXPECT_EQ(form->AlbumTreeView->currentItem(), a);
    form->DockTabSet1->setTabIndex(3);

    form->AcTUpFolder->Execute();
    EXPECT_EQ(form->AlbumTreeView->selectedItems(), QList<QTreeWidgetItem *>{top});
    EXPECT_FALSE(form->AcTUpFolder->Enabled());
    // The move is a folder pick: the timer lists トップ.
    form->StopTimer->setEnabled(false);
    form->AcTUpFolder->setEnabled(true);
    form->GoUpFolder(); // the root has no parent: nothing happens
    EXPECT_FALSE(form->StopTimer->Enabled());

    // B is A's first child: moving up from B to A disables the command although A has a
    // parent, as the first among its siblings.
    form->AlbumTreeView->setCurrentItem(a->child(0));
    EXPECT_TRUE(form->AcTUpFolder->Enabled());
    form->AcTUpFolder->Execute();
    EXPECT_EQ(form->AlbumTreeView->currentItem(), a);
    EXPECT_FALSE(form->AcTUpFolder->Enabled());
}

TEST_F(AlbumTree, ReloadRebuildsWithTheRootExpandedAndNothingSelected)
{
    loadFolders(ThreeLines);
    form->AlbumTreeView->setCurrentItem(form->AlbumTreeView->topLevelItem(0)->child(0));
    form->StopTimer->setEnabled(false);
    svc().cannedReply(folderPath(), Records({{""}, {"20", "0", "C"}}));
    form->ActReload->Execute();
    QTreeWidgetItem *top = form->AlbumTreeView->topLevelItem(0);
    ASSERT_NE(top, nullptr);
    EXPECT_TRUE(top->isExpanded());
    EXPECT_TRUE(form->AlbumTreeView->selectedItems().isEmpty());
    EXPECT_EQ(top->child(0)->text(0), QStringLiteral("C"));
    EXPECT_EQ(ids(*form), (std::vector<qint32>{0, 20}));
    // Rebuilding is no folder pick.
    EXPECT_FALSE(form->StopTimer->Enabled());
}

TEST_F(AlbumTree, MalformedRecordsEndTheLoadAtThatRecord)
{
    const std::vector<QStringList> bad = {{"x", "0", "C"},          {"20", "y", "C"},  {"20", "0"},
                                          {"20", "9", "C"},         {"20", "-1", "C"}, {},
                                          {"99999999999", "0", "C"}};
    for (const QStringList &record : bad) {
        SCOPED_TRACE(record.join('|').toStdString());
        form->AlbumLoaded = false; // a failed load does not set it, nor clear it
        loadFolders(Records({{"OK"}, {"12", "0", "A"}, record, {"15", "1", "B"}}));
        EXPECT_EQ(ids(*form), (std::vector<qint32>{0, 12}));
        EXPECT_EQ(form->AlbumTreeView->topLevelItem(0)->childCount(), 1);
        EXPECT_EQ(form->AlbumTreeView->topLevelItem(0)->child(0)->childCount(), 0);
        EXPECT_EQ(menuCaptions(form->MoveToFolder), (QStringList{"トップ", "A"}));
        EXPECT_FALSE(form->AlbumLoaded);
    }
    EXPECT_TRUE(dialogs->texts().empty());
}

TEST_F(AlbumTree, ErrorStatusLeavesTheTreeEmptyNetworkFailureLeavesTop)
{
    loadFolders(ThreeLines);
    form->AlbumLoaded = false;
    svc().cannedReply(folderPath(), "oops", 500);
    form->AlbumFolderLoad();
    EXPECT_EQ(form->AlbumTreeView->topLevelItemCount(), 0);
    EXPECT_TRUE(form->FolderTable.empty());
    EXPECT_FALSE(form->AlbumLoaded);
    EXPECT_TRUE(dialogs->texts().empty());

    // The connection drops half-way through the reply.
    CannedReply cut;
    cut.path = folderPath();
    cut.body = ThreeLines;
    cut.closeMid = true;
    svc().cannedReply(cut);
    form->AlbumFolderLoad();
    EXPECT_FALSE(form->AlbumLoaded);
    EXPECT_LE(form->AlbumTreeView->topLevelItemCount(), 1);

    // Nothing answers at all: the communication error, then only トップ.
    form->ServiceHost = QStringLiteral("http://127.0.0.1:9");
    const size_t before = dialogs->texts().size();
    form->AlbumFolderLoad();
    ASSERT_EQ(dialogs->texts().size(), before + 1);
    EXPECT_EQ(
        dialogs->texts().back(),
        QStringLiteral("通信エラーが発生しました。\n\rネットワークの設定を確認してください。"));
    EXPECT_EQ(form->AlbumTreeView->topLevelItemCount(), 1);
    EXPECT_EQ(ids(*form), std::vector<qint32>{0});
    EXPECT_FALSE(form->AlbumLoaded);
}

TEST_F(AlbumTree, ViewSwitchLoadsOnlyWhileNotLoaded)
{
    form->AlbumLoaded = false;
    form->DockTabSet1->setTabIndex(0);
    svc().cannedReply(folderPath(), ThreeLines);
    form->DockTabSet1->setTabIndex(3);
    EXPECT_TRUE(form->AlbumLoaded);
    form->DockTabSet1->setTabIndex(0);
    form->DockTabSet1->setTabIndex(3);
    EXPECT_EQ(requestsTo(folderPath(), "mode=list").size(), 1);
}

namespace
{
QByteArray chain(int depth)
{
    QByteArray reply = "OK";
    reply.reserve(qsizetype(depth) * 32);
    for (int k = 1; k <= depth; ++k)
        reply += "\r\n" + QByteArray::number(100 + k) + "<!--SEP-->" + QByteArray::number(k - 1) +
                 "<!--SEP-->F" + QByteArray::number(k);
    return reply;
}
} // namespace

TEST_F(AlbumTree, ChainOf200000NestedFoldersLoadsReloadsAndEnds)
{
    constexpr int Depth = 200000;
    loadFolders(chain(Depth));
    ASSERT_TRUE(form->AlbumLoaded);
    ASSERT_EQ(form->FolderTable.size(), size_t(Depth) + 1);
    EXPECT_EQ(form->FolderTable.back().FolderId, 100 + Depth);
    EXPECT_EQ(form->FolderTable.back().ParentPosition, Depth - 1);
    // Down the chain without recursion: every folder has exactly the next one as its child.
    QTreeWidgetItem *node = form->AlbumTreeView->topLevelItem(0);
    int depth = 0;
    while (node->childCount() == 1) {
        node = node->child(0);
        ++depth;
    }
    EXPECT_EQ(depth, Depth);
    EXPECT_EQ(node->text(0), QStringLiteral("F%1").arg(Depth));
    EXPECT_EQ(NodeAtDisplayPosition(form->AlbumTreeView, Depth), node);
    EXPECT_EQ(DisplayPosition(form->AlbumTreeView, node), Depth);
    // The deepest folder is picked like any other.
    form->AlbumTreeView->setCurrentItem(node);
    EXPECT_TRUE(form->AcTUpFolder->Enabled());
    // The submenu holds the first items at once and every folder once it is shown.
    EXPECT_EQ(form->MoveToFolder->actions().size(), 2000);
    EXPECT_EQ(form->FolderTable[1999].MenuItem, form->MoveToFolder->actions().at(1999));

    // A reload deletes the chain (Qt alone would recurse 200,000 deep) and builds the new tree.
    loadFolders(ThreeLines);
    EXPECT_EQ(ids(*form), (std::vector<qint32>{0, 12, 15}));
    EXPECT_EQ(menuCaptions(form->MoveToFolder), (QStringList{"トップ", "A", "B"}));
    loadFolders(chain(Depth)); // and the window's end deletes this one
    EXPECT_EQ(form->FolderTable.size(), size_t(Depth) + 1);
}

TEST_F(AlbumTree, ParentOffTheLastPathMovesLaterPositions)
{
    // D goes under A while B is the last folder: D lands before B, so position 4 is B now
    // and E becomes B's child, and position 3 is D, which gets F: what a walk of the tree
    // finds at the moment each record is read.
    loadFolders(Records({{"OK"},
                         {"1", "0", "A"},
                         {"2", "1", "C"},
                         {"3", "0", "B"},
                         {"4", "1", "D"},
                         {"5", "4", "E"},
                         {"6", "3", "F"}}));
    QTreeWidgetItem *top = form->AlbumTreeView->topLevelItem(0);
    ASSERT_EQ(top->childCount(), 2);
    QTreeWidgetItem *a = top->child(0), *b = top->child(1);
    ASSERT_EQ(a->childCount(), 2);
    EXPECT_EQ(a->child(0)->text(0), QStringLiteral("C"));
    EXPECT_EQ(a->child(1)->text(0), QStringLiteral("D"));
    ASSERT_EQ(a->child(1)->childCount(), 1);
    EXPECT_EQ(a->child(1)->child(0)->text(0), QStringLiteral("F"));
    ASSERT_EQ(b->childCount(), 1);
    EXPECT_EQ(b->child(0)->text(0), QStringLiteral("E"));
    EXPECT_TRUE(form->AlbumLoaded);
}

TEST_F(AlbumTree, SubmenuGetsTheRestOfALongListWhenShown)
{
    std::vector<QStringList> records{{"OK"}};
    for (int k = 1; k <= 2500; ++k)
        records.push_back({QString::number(k), QStringLiteral("0"), QStringLiteral("N%1").arg(k)});
    loadFolders(Records(records));
    EXPECT_EQ(form->MoveToFolder->actions().size(), 2000);
    emit form->MoveToFolder->aboutToShow();
    const QList<QAction *> items = form->MoveToFolder->actions();
    ASSERT_EQ(items.size(), 2501);
    EXPECT_EQ(items.at(2500)->text(), QStringLiteral("N2500"));
    for (size_t k : {size_t(1), size_t(1999), size_t(2000), size_t(2500)})
        EXPECT_EQ(form->FolderTable[k].MenuItem, items.at(qsizetype(k))) << k;
    // A new load drops the old items, shown or not.
    loadFolders(ThreeLines);
    EXPECT_EQ(menuCaptions(form->MoveToFolder), (QStringList{"トップ", "A", "B"}));
}
