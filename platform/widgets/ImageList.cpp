#include "platform/widgets/ImageList.h"

#include "platform/graphics/ResourceImages.h"

#include <QPainter>
#include <QPixmap>

TImageList::TImageList(int width, int height, QObject *parent)
    : QObject(parent), width(width), height(height)
{
}

QImage TImageList::fitted(const QImage &image) const
{
    if (image.isNull() || image.deviceIndependentSize().toSize() == QSize(width, height))
        return image;
    const qreal ratio = image.devicePixelRatio();
    QImage slot(qRound(width * ratio), qRound(height * ratio), QImage::Format_ARGB32_Premultiplied);
    slot.setDevicePixelRatio(ratio);
    slot.fill(Qt::transparent);
    QPainter painter(&slot);
    painter.drawImage(0, 0, image);
    return slot;
}

int TImageList::Add(const QImage &image)
{
    pictures.push_back({fitted(image), {}, {}, true, true});
    emit changed(-1);
    return Count() - 1;
}

int TImageList::AddResource(const QString &path)
{
    pictures.push_back({{}, {}, path, false, false});
    emit changed(-1);
    return Count() - 1;
}

const QImage &TImageList::image(int index) const
{
    Slot &slot = pictures.at(static_cast<size_t>(index));
    if (!slot.decoded) {
        slot.image = fitted(LoadResourceImage(slot.source));
        slot.decoded = true;
    }
    return slot.image;
}

QImage TImageList::image(int index, qreal ratio) const
{
    const QImage &plain = image(index);
    if (ratio <= 1)
        return plain;
    Slot &slot = pictures[static_cast<size_t>(index)];
    if (!slot.doubledRead) {
        const QImage doubled = LoadResourceImage(slot.source, 2);
        if (doubled.devicePixelRatio() > 1)
            slot.doubled = fitted(doubled);
        slot.doubledRead = true;
    }
    return slot.doubled.isNull() ? plain : slot.doubled;
}

QIcon TImageList::Icon(int index) const
{
    QIcon icon(QPixmap::fromImage(image(index)));
    const QImage doubled = image(index, 2);
    if (doubled.devicePixelRatio() > 1)
        icon.addPixmap(QPixmap::fromImage(doubled));
    return icon;
}

void TImageList::Replace(int index, const QImage &image)
{
    if (index < 0 || index >= Count())
        return;
    pictures[static_cast<size_t>(index)] = {fitted(image), {}, {}, true, true};
    emit changed(index);
}

void TImageList::Clear()
{
    pictures.clear();
    emit changed(-1);
}
