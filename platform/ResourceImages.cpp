#include "platform/ResourceImages.h"

#include <QFile>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>

QImage LoadResourceImage(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&file, "png");
    // Without this, every installed image plug-in is loaded to ask whether it reads "png".
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

namespace
{
class LazyIconEngine : public QIconEngine
{
public:
    explicit LazyIconEngine(const QString &path) : path(path) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }

    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }

    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }

    QIconEngine *clone() const override { return new LazyIconEngine(*this); }
    QString key() const override { return QStringLiteral("tovela-lazy-resource"); }
    // A compiled-in resource is there; asking must not decode it.
    bool isNull() override { return decoded && loaded.isNull(); }

private:
    // The decoded picture behind an ordinary pixmap icon, made at first use.
    const QIcon &icon()
    {
        if (!decoded) {
            decoded = true;
            const QImage image = LoadResourceImage(path);
            if (!image.isNull())
                loaded = QIcon(QPixmap::fromImage(image));
        }
        return loaded;
    }

    QString path;
    bool decoded = false;
    QIcon loaded;
};
} // namespace

QIcon LazyResourceIcon(const QString &path)
{
    return QIcon(new LazyIconEngine(path));
}
