// libFuzzer target for the host's checks of what a plug-in returns. The input is split into the
// two blocks a plug-in hands back: the first two bytes (little-endian) give the size of the
// BITMAPINFO block, the rest of the input after it is the pixel block. Both are local-memory
// blocks of exactly that size, as a plug-in would allocate them. A DIB that passes the checks
// is drawn, and written as the BMP file the loader makes and read back by the plain reader.
// Any crash, leak or sanitizer report is a finding; refusals are expected.
#include "fuzz/FuzzPictureStart.h"
#include "platform/base/Exception.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Dib.h"
#include "platform/graphics/PictureLimits.h"
#include "spi.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QtEndian>
#include <cstring>
#include <memory>

namespace
{
HLOCAL block(const uint8_t *bytes, size_t size)
{
    HLOCAL handle = LocalAlloc(LMEM_MOVEABLE, size);
    if (handle && size)
        std::memcpy(LocalLock(handle), bytes, size);
    LocalUnlock(handle);
    return handle;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const size_t infoBytes = std::min<size_t>(qFromLittleEndian<quint16>(data), size - 2);
    HLOCAL info = block(data + 2, infoBytes);
    HLOCAL bits = block(data + 2 + infoBytes, size - 2 - infoBytes);
    const void *infoAddress = LocalLock(info);
    const void *bitsAddress = LocalLock(bits);
    if (const std::optional<TDibLayout> dib =
            CheckDib(infoAddress, LocalSize(info), LocalSize(bits))) {
        // Keep the drawn picture small enough for the fuzzer's memory limit.
        if (qint64(dib->Width) * std::abs(qint64(dib->Height)) <= (qint64(1) << 22)) {
            const QImage image = DibToImage(*dib, infoAddress, bitsAddress);
            (void)image.pixel(0, 0);
        }
        (void)DibColorTable(*dib, infoAddress);
        QByteArray file(14, '\0');
        qToLittleEndian<quint16>(0x4D42, file.data());
        qToLittleEndian<quint32>(14 + dib->InfoSize + dib->ImageSize, file.data() + 2);
        qToLittleEndian<quint32>(14 + dib->InfoSize, file.data() + 10);
        file.append(static_cast<const char *>(infoAddress), qsizetype(dib->InfoSize));
        file.append(static_cast<const char *>(bitsAddress), qsizetype(dib->ImageSize));
        QBuffer stream(&file);
        stream.open(QIODevice::ReadOnly);
        try {
            TBitmap bitmap;
            bitmap.LoadFromStream(stream);
        } catch (const Exception &) {
            // the plain reader may refuse what the checks let through
        }
    }
    LocalUnlock(info);
    LocalUnlock(bits);
    LocalFree(info);
    LocalFree(bits);
    return 0;
}
