// Picking a folder in the album tree, and moving one folder up.
#include "app/Unit1.h"

#include "album/AlbumLoadState.h"
#include "platform/base/Timer.h"
#include "platform/widgets/TabSet.h"

#include <QTreeWidget>

void TForm1::AlbumTreeViewChange(QTreeWidgetItem *Node)
{
    // A tree left without a selected folder (a Ctrl+click on it, an emptied tree) gives the
    // timer nothing to list and so nothing that would ever stop it: that is no folder pick.
    if (!Node)
        return;
    // A running picture-list load is asked to stop; the timer lists the new folder.
    if (AlbumLoadState != STOPED_ALBUM)
        AlbumLoadState = DO_STOP_ALBUM;
    StopTimer->setEnabled(true);
    AcTUpFolder->setEnabled(Node->parent() != nullptr);
}

void TForm1::AcTUpFolderExecute()
{
    GoUpFolder();
}

void TForm1::GoUpFolder()
{
    if (DockTabSet1->TabIndex() != ViewIndex::Album)
        return;
    const QList<QTreeWidgetItem *> selected = AlbumTreeView->selectedItems();
    QTreeWidgetItem *node = selected.isEmpty() ? nullptr : selected.first();
    if (!node || !node->parent())
        return;
    QTreeWidgetItem *parent = node->parent();
    AlbumTreeView->setCurrentItem(parent); // runs AlbumTreeViewChange
    const QTreeWidgetItem *above = parent->parent();
    const int siblingIndex =
        above ? above->indexOfChild(parent) : AlbumTreeView->indexOfTopLevelItem(parent);
    if (siblingIndex == 0)
        AcTUpFolder->setEnabled(false);
}
