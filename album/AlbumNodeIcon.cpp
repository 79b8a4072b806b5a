#include "album/AlbumNodeIcon.h"

#include "app/WindowIndexes.h"
#include "platform/ImageList.h"

#include <QPixmap>

QIcon AlbumNodeIcon(const TImageList &icons)
{
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(icons.image(IconIndex::Album)), QIcon::Normal);
    icon.addPixmap(QPixmap::fromImage(icons.image(IconIndex::AlbumSelected)), QIcon::Selected);
    return icon;
}
