#include "album/AlbumThumbnail.h"

#include "platform/graphics/Graphic.h"
#include "platform/graphics/JpegImage.h"

#include <QPainter>
#include <algorithm>
#include <cstring>

namespace
{
// An opaque 32-bit picture drawn unscaled is a plain copy of the rows that fall inside the
// square; a painter costs more than the copy for every thumbnail of a listing.
void copyOpaque(const QImage &picture, int x, int y, QImage &square)
{
    const int left = std::max(x, 0);
    const int right = std::min(x + picture.width(), square.width());
    const int top = std::max(y, 0);
    const int bottom = std::min(y + picture.height(), square.height());
    if (left >= right || top >= bottom)
        return;
    const size_t bytes = static_cast<size_t>(right - left) * 4;
    for (int row = top; row < bottom; ++row)
        std::memcpy(square.scanLine(row) + left * 4,
                    picture.constScanLine(row - y) + (left - x) * 4, bytes);
}
} // namespace

QImage CentredThumbnail(const TGraphic &picture, qreal ratio)
{
    const int side = qRound(100 * ratio);
    QImage square(side, side, QImage::Format_RGB32);
    square.fill(Qt::white);
    // Integer division: an odd margin leaves its extra pixel on the right and below.
    const int x = (100 - picture.Width()) / 2;
    const int y = (100 - picture.Height()) / 2;
    // The copy takes rows as stored: only for a picture stored upright.
    const auto *jpeg = dynamic_cast<const TJPEGImage *>(&picture);
    if (side == 100 && jpeg && jpeg->Orientation() == 1 &&
        jpeg->Image().format() == QImage::Format_RGB32) {
        copyOpaque(jpeg->Image(), x, y, square);
        return square;
    }
    QPainter painter(&square);
    // The service's picture has only its own pixels: on a scaled screen it is enlarged with
    // smooth filtering, and the same part of it is cut off as on a plain one.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(ratio, ratio);
    picture.Draw(painter, QRect(x, y, picture.Width(), picture.Height()));
    painter.end();
    square.setDevicePixelRatio(ratio);
    return square;
}
