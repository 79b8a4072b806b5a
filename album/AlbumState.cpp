#include "album/AlbumState.h"

void TAlbumState::ResetAlbumState()
{
    PictureTable.clear();
    AlbumLoaded = false;
    AlbumLoadState = STOPED_ALBUM;
}
