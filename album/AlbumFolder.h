#pragma once
// One entry of the album folder table (FolderTable): entry k belongs to the tree node at
// display position k.
#include <QAction>
#include <QPointer>
#include <QString>

struct TAlbumFolder {
    QString Name;
    qint32 FolderId = 0;
    qint32 ParentPosition = 0;
    // The folder's item in the MoveToFolder submenu; the submenu owns it.
    QPointer<QAction> MenuItem;
};
