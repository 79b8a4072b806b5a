#include "platform/StrictImageReader.h"

#include "platform/GraphicsErrors.h"
#include "platform/PictureLimits.h"

#include <QImageReader>
#include <limits>

QImage ReadImageStrictly(QIODevice &Stream, const char *Format, const QString &FailureText)
{
    // Qt refuses images above its own allocation limit (128 MiB by default); ours is the
    // picture limit, the same for every kind of picture.
    const qint64 limitMiB = MaxPicturePixels() * 4 / (1024 * 1024) + 1;
    if (QImageReader::allocationLimit() != limitMiB)
        QImageReader::setAllocationLimit(
            int(qMin<qint64>(limitMiB, std::numeric_limits<int>::max())));

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
