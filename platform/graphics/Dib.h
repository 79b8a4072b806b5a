#pragma once
// Device-independent bitmaps as plug-ins return them: a BITMAPINFO block (header, bit-field
// masks, colour table) and a block of pixel rows, each row padded to 4 bytes, bottom-up unless
// the height is negative. The blocks come from outside the program, so their layout is checked
// against the blocks' sizes before a byte past the header is read.
#include <QImage>
#include <QList>
#include <QRgb>
#include <cstddef>
#include <cstdint>
#include <optional>

struct TDibLayout {
    int32_t Width = 0;
    int32_t Height = 0; // as stored: negative for rows that run top-down
    uint16_t BitCount = 0;
    uint32_t Compression = 0; // BI_RGB or BI_BITFIELDS
    uint32_t HeaderSize = 0;  // the header's own size field: 40, or 108/124 for V4/V5
    // The header's used-colours value; when that is 0: 2, 16 or 256 for 1, 4 or 8 bits per
    // pixel, 0 otherwise.
    uint32_t ColorCount = 0;
    uint32_t ColorTableOffset = 0; // where the colour table starts in the info block
    uint32_t InfoSize = 0;         // header, masks and colour table
    uint32_t RowBytes = 0;
    uint32_t ImageSize = 0; // RowBytes x |Height|
    uint32_t RedMask = 0, GreenMask = 0, BlueMask = 0;
};

// Reads the layout of a DIB whose info block holds infoBytes and whose pixel block holds
// bitsBytes. Nothing (nullopt) when the info block is too small for its header, masks or
// colour table, the pixel block too small for the rows, the width not positive, the height
// zero, the bit count not one of 1, 4, 8, 16, 24, 32, the colour count beyond what the bit
// count can index, the compression one whose rows are not plain (only BI_RGB, and BI_BITFIELDS
// for 16 and 32 bits are drawn), or a header shorter than 40 bytes.
//
// InfoSize is 40 + 4 x ColorCount for a 40-byte header. A larger header keeps its own size,
// and a 40-byte BI_BITFIELDS header its three masks, so that a BMP file written from
// InfoSize bytes is whole.
std::optional<TDibLayout> CheckDib(const void *info, size_t infoBytes, size_t bitsBytes);

// The colour table's first ColorCount entries as opaque colours.
QList<QRgb> DibColorTable(const TDibLayout &layout, const void *info);

// The picture as an image with rows top-down: Indexed8 for up to 8 bits per pixel, RGB32
// otherwise. A null image when memory runs out. The layout must come from CheckDib for these
// same blocks.
QImage DibToImage(const TDibLayout &layout, const void *info, const void *bits);
