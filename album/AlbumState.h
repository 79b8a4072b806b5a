#pragma once
// The online album's state: the folder tree and picture list of the last loads, and the loading
// state byte. The main window is composed of it; its widgets (AlbumTreeView, AlbumListView,
// AlbumImageList, MoveToFolder...) stay the window's own.
#include "album/AlbumFolder.h"
#include "album/AlbumImages.h"
#include "album/AlbumLoadState.h"

#include <vector>

class QAction;

struct TAlbumState {
    bool AlbumLoaded = false;
    std::vector<TAlbumFolder> FolderTable;  // entry k: the tree node at display position k
    std::vector<TAlbumImages> PictureTable; // entry n: item n of AlbumListView
    TLoadState AlbumLoadState = STOPED_ALBUM;
    // Folder items beyond the first MoveToFolderEagerItems of the last load, in order; they
    // join the submenu when it is about to be shown (see AlbumFolderLoad).
    std::vector<QAction *> MoveToFolderPending;

    // The values the start-up gives the album.
    void ResetAlbumState();
};
