#pragma once
// An image list: numbered pictures of one size (100 x 100 for thumbnails, 16 x 16 for icons).
#include <QImage>
#include <QObject>
#include <vector>

class TImageList : public QObject
{
    Q_OBJECT
public:
    TImageList(int width, int height, QObject *parent = nullptr);

    int Width() const { return width; }
    int Height() const { return height; }
    int Count() const { return static_cast<int>(images.size()); }
    // Adds a picture (fitted into the list's size from the top left); returns its index.
    int Add(const QImage &image);
    void Replace(int index, const QImage &image);
    void Clear();
    const QImage &image(int index) const { return images.at(static_cast<size_t>(index)); }

signals:
    // Index of the replaced picture, or -1 after Add/Clear.
    void changed(int index);

private:
    QImage fitted(const QImage &image) const;

    int width;
    int height;
    std::vector<QImage> images;
};
