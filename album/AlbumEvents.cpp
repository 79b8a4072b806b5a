// Wiring of the album view's events and its state at start-up.
#include "app/Unit1.h"

#include "album/AlbumLoadState.h"
#include "platform/widgets/OwnerDataListView.h"

#include <QTreeWidget>

void TForm1::BindAlbumEvents()
{
    connect(AlbumTreeView, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem *> selected = AlbumTreeView->selectedItems();
        AlbumTreeViewChange(selected.isEmpty() ? nullptr : selected.first());
    });
    AlbumListView->OnData = [this](int index, QString &caption, int &imageIndex) {
        AlbumListViewData(index, caption, imageIndex);
    };
    AlbumListView->OnDblClick = [this] { AlbumListViewDblClick(); };
    // Selecting album pictures has no effect.
}

void TForm1::ResetAlbumState()
{
    PictureTable.clear();
    AlbumLoaded = false;
    AlbumLoadState = STOPED_ALBUM;
}
