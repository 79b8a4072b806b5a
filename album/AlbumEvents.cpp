// Wiring of the album view's events.
#include "album/AlbumLoadState.h"
#include "app/Unit1.h"
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
