#include "album/AlbumNodeIcon.h"

#include "app/WindowIndexes.h"
#include "platform/widgets/ImageList.h"

#include <QPixmap>

QIcon AlbumNodeIcon(const TImageList &icons)
{
    QIcon icon;
    // Each state at both densities; the tree picks the one its screen needs.
    for (qreal ratio : {1, 2}) {
        icon.addPixmap(QPixmap::fromImage(icons.image(IconIndex::Album, ratio)), QIcon::Normal);
        icon.addPixmap(QPixmap::fromImage(icons.image(IconIndex::AlbumSelected, ratio)),
                       QIcon::Selected);
    }
    return icon;
}
