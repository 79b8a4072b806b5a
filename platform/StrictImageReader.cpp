#include "platform/StrictImageReader.h"

#include "platform/GraphicsErrors.h"
#include "platform/PictureLimits.h"

#include <QBuffer>
#include <QImageReader>
#include <limits>

namespace
{
void useOurPictureLimit()
{
    // Qt refuses images above its own allocation limit (128 MiB by default); ours is the
    // picture limit, the same for every kind of picture.
    const qint64 limitMiB = MaxPicturePixels() * 4 / (1024 * 1024) + 1;
    if (QImageReader::allocationLimit() != limitMiB)
        QImageReader::setAllocationLimit(
            int(qMin<qint64>(limitMiB, std::numeric_limits<int>::max())));
}
} // namespace

QImage ReadImageStrictly(QIODevice &Stream, const char *Format, const QString &FailureText)
{
    useOurPictureLimit();
    QImageReader reader(&Stream, Format);
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    const QSize claimed = reader.size();
    if (claimed.isValid())
        CheckPictureSize(claimed.width(), claimed.height());
    QImage image = reader.read();
    if (image.isNull())
        throw EInvalidGraphic(FailureText);
    return image;
}

QImage ReadLargestImageStrictly(QIODevice &Stream, const char *Format, const QString &FailureText)
{
    useOurPictureLimit();
    // The directory is read twice (sizes, then the chosen image), so the data is kept.
    QByteArray bytes = Stream.readAll();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    int best = 0;
    qint64 bestArea = -1;
    {
        QImageReader sizes(&buffer, Format);
        sizes.setAutoDetectImageFormat(false);
        sizes.setDecideFormatFromContent(false);
        const int count = sizes.imageCount();
        for (int i = 0; i < count; ++i) {
            if (!sizes.jumpToImage(i))
                break;
            const QSize size = sizes.size();
            const qint64 area = qint64(size.width()) * size.height();
            if (size.isValid() && area > bestArea) {
                best = i;
                bestArea = area;
            }
        }
    }
    buffer.seek(0);
    QImageReader reader(&buffer, Format);
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    if (best > 0 && !reader.jumpToImage(best))
        throw EInvalidGraphic(FailureText);
    const QSize claimed = reader.size();
    if (claimed.isValid())
        CheckPictureSize(claimed.width(), claimed.height());
    QImage image = reader.read();
    if (image.isNull())
        throw EInvalidGraphic(FailureText);
    return image;
}
