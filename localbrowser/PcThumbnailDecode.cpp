#include "localbrowser/PcThumbnailDecode.h"

#include "localbrowser/ThumbnailGeometry.h"
#include "platform/base/Exception.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Picture.h"

#include <new>

TPcThumbnail DecodePcThumbnail(const QByteArray &path, qreal ratio)
{
    TPcThumbnail result;
    TPicture picture;
    TBitmap work;
    // The square is 100 x 100 in the list's layout and holds ratio times as many pixels on a
    // scaled screen, drawn from the decoded picture; the placement stays in layout pixels.
    try {
        picture.LoadFromLocalFile(path);
        const int W = picture.Width(), H = picture.Height();
        const int side = ThumbnailSide(ratio);
        work.SetSize(side, side);
        const TThumbnailPlacement place = ThumbnailPlacement(W, H);
        if (side == 100 && !place.Scaled)
            work.Canvas()->Draw(place.Rect.x(), place.Rect.y(), *picture.Graphic());
        else
            work.Canvas()->StretchDraw(ScaledToDevice(place.Rect, ratio), *picture.Graphic());
    } catch (const Exception &) {
        // A file that cannot be read or decoded gets no thumbnail, without a word.
        return result;
    } catch (const std::bad_alloc &) {
        // So does a picture too big for memory.
        return result;
    }
    result.Made = true;
    result.Image = work.Image();
    result.Image.setDevicePixelRatio(ratio);
    return result;
}
