#include "Orientation.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace spi
{

namespace
{

void mirrorRows(Dib &dib)
{
    const int32_t width = dib.width();
    for (int32_t y = 0; y < dib.height(); ++y) {
        uint8_t *left = dib.row(y), *right = left + size_t(width - 1) * 3;
        for (; left < right; left += 3, right -= 3) {
            std::swap(left[0], right[0]);
            std::swap(left[1], right[1]);
            std::swap(left[2], right[2]);
        }
    }
}

void flipRows(Dib &dib)
{
    std::vector<uint8_t> spare(dib.stride());
    for (int32_t top = 0, bottom = dib.height() - 1; top < bottom; ++top, --bottom) {
        std::memcpy(spare.data(), dib.row(top), dib.stride());
        std::memcpy(dib.row(top), dib.row(bottom), dib.stride());
        std::memcpy(dib.row(bottom), spare.data(), dib.stride());
    }
}

// The diagonal orientations: the shown pixel (x, y) is the stored pixel (y, x), with the stored
// row and column counted from the far side where the orientation says so. Copied in square
// blocks so that both pictures are walked within the cache.
std::unique_ptr<Dib> transposed(Dib &stored, bool lastRowFirst, bool lastColumnFirst)
{
    const int32_t storedWidth = stored.width(), storedHeight = stored.height();
    auto shown = std::make_unique<Dib>(storedHeight, storedWidth, stored.yPelsPerMeter(),
                                       stored.xPelsPerMeter());
    const int32_t shownWidth = storedHeight, shownHeight = storedWidth;
    const ptrdiff_t storedStride = ptrdiff_t(stored.stride());
    // The stored row shown at column x runs downwards in memory (bottom-up rows), so stepping
    // x by one steps the stored row by one whole stride.
    constexpr int32_t Block = 32;
    for (int32_t y0 = 0; y0 < shownHeight; y0 += Block) {
        const int32_t y1 = std::min(y0 + Block, shownHeight);
        for (int32_t x0 = 0; x0 < shownWidth; x0 += Block) {
            const int32_t x1 = std::min(x0 + Block, shownWidth);
            for (int32_t y = y0; y < y1; ++y) {
                const int32_t column = lastColumnFirst ? storedWidth - 1 - y : y;
                const int32_t firstRow = lastRowFirst ? storedHeight - 1 - x0 : x0;
                const uint8_t *in = stored.row(firstRow) + size_t(column) * 3;
                // Stored rows lie bottom-up: the next stored row down is one stride lower.
                const ptrdiff_t step = lastRowFirst ? storedStride : -storedStride;
                uint8_t *out = shown->row(y) + size_t(x0) * 3;
                for (int32_t x = x0; x < x1; ++x, in += step, out += 3) {
                    out[0] = in[0];
                    out[1] = in[1];
                    out[2] = in[2];
                }
            }
        }
    }
    return shown;
}

} // namespace

PictureFacts uprightFacts(PictureFacts stored, int orientation)
{
    if (swapsSides(orientation)) {
        std::swap(stored.width, stored.height);
        std::swap(stored.xPelsPerMeter, stored.yPelsPerMeter);
    }
    return stored;
}

std::unique_ptr<Dib> upright(std::unique_ptr<Dib> stored, int orientation)
{
    switch (orientation) {
    case 2:
        mirrorRows(*stored);
        return stored;
    case 3:
        mirrorRows(*stored);
        flipRows(*stored);
        return stored;
    case 4:
        flipRows(*stored);
        return stored;
    case 5:
        return transposed(*stored, false, false);
    case 6:
        return transposed(*stored, true, false);
    case 7:
        return transposed(*stored, true, true);
    case 8:
        return transposed(*stored, false, true);
    default:
        return stored;
    }
}

} // namespace spi
