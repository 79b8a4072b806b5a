#include "platform/JpegImage.h"

#include "platform/GraphicsErrors.h"
#include "platform/JpegDecoder.h"

#include <QPainter>

void TJPEGImage::LoadFromStream(QIODevice &Stream)
{
    TJpegDecodeResult result = DecodeJpeg(Stream);
    image = std::move(result.Image);
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
    warnings = jpeg->warnings;
    truncated = jpeg->truncated;
    Changed();
}

void TJPEGImage::Draw(QPainter &Painter, const QRect &Rect) const
{
    if (!image.isNull() && Rect.width() > 0 && Rect.height() > 0)
        Painter.drawImage(Rect, image);
}
