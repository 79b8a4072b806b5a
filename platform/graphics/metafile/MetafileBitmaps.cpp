// The metafile player's bitmaps: the DIBs records carry, decoded and checked against their
// record, and the block transfers that draw them.
#include "platform/graphics/metafile/MetafilePlayer.h"

#include "platform/base/Exception.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/PictureLimits.h"
#include "platform/graphics/metafile/MetafileGeometry.h"

#include <QBuffer>
#include <QHash>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace
{
// A monochrome pattern is recoloured each time it paints; patterns are a few pixels wide, so
// wider ones are damaged files.
constexpr qint64 MaxPatternSide = 1024;

// What the decoders read of a DIB's header, the OS/2 core header or an info header.
struct TDibFields {
    qint64 Width;
    qint64 Height; // negative for rows from the top down
    int Bits;
    quint32 Compression;
};

TDibFields dibFields(const TMetafileRecord &dib, quint32 headerSize)
{
    const bool core = headerSize == BitmapCoreHeaderSize;
    return {core ? dib.U16(4) : dib.I32(4), core ? dib.U16(6) : dib.I32(8),
            core ? dib.U16(10) : dib.U16(14), core ? BI_RGB : dib.U32(16)};
}
} // namespace

qsizetype TMetafilePlayer::DibInfoSize(QByteArrayView Packed)
{
    const TMetafileRecord dib(0, Packed);
    const quint32 headerSize = dib.U32(0);
    if (headerSize == BitmapCoreHeaderSize) {
        const quint16 bits = dib.U16(10);
        return BitmapCoreHeaderSize + (bits <= 8 ? qsizetype(3) << bits : 0);
    }
    if (headerSize < BitmapInfoHeaderSize || headerSize > quint32(Packed.size()))
        return -1;
    const quint16 bits = dib.U16(14);
    const quint32 compression = dib.U32(16);
    const quint32 used = dib.U32(32);
    const qint64 colors = used ? qint64(used) : bits <= 8 ? qint64(1) << bits : 0;
    if (colors > 256 && bits <= 8)
        return -1;
    qint64 size = headerSize + colors * 4;
    // The colour masks follow a plain info header: three, or four with alpha.
    if ((compression == BI_BITFIELDS || compression == BI_ALPHABITFIELDS) &&
        headerSize == BitmapInfoHeaderSize)
        size += compression == BI_BITFIELDS ? 12 : 16;
    return size <= Packed.size() ? qsizetype(size) : -1;
}

QImage TMetafilePlayer::DecodeMonoDib(QByteArrayView Info, QByteArrayView Bits)
{
    const TMetafileRecord dib(0, Info);
    const quint32 headerSize = dib.U32(0);
    if (!dib.Has(0, BitmapCoreHeaderSize) ||
        (headerSize != BitmapCoreHeaderSize &&
         (headerSize < BitmapInfoHeaderSize || !dib.Has(0, 20))))
        return {};
    const auto [width, height, bits, compression] = dibFields(dib, headerSize);
    if (bits != 1 || compression != BI_RGB || width <= 0 || height == 0 ||
        height == std::numeric_limits<qint32>::min())
        return {};
    const qint64 rows = std::abs(height), stride = (width + 31) / 32 * 4;
    if (width > MaxPatternSide || rows > MaxPatternSide || stride * rows > Bits.size())
        return {};
    QImage image(int(width), int(rows), QImage::Format_Mono);
    if (image.isNull())
        return {};
    image.setColorTable({0xFF000000u, 0xFFFFFFFFu});
    for (qint64 y = 0; y < rows; ++y) {
        const qint64 row = height > 0 ? rows - 1 - y : y; // bottom-up unless the height is < 0
        std::memcpy(image.scanLine(int(y)), Bits.data() + row * stride,
                    size_t(std::min<qint64>(stride, image.bytesPerLine())));
    }
    return image;
}

