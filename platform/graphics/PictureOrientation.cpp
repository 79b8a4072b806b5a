#include "platform/graphics/PictureOrientation.h"

#include <climits>
#include <cstring>

#include <libexif/exif-data.h>

int ExifOrientation(const uint8_t *block, size_t size)
{
    static const uint8_t header[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (!block || size < sizeof header || size > UINT_MAX ||
        std::memcmp(block, header, sizeof header) != 0)
        return 1;
    ExifData *exif = exif_data_new();
    if (!exif)
        return 1;
    // Read as stored: libexif would otherwise add the entries the standard asks for.
    exif_data_unset_option(exif, EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_load_data(exif, block, static_cast<unsigned int>(size));
    int orientation = 1;
    const ExifEntry *entry = exif_content_get_entry(exif->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
    if (entry && entry->format == EXIF_FORMAT_SHORT && entry->components >= 1 && entry->data &&
        entry->size >= 2) {
        const int value = exif_get_short(entry->data, exif_data_get_byte_order(exif));
        if (value >= 1 && value <= 8)
            orientation = value;
    }
    exif_data_unref(exif);
    return orientation;
}

QSize UprightSize(QSize stored, int orientation)
{
    return orientation >= 5 && orientation <= 8 ? stored.transposed() : stored;
}

QTransform OrientationTransform(int orientation, QSize stored)
{
    const qreal w = stored.width(), h = stored.height();
    // (m11, m12, m21, m22, dx, dy): x' = m11 x + m21 y + dx, y' = m12 x + m22 y + dy.
    switch (orientation) {
    case 2:
        return QTransform(-1, 0, 0, 1, w, 0);
    case 3:
        return QTransform(-1, 0, 0, -1, w, h);
    case 4:
        return QTransform(1, 0, 0, -1, 0, h);
    case 5:
        return QTransform(0, 1, 1, 0, 0, 0);
    case 6:
        return QTransform(0, 1, -1, 0, h, 0);
    case 7:
        return QTransform(0, -1, -1, 0, h, w);
    case 8:
        return QTransform(0, -1, 1, 0, 0, w);
    default:
        return QTransform();
    }
}

QImage UprightImage(const QImage &stored, int orientation)
{
    // Mirrors and quarter turns: Qt copies rows or rotates in tiles, no resampling.
    switch (orientation) {
    case 2:
        return stored.mirrored(true, false);
    case 3:
        return stored.mirrored(true, true);
    case 4:
        return stored.mirrored(false, true);
    case 5:
        return stored.transformed(QTransform().rotate(90)).mirrored(true, false);
    case 6:
        return stored.transformed(QTransform().rotate(90));
    case 7:
        return stored.transformed(QTransform().rotate(90)).mirrored(false, true);
    case 8:
        return stored.transformed(QTransform().rotate(270));
    default:
        return stored;
    }
}
