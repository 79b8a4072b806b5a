// The album picture list's owner-data handler and its double click.
#include "app/Unit1.h"

#include "album/AlbumCacheFiles.h"
#include "album/AlbumThumbnail.h"
#include "platform/base/Exception.h"
#include "platform/graphics/DecodeWorker.h"
#include "platform/graphics/Picture.h"
#include "platform/widgets/ImageList.h"
#include "platform/widgets/OwnerDataListView.h"

void TForm1::AlbumListViewData(int index, QString &caption, int &imageIndex)
{
    if (index < 0 || index >= static_cast<int>(PictureTable.size()))
        return;
    const TAlbumImages &entry = PictureTable[static_cast<size_t>(index)];
    caption = entry.Name;
    imageIndex = entry.ImageIndex;
    // The window went to a screen of another pixel ratio: the thumbnail is made again from its
    // cached file, in its own slot, the first time the list shows it there.
    const qreal ratio = AlbumListView->devicePixelRatioF();
    if (imageIndex < 0 || imageIndex >= AlbumImageList->Count() ||
        AlbumImageList->image(imageIndex).devicePixelRatio() == ratio)
        return;
    try {
        // A plug-in may decode it, and none is entered from two threads at once.
        DecodeWorker->WaitIdle();
        TPicture picture;
        picture.LoadFromFile(ThumbnailFileName(CacheFolder, entry.PictureId));
        AlbumImageList->Replace(imageIndex, CentredThumbnail(*picture.Graphic(), ratio));
    } catch (const Exception &) {
        // A cached file gone or damaged meanwhile: the thumbnail stays as it was.
    }
}

void TForm1::AlbumListViewDblClick()
{
    const int index = AlbumListView->ItemIndex();
    if (index >= 0)
        AlbumShowBigImage(index);
}
