#include "service/store/Thumbnail.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QPainter>

#include <atomic>
#include <fstream>
#include <iterator>
#include <string>

namespace service
{

namespace
{

QImage placeholder()
{
    QImage image(kThumbnailSize, kThumbnailSize, QImage::Format_RGB32);
    image.fill(QColor(220, 220, 220));
    QPainter p(&image);
    p.setPen(QPen(QColor(160, 160, 160), 3));
    p.drawLine(20, 20, 80, 80);
    p.drawLine(80, 20, 20, 80);
    return image;
}

std::string encodeJpeg(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 85);
    return bytes.toStdString();
}

} // namespace

std::string makeThumbnailJpeg(const std::filesystem::path &picture)
{
    QImageReader reader(QString::fromStdString(picture.string()));
    reader.setDecideFormatFromContent(true);
    // Made upright, as a phone's turned portrait is meant to be seen (EXIF orientation).
    // The size and the scaled size are those of the picture as stored; the turn comes after.
    reader.setAutoTransform(true);
    QSize size = reader.size();
    if (size.isValid() && (size.width() > kThumbnailSize || size.height() > kThumbnailSize))
        reader.setScaledSize(size.scaled(kThumbnailSize, kThumbnailSize, Qt::KeepAspectRatio));
    QImage image = reader.read();
    if (image.isNull())
        return encodeJpeg(placeholder());
    if (image.width() > kThumbnailSize || image.height() > kThumbnailSize)
        image = image.scaled(kThumbnailSize, kThumbnailSize, Qt::KeepAspectRatio,
                             Qt::SmoothTransformation);
    // JPEG has no transparency: lay the picture on white.
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.fill(Qt::white);
    QPainter(&flat).drawImage(0, 0, image);
    return encodeJpeg(flat);
}

std::string thumbnailJpeg(const std::filesystem::path &picture,
                          const std::filesystem::path &cachePath)
{
    {
        std::ifstream in(cachePath, std::ios::binary);
        if (in)
            return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::string jpeg = makeThumbnailJpeg(picture);
    // Two requests may make the same thumbnail at once; each writes its own file.
    static std::atomic<unsigned> serial{0};
    std::filesystem::path temp = cachePath;
    temp += "." + std::to_string(++serial) + ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(jpeg.data(), static_cast<std::streamsize>(jpeg.size()));
    }
    std::error_code ec;
    std::filesystem::rename(temp, cachePath, ec);
    if (ec)
        std::filesystem::remove(temp, ec);
    return jpeg;
}

} // namespace service
