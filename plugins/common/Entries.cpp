// The entries every import plug-in exports. They check what the host passes, find the bytes,
// and let the plug-in's format do the rest; every failure becomes a result code here, so no
// exception ever leaves the library.
#include "Format.h"
#include "PluginError.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

namespace
{

template <class Work> int32_t guarded(Work &&work) noexcept
{
    try {
        work();
        return SPI_SUCCESS;
    } catch (const spi::PluginError &e) {
        return e.code;
    } catch (const std::bad_alloc &) {
        return SPI_NO_MEMORY;
    } catch (...) {
        return SPI_INTERNAL_ERROR;
    }
}

int32_t copyText(const std::string &text, char *buf, int32_t buflen)
{
    if (!buf || buflen < 1)
        return 0;
    size_t n = std::min(text.size(), size_t(buflen - 1));
    std::memcpy(buf, text.data(), n);
    buf[n] = '\0';
    return int32_t(n);
}

spi::ByteView acceptedBytes(const spi::ByteSource &source)
{
    spi::ByteView data = source.view();
    if (!spi::thisFormat().accepts(data.data, data.size))
        spi::fail(SPI_UNKNOWN_FORMAT);
    return data;
}

} // namespace

extern "C" {

SPI_EXPORT int32_t GetPluginInfo(int32_t infono, char *buf, int32_t buflen)
{
    const spi::Format &format = spi::thisFormat();
    if (infono == 0)
        return copyText("00IN", buf, buflen);
    if (infono == 1)
        return copyText(format.name, buf, buflen);
    if (infono < 2)
        return 0;
    size_t index = size_t(infono - 2) / 2;
    if (index >= format.types.size())
        return 0;
    const spi::FileType &type = format.types[index];
    return copyText(infono % 2 == 0 ? type.pattern : type.description, buf, buflen);
}

SPI_EXPORT int32_t IsSupported(const char *, uintptr_t dw)
{
    if (!dw)
        return 0;
    return spi::thisFormat().accepts(reinterpret_cast<const uint8_t *>(dw), SPI_HEADER_RELIABLE)
               ? 1
               : 0;
}

SPI_EXPORT int32_t GetPictureInfo(const char *buf, int32_t len, uint32_t flag, PictureInfo *lpInfo)
{
    if (!lpInfo)
        return SPI_MEMORY_ERROR;
    return guarded([&] {
        spi::ByteSource source(buf, len, flag);
        spi::PictureFacts facts = spi::thisFormat().probe(acceptedBytes(source));
        spi::checkPictureSize(facts.width, facts.height);
        PictureInfo info{};
        info.width = facts.width;
        info.height = facts.height;
        info.x_density = uint16_t(std::clamp(facts.xPelsPerMeter, 0, 65535));
        info.y_density = uint16_t(std::clamp(facts.yPelsPerMeter, 0, 65535));
        info.colorDepth = 24; // the depth of the picture as GetPicture delivers it
        info.hInfo = nullptr;
        *lpInfo = info;
    });
}

SPI_EXPORT int32_t GetPicture(const char *buf, int32_t len, uint32_t flag, HLOCAL *pHBInfo,
                              HLOCAL *pHBm, ProgressCallback lpPrgressCallback, intptr_t lData)
{
    if (!pHBInfo || !pHBm)
        return SPI_MEMORY_ERROR;
    *pHBInfo = nullptr;
    *pHBm = nullptr;
    return guarded([&] {
        spi::ByteSource source(buf, len, flag);
        spi::Progress progress(lpPrgressCallback, lData);
        progress.report(0, 1);
        std::unique_ptr<spi::Dib> dib = spi::thisFormat().decode(acceptedBytes(source), progress);
        dib->handOver(pHBInfo, pHBm);
    });
}
}
