// The album folder tree: fetched from the service and rebuilt from scratch on every load,
// together with the MoveToFolder submenu and FolderTable.
#include "app/Unit1.h"

#include "album/AlbumNodeIcon.h"
#include "album/AlbumTreePositions.h"
#include "album/LineRecord.h"
#include "platform/net/HttpError.h"
#include "platform/widgets/ImageList.h"
#include "platform/widgets/TreeItems.h"

#include <QMenu>
#include <QSignalBlocker>
#include <QTreeWidget>

namespace
{
// Qt appends a menu item at a cost that grows with the menu (QWidget::insertAction searches
// the whole action list), so a folder list of 200,000 entries would cost minutes for the
// submenu alone. Items up to this many go in at once; the rest join the submenu the first
// time it is shown, which a list that long makes unusable anyway.
constexpr qsizetype MoveToFolderEagerItems = 2000;

QTreeWidgetItem *newNode(const QString &text, const QIcon &icon)
{
    auto *node = new QTreeWidgetItem(QStringList{text});
    node->setIcon(0, icon);
    return node;
}
} // namespace

void TForm1::AlbumFolderLoad()
{
    // Rebuilding is not a folder pick: the tree's change handler stays out of it.
    const QSignalBlocker quiet(AlbumTreeView);

    // Start from nothing: no nodes, no folder records.
    DeleteTreeItems(AlbumTreeView);
    FolderTable.clear();

    // The folder list. An error status ends the load at once, leaving the tree and the table empty.
    QStringList lines;
    try {
        lines = SplitLines(GetHTTP(ServiceHost + QStringLiteral("/wis/wi_folder.php/") + SessionId +
                                   QStringLiteral("?mode=list")));
    } catch (const EIdException &) {
        return;
    }
    FolderTable.reserve(static_cast<size_t>(std::max<qsizetype>(lines.size(), 1)));

    // The root node "トップ" is folder 0 and is always there.
    const QIcon icon = AlbumNodeIcon(*IconImageList);
    QTreeWidgetItem *root = newNode(QStringLiteral("トップ"), icon);
    AlbumTreeView->addTopLevelItem(root);
    root->setExpanded(true);
    FolderTable.push_back({QStringLiteral("トップ"), 0, 0, nullptr});
    if (lines.isEmpty())
        return;

    // The submenu is rebuilt with the tree, the root first. The items still waiting are owned
    // by the menu but not in it, so clear() leaves them.
    qDeleteAll(MoveToFolderPending);
    MoveToFolderPending.clear();
    MoveToFolder->clear();
    connect(MoveToFolder, &QMenu::aboutToShow, this, &TForm1::MoveToFolderAboutToShow,
            Qt::UniqueConnection);
    QAction *top = MoveToFolder->addAction(QStringLiteral("トップ"));
    connect(top, &QAction::triggered, this, [this] { ActMoveToFolder(); });
    FolderTable[0].MenuItem = top;

    // One node per record, under the node at its parent position. A malformed record, or a parent
    // position that names no node, ends the load there; what was made so far stays. Parents are
    // found through the position index, so the load costs the same for every record however deep
    // the tree grows.
    TDisplayPositions positions(AlbumTreeView);
    for (qsizetype k = 1; k < lines.size(); ++k) {
        TAlbumFolder entry;
        try {
            const QStringList fields = RecordFields(lines.at(k));
            entry.FolderId = RecordInteger(fields, 0);
            entry.ParentPosition = RecordInteger(fields, 1);
            entry.Name = RecordText(fields, 2);
        } catch (const EConvertError &) {
            return;
        }
        if (!positions.At(entry.ParentPosition))
            return;
        positions.AddChild(entry.ParentPosition, newNode(entry.Name, icon));
        // The submenu holds items 0 to k-1 here, so position k is its end.
        auto *item = new QAction(entry.Name, MoveToFolder);
        connect(item, &QAction::triggered, this, [this] { ActMoveToFolder(); });
        if (k < MoveToFolderEagerItems)
            MoveToFolder->addAction(item);
        else
            MoveToFolderPending.push_back(item);
        entry.MenuItem = item;
        FolderTable.push_back(std::move(entry));
    }

    // Only a folder list read to its end marks the album as loaded.
    AlbumLoaded = true;
}

void TForm1::ActReloadExecute()
{
    AlbumFolderLoad();
    if (QTreeWidgetItem *root = NodeAtDisplayPosition(AlbumTreeView, 0))
        root->setExpanded(true);
}

void TForm1::MoveToFolderAboutToShow()
{
    const std::vector<QAction *> pending = std::move(MoveToFolderPending);
    MoveToFolderPending.clear();
    for (QAction *item : pending)
        MoveToFolder->addAction(item);
}

void TForm1::ActMoveToFolder()
{
    // Moving pictures between folders is not offered by the service: nothing changes.
}
