#pragma once
// An image list: numbered pictures of one size (100 x 100 for thumbnails, 16 x 16 for icons).
#include <QImage>
#include <QObject>
#include <QString>
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
    // Adds one of the program's PNG resources; it is decoded when its picture is first read.
    int AddResource(const QString &path);
    void Replace(int index, const QImage &image);
    void Clear();
    const QImage &image(int index) const;

signals:
    // Index of the replaced picture, or -1 after Add/Clear.
    void changed(int index);

private:
    QImage fitted(const QImage &image) const;

    int width;
    int height;
    // A slot whose source is not empty has not been decoded yet.
    mutable std::vector<QImage> images;
    mutable std::vector<QString> sources;
};
