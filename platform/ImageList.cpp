#include "platform/ImageList.h"

#include "platform/ResourceImages.h"

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
    sources.emplace_back();
    emit changed(-1);
    return Count() - 1;
}

int TImageList::AddResource(const QString &path)
{
    images.emplace_back();
    sources.push_back(path);
    emit changed(-1);
    return Count() - 1;
}

const QImage &TImageList::image(int index) const
{
    const size_t at = static_cast<size_t>(index);
    QImage &slot = images.at(at);
    if (!sources[at].isEmpty()) {
        slot = fitted(LoadResourceImage(sources[at]));
        sources[at].clear();
    }
    return slot;
}

void TImageList::Replace(int index, const QImage &image)
{
    if (index < 0 || index >= Count())
        return;
    images[static_cast<size_t>(index)] = fitted(image);
    sources[static_cast<size_t>(index)].clear();
    emit changed(index);
}

void TImageList::Clear()
{
    images.clear();
    sources.clear();
    emit changed(-1);
}
