#include "platform/graphics/ResourceImages.h"

#include <QFile>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>

namespace
{
QImage readPng(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&file, "png");
    // Without this, every installed image plug-in is loaded to ask whether it reads "png".
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

// Qt's naming of a picture's double-density version: "up.png" -> "up@2x.png".
QString doubledPath(const QString &path)
{
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? path + QStringLiteral("@2x")
                   : path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
}
} // namespace

QImage LoadResourceImage(const QString &path, qreal ratio)
{
    if (ratio > 1) {
        QImage doubled = readPng(doubledPath(path));
        if (!doubled.isNull()) {
            doubled.setDevicePixelRatio(2);
            return doubled;
        }
    }
    return readPng(path);
}

namespace
{
class LazyIconEngine : public QIconEngine
{
public:
    explicit LazyIconEngine(const QStringList &paths) : paths(paths) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }

    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }

    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
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
    // The decoded pictures behind an ordinary pixmap icon, made at first use.
    const QIcon &icon()
    {
        if (!decoded) {
            decoded = true;
            for (const QString &path : paths) {
                const QImage plain = LoadResourceImage(path);
                if (plain.isNull())
                    continue;
                loaded.addPixmap(QPixmap::fromImage(plain));
                const QImage doubled = LoadResourceImage(path, 2);
                if (doubled.devicePixelRatio() > 1)
                    loaded.addPixmap(QPixmap::fromImage(doubled));
            }
        }
        return loaded;
    }

    QStringList paths;
    bool decoded = false;
    QIcon loaded;
};
} // namespace

QIcon LazyResourceIcon(const QStringList &paths)
{
    return QIcon(new LazyIconEngine(paths));
}
