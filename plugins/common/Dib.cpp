#include "Dib.h"

#include "PluginError.h"

#include <cstdint>
#include <cstring>
#include <sys/mman.h>

namespace spi
{

namespace
{

// A large picture's memory is fresh from the system, and faulting it in page by page took much
// of a decode's (and of a turn's) time: large pages spare most of it. Only a hint: the memory
// is the same without it.
void preferLargePages(void *block, size_t size)
{
    constexpr uintptr_t LargePage = uintptr_t(2) << 20;
    const uintptr_t start = reinterpret_cast<uintptr_t>(block), end = start + size;
    const uintptr_t alignedStart = (start + LargePage - 1) & ~(LargePage - 1);
    if (alignedStart + LargePage <= end)
        madvise(reinterpret_cast<void *>(alignedStart), (end - alignedStart) & ~(LargePage - 1),
                MADV_HUGEPAGE);
}

} // namespace

void checkPictureSize(int64_t width, int64_t height)
{
    if (width < 1 || height < 1)
        fail(SPI_BROKEN_DATA);
    if (width > MaxPicturePixels || height > MaxPicturePixels || width * height > MaxPicturePixels)
        fail(SPI_NO_MEMORY);
}

Dib::Dib(int32_t width, int32_t height, int32_t xPelsPerMeter, int32_t yPelsPerMeter)
    : width_(width), height_(height), xPelsPerMeter_(xPelsPerMeter), yPelsPerMeter_(yPelsPerMeter)
{
    checkPictureSize(width, height);
    stride_ = (size_t(width) * 3 + 3) & ~size_t(3);
    // Moveable blocks, so that a host that reads them without locking finds nothing.
    info_ = LocalAlloc(LHND, sizeof(BITMAPINFOHEADER));
    pixels_ = LocalAlloc(LHND, stride_ * size_t(height));
    if (!info_ || !pixels_) {
        LocalFree(info_);
        LocalFree(pixels_);
        fail(SPI_NO_MEMORY);
    }
    auto *header = static_cast<BITMAPINFOHEADER *>(LocalLock(info_));
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = 24;
    header->biCompression = BI_RGB;
    header->biSizeImage = uint32_t(stride_ * size_t(height));
    header->biXPelsPerMeter = xPelsPerMeter;
    header->biYPelsPerMeter = yPelsPerMeter;
    LocalUnlock(info_);
    bits_ = static_cast<uint8_t *>(LocalLock(pixels_));
    preferLargePages(bits_, stride_ * size_t(height));
}

Dib::~Dib()
{
    if (pixels_) {
        LocalUnlock(pixels_);
        LocalFree(pixels_);
    }
    LocalFree(info_);
}

void Dib::handOver(HLOCAL *pHBInfo, HLOCAL *pHBm)
{
    LocalUnlock(pixels_);
    *pHBInfo = info_;
    *pHBm = pixels_;
    info_ = pixels_ = nullptr;
    bits_ = nullptr;
}

void bgraOverWhite(const uint8_t *bgra, uint8_t *bgr, int32_t width)
{
    for (int32_t x = 0; x < width; ++x, bgra += 4, bgr += 3) {
        unsigned a = bgra[3];
        if (a == 255) {
            std::memcpy(bgr, bgra, 3);
        } else {
            bgr[0] = overWhite(bgra[0], a);
            bgr[1] = overWhite(bgra[1], a);
            bgr[2] = overWhite(bgra[2], a);
        }
    }
}

} // namespace spi
