#include "ExifOrientation.h"

#include "../common/Orientation.h"

#include <cstring>
#include <libexif/exif-data.h>
#include <memory>
#include <vector>

namespace spi
{

namespace
{

constexpr uint8_t ExifMark[6] = {'E', 'x', 'i', 'f', 0, 0};

struct ExifDataReleaser {
    void operator()(ExifData *data) const { exif_data_unref(data); }
};

} // namespace

int exifOrientation(const uint8_t *block, size_t size)
{
    // libexif finds a block by its mark (or inside JPEG markers): a bare one gets the mark.
    std::vector<uint8_t> marked;
    if (size < sizeof ExifMark || std::memcmp(block, ExifMark, sizeof ExifMark) != 0) {
        marked.reserve(sizeof ExifMark + size);
        marked.assign(ExifMark, ExifMark + sizeof ExifMark);
        marked.insert(marked.end(), block, block + size);
        block = marked.data();
        size = marked.size();
    }
    if (size > 0xffffffffu)
        return UprightOrientation;
    std::unique_ptr<ExifData, ExifDataReleaser> data(exif_data_new());
    if (!data)
        return UprightOrientation;
    // Read as written: no tags added or dropped to follow the standard, maker notes untouched.
    exif_data_unset_option(data.get(), EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_set_option(data.get(), EXIF_DATA_OPTION_DONT_CHANGE_MAKER_NOTE);
    exif_data_load_data(data.get(), block, unsigned(size));
    ExifEntry *entry = exif_content_get_entry(data->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
    if (!entry || entry->format != EXIF_FORMAT_SHORT || entry->components < 1 || !entry->data ||
        entry->size < 2)
        return UprightOrientation;
    return normalisedOrientation(exif_get_short(entry->data, exif_data_get_byte_order(data.get())));
}

} // namespace spi
