#pragma once
// One entry of the album picture table (PictureTable): entry n is item n of AlbumListView.
#include <QString>

struct TAlbumImages {
    QString Name; // the item caption, and the local file name of the full-size download
    qint32 PictureId = 0;
    qint32 ImageIndex = 0; // index in AlbumImageList
};
