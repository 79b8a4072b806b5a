#include "platform/graphics/StrictImageReader.h"

#include "platform/graphics/GraphicsErrors.h"
#include "platform/graphics/PictureLimits.h"

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

// A reader of Format only: the data is never taken for another format.
void readOnlyAs(QImageReader &reader)
{
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
}

// The reader's current image, refused before decoding when its claimed size is over the
// picture limit.
QImage readWithinLimit(QImageReader &reader, const QString &FailureText)
{
    const QSize claimed = reader.size();
    if (claimed.isValid())
        CheckPictureSize(claimed.width(), claimed.height());
    QImage image = reader.read();
    if (image.isNull())
        throw EInvalidGraphic(FailureText);
    return image;
}
} // namespace

QImage ReadImageStrictly(QIODevice &Stream, const char *Format, const QString &FailureText)
{
    useOurPictureLimit();
    QImageReader reader(&Stream, Format);
    readOnlyAs(reader);
    return readWithinLimit(reader, FailureText);
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
        readOnlyAs(sizes);
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
    readOnlyAs(reader);
    if (best > 0 && !reader.jumpToImage(best))
        throw EInvalidGraphic(FailureText);
    return readWithinLimit(reader, FailureText);
}
