#include "platform/ImageList.h"

#include <QPainter>

TImageList::TImageList(int width, int height, QObject *parent)
    : QObject(parent), width(width), height(height)
{
}

QImage TImageList::fitted(const QImage &image) const
{
    if (image.width() == width && image.height() == height)
        return image;
    QImage slot(width, height, QImage::Format_ARGB32_Premultiplied);
    slot.fill(Qt::transparent);
    QPainter painter(&slot);
    painter.drawImage(0, 0, image);
    return slot;
}

int TImageList::Add(const QImage &image)
{
    images.push_back(fitted(image));
    emit changed(-1);
    return Count() - 1;
}

void TImageList::Replace(int index, const QImage &image)
{
    if (index < 0 || index >= Count())
        return;
    images[static_cast<size_t>(index)] = fitted(image);
    emit changed(index);
}

void TImageList::Clear()
{
    images.clear();
    emit changed(-1);
}
