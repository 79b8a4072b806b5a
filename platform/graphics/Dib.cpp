#include "platform/graphics/Dib.h"

#include "spi.h"

#include <bit>
#include <cstring>

namespace
{

uint32_t readU32(const uint8_t *p)
{
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

// One channel of a bit-field pixel as 8 bits: a narrower field is shifted up (5 bits 31 give
// 248, as Qt's BMP reader gives them, so that drawing and the BMP round trip agree), a wider
// one shifted down. A mask without bits gives 0.
int channel(uint32_t pixel, uint32_t mask)
{
    if (mask == 0)
        return 0;
    const int shift = std::countr_zero(mask);
    const uint32_t value = (pixel & mask) >> shift;
    const int width = std::bit_width(mask >> shift);
    return int(width >= 8 ? value >> (width - 8) : value << (8 - width)) & 0xFF;
}

} // namespace

std::optional<TDibLayout> CheckDib(const void *info, size_t infoBytes, size_t bitsBytes)
{
    if (!info || infoBytes < sizeof(BITMAPINFOHEADER))
        return std::nullopt;
    BITMAPINFOHEADER h;
    std::memcpy(&h, info, sizeof h);
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biSize > infoBytes)
        return std::nullopt;
    if (h.biWidth <= 0 || h.biHeight == 0)
        return std::nullopt;
    const uint16_t bits = h.biBitCount;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return std::nullopt;
    const bool bitFields = h.biCompression == BI_BITFIELDS;
    if (h.biCompression != BI_RGB && !(bitFields && (bits == 16 || bits == 32)))
        return std::nullopt;

    TDibLayout d;
    d.Width = h.biWidth;
    d.Height = h.biHeight;
    d.BitCount = bits;
    d.Compression = h.biCompression;
    d.HeaderSize = h.biSize;
    d.ColorCount = h.biClrUsed;
    if (d.ColorCount == 0)
        d.ColorCount = bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0;
    if (bits <= 8 && d.ColorCount > (1u << bits))
        return std::nullopt;

    // A 40-byte header is followed by the masks when it says BI_BITFIELDS; larger headers
    // hold them at the same place inside themselves.
    const auto *bytes = static_cast<const uint8_t *>(info);
    // A header between 40 and 52 bytes would hold the masks only in part.
    uint64_t tableOffset = d.HeaderSize;
    if (bitFields && d.HeaderSize == sizeof(BITMAPINFOHEADER))
        tableOffset += 12;
    else if (bitFields && d.HeaderSize < sizeof(BITMAPINFOHEADER) + 12)
        return std::nullopt;
    const uint64_t infoSize = tableOffset + 4 * uint64_t(d.ColorCount);
    if (infoSize > infoBytes || infoSize > UINT32_MAX)
        return std::nullopt;
    d.ColorTableOffset = uint32_t(tableOffset);
    d.InfoSize = uint32_t(infoSize);
    if (bitFields) {
        d.RedMask = readU32(bytes + 40);
        d.GreenMask = readU32(bytes + 44);
        d.BlueMask = readU32(bytes + 48);
    } else if (bits == 16) {
        d.RedMask = 0x7C00, d.GreenMask = 0x03E0, d.BlueMask = 0x001F;
    } else if (bits == 32) {
        d.RedMask = 0xFF0000, d.GreenMask = 0xFF00, d.BlueMask = 0xFF;
    }

    const uint64_t rowBytes = (uint64_t(bits) * uint64_t(d.Width) + 31) / 32 * 4;
    const uint64_t rows = d.Height < 0 ? -int64_t(d.Height) : int64_t(d.Height);
    const uint64_t imageSize = rowBytes * rows;
    if (imageSize > bitsBytes || imageSize > UINT32_MAX)
        return std::nullopt;
    d.RowBytes = uint32_t(rowBytes);
    d.ImageSize = uint32_t(imageSize);
    return d;
}

QList<QRgb> DibColorTable(const TDibLayout &layout, const void *info)
{
    const auto *table = static_cast<const uint8_t *>(info) + layout.ColorTableOffset;
    QList<QRgb> colors;
    colors.reserve(qsizetype(layout.ColorCount));
    for (uint32_t i = 0; i < layout.ColorCount; ++i) {
        const uint8_t *q = table + 4 * size_t(i); // blue, green, red, reserved
        colors.append(qRgb(q[2], q[1], q[0]));
    }
    return colors;
}

QImage DibToImage(const TDibLayout &d, const void *info, const void *bits)
{
    const int width = d.Width;
    const int height = d.Height < 0 ? -d.Height : d.Height;
    const bool indexed = d.BitCount <= 8;
    QImage image(width, height, indexed ? QImage::Format_Indexed8 : QImage::Format_RGB32);
    if (image.isNull())
        return image;
    if (indexed) {
        // Indexes past the table draw black rather than whatever Qt finds there.
        QList<QRgb> colors = DibColorTable(d, info);
        colors.resize(1 << d.BitCount, qRgb(0, 0, 0));
        image.setColorTable(colors);
    }
    const auto *pixels = static_cast<const uint8_t *>(bits);
    for (int y = 0; y < height; ++y) {
        const uint8_t *row =
            pixels + size_t(d.RowBytes) * size_t(d.Height < 0 ? y : height - 1 - y);
        uchar *out = image.scanLine(y);
        auto *rgb = reinterpret_cast<QRgb *>(out);
        switch (d.BitCount) {
        case 1:
            for (int x = 0; x < width; ++x)
                out[x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
            break;
        case 4:
            for (int x = 0; x < width; ++x)
                out[x] = (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
            break;
        case 8:
            std::memcpy(out, row, size_t(width));
            break;
        case 16:
            for (int x = 0; x < width; ++x) {
                const uint32_t p = uint32_t(row[2 * x]) | uint32_t(row[2 * x + 1]) << 8;
                rgb[x] =
                    qRgb(channel(p, d.RedMask), channel(p, d.GreenMask), channel(p, d.BlueMask));
            }
            break;
        case 24:
            for (int x = 0; x < width; ++x)
                rgb[x] = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
            break;
        case 32:
            if (d.Compression == BI_RGB) {
                for (int x = 0; x < width; ++x)
                    rgb[x] = qRgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
            } else {
                for (int x = 0; x < width; ++x) {
                    const uint32_t p = readU32(row + 4 * x);
                    rgb[x] = qRgb(channel(p, d.RedMask), channel(p, d.GreenMask),
                                  channel(p, d.BlueMask));
                }
            }
            break;
        }
    }
    return image;
}
