#include "platform/graphics/PictureLimits.h"

#include "platform/graphics/GraphicsErrors.h"

namespace
{
qint64 maxPixels = DefaultMaxPicturePixels;
}

qint64 MaxPicturePixels()
{
    return maxPixels;
}

void SetMaxPicturePixels(qint64 pixels)
{
    maxPixels = pixels > 0 ? pixels : 1;
}

void CheckPictureSize(qint64 width, qint64 height)
{
    if (width <= 0 || height <= 0)
        throw EInvalidGraphic(
            QStringLiteral("Picture has no pixels (%1 x %2)").arg(width).arg(height));
    if (width > maxPixels / height)
        throw EInvalidGraphic(
            QStringLiteral("Picture is too large (%1 x %2)").arg(width).arg(height));
}
