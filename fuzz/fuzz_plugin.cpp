// Fuzz target for one shipped plug-in's memory entries (GetPicture and GetPictureInfo with flag
// 1). The plug-in's sources are compiled in (one executable per plug-in); any crash, sanitizer
// report, a returned picture whose blocks do not hold what its header says, or a block left
// unfreed is a finding.
#include "spi.h"

#include <cstdlib>
#include <cstring>

extern "C" {
int32_t GetPictureInfo(const char *buf, int32_t len, uint32_t flag, PictureInfo *lpInfo);
int32_t GetPicture(const char *buf, int32_t len, uint32_t flag, HLOCAL *pHBInfo, HLOCAL *pHBm,
                   ProgressCallback lpPrgressCallback, intptr_t lData);
}

namespace
{

int32_t countCalls(int32_t num, int32_t denom, intptr_t data)
{
    if (denom <= 0 || num < 0 || num > denom)
        std::abort(); // progress out of its range
    ++*reinterpret_cast<int *>(data);
    return 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > (1u << 24))
        return 0;
    const char *bytes = reinterpret_cast<const char *>(data);
    PictureInfo info;
    GetPictureInfo(bytes, int32_t(size), SPI_SOURCE_MEMORY, &info);

    HLOCAL hInfo = nullptr, hBits = nullptr;
    int calls = 0;
    int32_t result = GetPicture(bytes, int32_t(size), SPI_SOURCE_MEMORY, &hInfo, &hBits, countCalls,
                                reinterpret_cast<intptr_t>(&calls));
    if (result == SPI_SUCCESS) {
        auto *header = static_cast<const BITMAPINFOHEADER *>(LocalLock(hInfo));
        if (!header || LocalSize(hInfo) < sizeof(BITMAPINFOHEADER) || header->biWidth < 1 ||
            header->biHeight < 1 || header->biBitCount != 24)
            std::abort();
        size_t stride = (size_t(header->biWidth) * 3 + 3) / 4 * 4;
        size_t need = stride * size_t(header->biHeight);
        auto *bits = static_cast<const volatile uint8_t *>(LocalLock(hBits));
        if (!bits || LocalSize(hBits) < need)
            std::abort();
        (void)bits[0];
        (void)bits[need - 1];
        LocalUnlock(hInfo);
        LocalUnlock(hBits);
        LocalFree(hInfo);
        LocalFree(hBits);
    } else if (hInfo || hBits) {
        std::abort(); // a failure must return nothing
    }
    if (LocalAllocCount() != LocalFreeCount())
        std::abort();
    return 0;
}
