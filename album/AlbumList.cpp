// The album picture list's owner-data handler and its double click.
#include "app/Unit1.h"

#include "platform/OwnerDataListView.h"

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
