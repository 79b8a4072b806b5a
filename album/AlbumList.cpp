// The album view's events and its state at start-up; the owner-data handler of the list.
#include "app/Unit1.h"

#include "album/AlbumLoadState.h"
#include "platform/OwnerDataListView.h"

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

void TForm1::AlbumListViewData(int index, QString &caption, int &imageIndex)
{
    if (index < 0 || index >= static_cast<int>(PictureTable.size()))
        return;
    const TAlbumImages &entry = PictureTable[static_cast<size_t>(index)];
    caption = entry.Name;
    imageIndex = entry.ImageIndex;
}

void TForm1::AlbumListViewDblClick()
{
    const int index = AlbumListView->ItemIndex();
    if (index >= 0)
        AlbumShowBigImage(index);
}
