#include "album/AlbumThumbnail.h"

#include "platform/Graphic.h"

#include <QPainter>

QImage CentredThumbnail(const TGraphic &picture)
{
    QImage square(100, 100, QImage::Format_RGB32);
    square.fill(Qt::white);
    // Integer division: an odd margin leaves its extra pixel on the right and below.
    const int x = (100 - picture.Width()) / 2;
    const int y = (100 - picture.Height()) / 2;
    QPainter painter(&square);
    picture.Draw(painter, QRect(x, y, picture.Width(), picture.Height()));
    return square;
}
