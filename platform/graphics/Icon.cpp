#include "platform/graphics/Icon.h"

#include "platform/graphics/GraphicsErrors.h"
#include "platform/graphics/StrictImageReader.h"

#include <QPainter>

void TIcon::LoadFromStream(QIODevice &Stream)
{
    QImage loaded =
        ReadLargestImageStrictly(Stream, "ico", QStringLiteral("Icon image is not valid"));
    image = loaded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    Changed();
}

void TIcon::Assign(const TGraphic &Source)
{
    auto *icon = dynamic_cast<const TIcon *>(&Source);
    if (!icon)
        throw EConvertError(QStringLiteral("Cannot assign a picture of another kind to an icon"));
    image = icon->image;
    Changed();
}

void TIcon::Draw(QPainter &Painter, const QRect &Rect) const
{
    if (image.isNull())
        return;
    if (Rect.size() == image.size())
        Painter.drawImage(Rect.topLeft(), image);
    else
        Painter.drawImage(Rect, image);
}
