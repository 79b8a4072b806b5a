#pragma once
// The orientation an EXIF block records, read through libexif. The block is what PNG's eXIf and
// WebP's EXIF chunks hold: a TIFF header and its directories, with or without the "Exif\0\0"
// mark that some writers put before them.
#include <cstddef>
#include <cstdint>

namespace spi
{

// 1 to 8; 1 (upright) when the block is missing, damaged or says nothing of orientation.
int exifOrientation(const uint8_t *block, size_t size);

} // namespace spi
