#include "platform/graphics/JpegImage.h"

#include "platform/graphics/GraphicsErrors.h"
#include "platform/graphics/JpegDecoder.h"
#include "platform/graphics/PictureOrientation.h"

#include <QPainter>

void TJPEGImage::LoadFromStream(QIODevice &Stream)
{
    TJpegDecodeResult result = DecodeJpeg(Stream);
    image = std::move(result.Image);
    orientation = result.Orientation;
    warnings = result.Warnings;
    truncated = result.Truncated;
    Changed();
}

void TJPEGImage::Assign(const TGraphic &Source)
{
    auto *jpeg = dynamic_cast<const TJPEGImage *>(&Source);
    if (!jpeg)
        throw EConvertError(
            QStringLiteral("Cannot assign a picture of another kind to a JPEG picture"));
    image = jpeg->image;
    orientation = jpeg->orientation;
    warnings = jpeg->warnings;
    truncated = jpeg->truncated;
    Changed();
}

int TJPEGImage::Width() const
{
    return UprightSize(image.size(), orientation).width();
}

int TJPEGImage::Height() const
{
    return UprightSize(image.size(), orientation).height();
}

QImage TJPEGImage::ToImage() const
{
    return UprightImage(image, orientation);
}

void TJPEGImage::Draw(QPainter &Painter, const QRect &Rect) const
{
    if (image.isNull() || Rect.width() <= 0 || Rect.height() <= 0)
        return;
    if (orientation == 1) {
        Painter.drawImage(Rect, image);
        return;
    }
    // Stored pixels -> upright picture -> Rect, then whatever the painter already maps.
    const QSize upright = UprightSize(image.size(), orientation);
    const QTransform place = OrientationTransform(orientation, image.size()) *
                             QTransform::fromScale(qreal(Rect.width()) / upright.width(),
                                                   qreal(Rect.height()) / upright.height()) *
                             QTransform::fromTranslate(Rect.x(), Rect.y());
    const QTransform outer = Painter.worldTransform();
    Painter.setWorldTransform(place * outer);
    Painter.drawImage(QPointF(0, 0), image);
    Painter.setWorldTransform(outer);
}
