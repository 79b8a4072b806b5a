#pragma once
// The picture a plug-in hands back: a 24-bit BITMAPINFO and its pixel rows, bottom-up, each row
// padded to 4 bytes, both in local memory. The blocks stay owned here (and are freed on every
// failure) until handOver gives them, unlocked, to the host.
#include "spi.h"

#include <cstddef>
#include <cstdint>

namespace spi
{

// The largest picture accepted, as in the program: 2^27 pixels. A header may claim any size;
// larger claims are refused (SPI_NO_MEMORY) before any pixel memory is taken.
// A fuzzing harness builds with a smaller limit (TOVELA_SPI_MAX_PIXELS) to stay fast.
#ifndef TOVELA_SPI_MAX_PIXELS
#define TOVELA_SPI_MAX_PIXELS (int64_t(1) << 27)
#endif
constexpr int64_t MaxPicturePixels = TOVELA_SPI_MAX_PIXELS;

// Raises PluginError SPI_BROKEN_DATA for a width or height below 1, SPI_NO_MEMORY beyond
// the limit.
void checkPictureSize(int64_t width, int64_t height);

class Dib
{
public:
    Dib(int32_t width, int32_t height, int32_t xPelsPerMeter = 0, int32_t yPelsPerMeter = 0);
    ~Dib();
    Dib(const Dib &) = delete;
    Dib &operator=(const Dib &) = delete;

    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    size_t stride() const { return stride_; }
    int32_t xPelsPerMeter() const { return xPelsPerMeter_; }
    int32_t yPelsPerMeter() const { return yPelsPerMeter_; }

    // Row y counted from the top of the picture: blue, green, red per pixel.
    uint8_t *row(int32_t y) { return bits_ + size_t(height_ - 1 - y) * stride_; }
    // The lowest row in memory; rows follow each other upwards at stride().
    uint8_t *bottomRow() { return bits_; }

    void handOver(HLOCAL *pHBInfo, HLOCAL *pHBm);

private:
    int32_t width_, height_;
    int32_t xPelsPerMeter_, yPelsPerMeter_;
    size_t stride_;
    HLOCAL info_ = nullptr, pixels_ = nullptr;
    uint8_t *bits_ = nullptr;
};

// The pixel c of coverage a over white, rounded.
inline uint8_t overWhite(unsigned c, unsigned a)
{
    return uint8_t((c * a + 255u * (255u - a) + 127u) / 255u);
}

// A row of blue, green, red, alpha (straight alpha) laid over white into blue, green, red.
void bgraOverWhite(const uint8_t *bgra, uint8_t *bgr, int32_t width);

} // namespace spi
