#pragma once
// An image list: numbered pictures of one size (100 x 100 for thumbnails, 16 x 16 for icons).
// The size is in layout pixels: a picture made for a scaled screen holds more pixels and says
// so through its device pixel ratio.
#include <QIcon>
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
    int Count() const { return static_cast<int>(pictures.size()); }
    // Adds a picture (fitted into the list's size from the top left); returns its index.
    int Add(const QImage &image);
    // Adds one of the program's PNG resources; it is decoded when its picture is first read.
    int AddResource(const QString &path);
    void Replace(int index, const QImage &image);
    void Clear();
    const QImage &image(int index) const;
    // The picture for a screen of the given pixel ratio: a resource's double-density version
    // where there is one and the ratio is above 1, otherwise image(index).
    QImage image(int index, qreal ratio) const;
    // The picture as an icon holding every density the list has of it.
    QIcon Icon(int index) const;

signals:
    // Index of the replaced picture, or -1 after Add/Clear.
    void changed(int index);

private:
    struct Slot {
        QImage image;
        QImage doubled;
        QString source;      // the resource behind the picture, empty for an added picture
        bool decoded = true; // image holds the resource's picture
        bool doubledRead = true;
    };
    QImage fitted(const QImage &image) const;

    int width;
    int height;
    mutable std::vector<Slot> pictures;
};