QImage TMetafilePlayer::DecodeDib(QByteArrayView Info, QByteArrayView Bits, bool WithAlpha)
{
    const TMetafileRecord dib(0, Info);
    const quint32 headerSize = dib.U32(0);
    if (!dib.Has(0, BitmapCoreHeaderSize) || Info.size() < qsizetype(headerSize))
        return {};
    const auto [width, height, bits, compression] = dibFields(dib, headerSize);
    if (width <= 0 || height == 0 || height == std::numeric_limits<qint32>::min())
        return {};
    if (compression == BI_RGB || compression == BI_BITFIELDS) {
        // Uncompressed rows must all be there.
        const qint64 stride = (width * bits + 31) / 32 * 4;
        if (bits <= 0 || stride > (qint64(1) << 31) / std::abs(height) ||
            stride * std::abs(height) > Bits.size())
            return {};
        if (WithAlpha && bits == 32 && compression == BI_RGB) {
            CheckPictureSize(width, std::abs(height));
            QImage image(int(width), int(std::abs(height)), QImage::Format_ARGB32_Premultiplied);
            if (image.isNull())
                return {};
            for (int y = 0; y < image.height(); ++y) {
                const int row = height > 0 ? image.height() - 1 - y : y;
                std::memcpy(image.scanLine(y), Bits.data() + qint64(row) * stride,
                            size_t(width) * 4);
            }
            return image;
        }
    }
    QByteArray file("BM");
    const quint32 offset = quint32(14 + Info.size());
    const quint32 total = quint32(offset + Bits.size());
    file.append(reinterpret_cast<const char *>(&total), 4);
    file.append(4, '\0');
    file.append(reinterpret_cast<const char *>(&offset), 4);
    file.append(Info.data(), Info.size());
    file.append(Bits.data(), Bits.size());
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    TBitmap bitmap;
    bitmap.LoadFromStream(buffer);
    return bitmap.Image();
}

void TMetafilePlayer::blit(const QRectF &Dest, const QImage &Picture, const QRectF &Source,
                           QPainter::CompositionMode Mode, double Opacity)
{
    if (Picture.isNull() || path || !finite(full))
        return;
    const QRectF bounds = full.mapRect(Dest.normalized());
    if (!drawable(bounds) || bounds.isEmpty() || !withinLimit(bounds))
        return;
    // A negative extent mirrors the picture.
    const bool flipX = (Dest.width() < 0) != (Source.width() < 0);
    const bool flipY = (Dest.height() < 0) != (Source.height() < 0);
    const QImage picture = Picture.mirrored(flipX, flipY);
    QRectF source = Source.normalized();
    if (flipX)
        source.moveLeft(picture.width() - source.right());
    if (flipY)
        source.moveTop(picture.height() - source.bottom());
    painter.setCompositionMode(Mode);
    painter.setOpacity(Opacity);
    painter.drawImage(Dest.normalized(), picture, source);
    painter.setOpacity(1);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TMetafilePlayer::StretchBits(const QRectF &Dest, const QImage &Picture, const QRectF &Source,
                                  quint32 Rop)
{
    // The raster operations Qt has a composition mode for; any other copies the source.
    static const QHash<quint32, QPainter::CompositionMode> modes{
        {SRCAND, QPainter::RasterOp_SourceAndDestination},
        {SRCPAINT, QPainter::RasterOp_SourceOrDestination},
        {SRCINVERT, QPainter::RasterOp_SourceXorDestination},
        {NOTSRCCOPY, QPainter::RasterOp_NotSource},
    };
    if (Rop == DSTCOPY)
        return;
    blit(Dest, Picture, Source, modes.value(Rop, QPainter::CompositionMode_SourceOver), 1);
}

void TMetafilePlayer::AlphaBlend(const QRectF &Dest, const QImage &Picture, const QRectF &Source,
                                 quint32 Blend)
{
    blit(Dest, Picture, Source, QPainter::CompositionMode_SourceOver,
         ((Blend >> 16) & 0xFF) / 255.0);
}

void TMetafilePlayer::PatBlt(const QRectF &Dest, quint32 Rop)
{
    if (path || !finite(full))
        return;
    const QRectF bounds = full.mapRect(Dest.normalized());
    if (!drawable(bounds))
        return;
    QPainterPath p;
    p.addRect(Dest.normalized());
    const TMetafileBrush keep = state.Brush;
    const int keepRop = state.Rop2;
    switch (Rop) {
    case BLACKNESS:
        state.Brush = TMetafileBrush{BS_SOLID, qRgb(0, 0, 0), 0, {}};
        break;
    case WHITENESS:
        state.Brush = TMetafileBrush{BS_SOLID, qRgb(255, 255, 255), 0, {}};
        break;
    case DSTINVERT:
        state.Rop2 = R2_NOT;
        break;
    case PATINVERT:
        state.Rop2 = R2_XORPEN;
        break;
    case DSTCOPY:
        return;
    default: // PATCOPY and the rest
        break;
    }
    shape(p, true, false);
    state.Brush = keep;
    state.Rop2 = keepRop;
}
