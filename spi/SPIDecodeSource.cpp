// The decode sources: running the candidate plug-ins on a file or on bytes in memory, and the
// plug-in's progress callback.
#include "platform/base/Abort.h"
#include "platform/base/Exception.h"
#include "platform/system/FileNames.h"
#include "platform/system/LocalFile.h"
#include "spi/SPIBmp.h"
#include "spi/SPIs.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <array>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace
{

// Windows' MulDiv: a * b / c rounded to the nearest, -1 when c is 0 or the result overflows.
int32_t mulDiv(int32_t a, int32_t b, int32_t c)
{
    if (c == 0)
        return -1;
    const int64_t product = int64_t(a) * b;
    int64_t rounded = product / c;
    if (2 * std::llabs(product % c) >= std::llabs(int64_t(c)))
        rounded += (product < 0) != (c < 0) ? -1 : 1;
    return rounded > INT32_MAX || rounded < INT32_MIN ? -1 : int32_t(rounded);
}

} // namespace

extern "C" int32_t SPIProgressCallback(int32_t num, int32_t denom, intptr_t lData) noexcept
{
    auto *source = reinterpret_cast<TInSPIAbleData *>(lData);
    if (!source || !source->OnProgress)
        return 0;
    // The plug-in was asked to stop already; the handler is not asked again.
    if (source->pending)
        return 1;
    // Nothing may unwind through the plug-in's own code: a user abort asks it to stop, any
    // other error is kept, the plug-in is asked to stop, and the decode raises the error once
    // the plug-in has returned.
    try {
        source->OnProgress(source->Owner, TProgressStage::psRunning, mulDiv(num, 97, denom) + 2,
                           false, QRect(0, 0, 0, 0), QString());
    } catch (const EAbort &) {
        return 1;
    } catch (...) {
        source->pending = std::current_exception();
        return 1;
    }
    return 0;
}

TInSPIAbleData::TInSPIAbleData(TSPIGraphic *AOwner) : Owner(AOwner) {}

TInSPIAbleData::~TInSPIAbleData()
{
    ReleaseHandles();
}

void TInSPIAbleData::report(TProgressStage stage, int percent, const QString &message)
{
    if (OnProgress)
        OnProgress(Owner, stage, percent, stage == TProgressStage::psEnding, QRect(0, 0, 0, 0),
                   message);
}

void TInSPIAbleData::Decode()
{
    TSPIs *collection = SPIsInstance();
    const bool macBinary = collection && collection->MacBinary;
    pending = nullptr;
    std::exception_ptr failure;
    try {
        report(TProgressStage::psStarting, 0, QStringLiteral("Loading Graphic by Susie Plugin"));
        ReleaseHandles();
        report(TProgressStage::psRunning, 1, QStringLiteral("Seeking enabled Susie Plugins"));
        std::vector<TSPI *> candidates;
        if (collection)
            collection->ListCandidates({&SPIIsOf<TInSPI>}, candidates, FileName);
        // A source that no plug-in may be given is tried by none.
        if (!Readable())
            candidates.clear();
        std::array<uint8_t, HeaderBufferSize> header{};
        ReadHeader(header.data(), HeaderBufferSize);
        const int offsets = macBinary ? int(std::size(HeaderOffsets)) : 1;
        for (TSPI *spi : candidates) {
            for (int k = 0; k < offsets; ++k) {
                report(TProgressStage::psRunning, 1,
                       QStringLiteral("Loading by [%1]").arg(QFileInfo(spi->FileName).fileName()));
                tryDecode(static_cast<const TInSPI &>(*spi), header.data(), HeaderOffsets[k]);
                if (!IsEmpty())
                    goto found;
                ReleaseHandles();
            }
        }
    found:;
    } catch (...) {
        // Any error is carried past the end report below and raised again.
        failure = std::current_exception();
    }
    report(TProgressStage::psEnding, 100, QStringLiteral("Loaded Graphic by Susie Plugin"));
    if (failure)
        std::rethrow_exception(failure);
}

QByteArray TInSPIAbleData::PluginFileName() const
{
    return QFile::encodeName(FileName);
}

void TInSPIAbleData::tryDecode(const TInSPI &spi, const uint8_t *buffer, int offset)
{
    const QByteArray name = PluginFileName();
    if (spi.IsSupported(name.constData(), reinterpret_cast<uintptr_t>(buffer + offset)) == 0)
        return;
    bool ok = false;
    CallGetPictureInfo(spi, offset, PictureInfo, ok);
    TSPIs *collection = SPIsInstance();
    HLOCAL info = nullptr, bm = nullptr;
    if (collection && collection->GraphicPreview) {
        CallGetPreview(spi, offset, info, bm);
        adopt(info, bm);
        raisePending();
        if (!IsEmpty())
            return;
        info = bm = nullptr;
    }
    CallGetPicture(spi, offset, info, bm);
    adopt(info, bm);
    raisePending();
}

void TInSPIAbleData::adopt(HLOCAL info, HLOCAL bm)
{
    if (!info || !bm) {
        LocalFree(info);
        LocalFree(bm);
        return;
    }
    void *infoAddress = LocalLock(info);
    void *bitsAddress = LocalLock(bm);
    const std::optional<TDibLayout> checked =
        infoAddress && bitsAddress ? CheckDib(infoAddress, LocalSize(info), LocalSize(bm))
                                   : std::nullopt;
    if (!checked) {
        // A header that its blocks cannot hold: read as it stands it would take the host past
        // the plug-in's memory. The attempt yields nothing, as a failed one does.
        LocalUnlock(info);
        LocalUnlock(bm);
        LocalFree(info);
        LocalFree(bm);
        return;
    }
    HBInfo = info;
    HBm = bm;
    lockedInfo = infoAddress;
    lockedBits = bitsAddress;
    layout = *checked;
}

void TInSPIAbleData::raisePending()
{
    if (!pending)
        return;
    std::exception_ptr error = pending;
    pending = nullptr;
    ReleaseHandles();
    std::rethrow_exception(error);
}

const BITMAPINFO *TInSPIAbleData::BitmapInfo()
{
    if (!lockedInfo && HBInfo)
        lockedInfo = LocalLock(HBInfo);
    return static_cast<const BITMAPINFO *>(lockedInfo);
}

const uint8_t *TInSPIAbleData::Bits()
{
    if (!lockedBits && HBm)
        lockedBits = LocalLock(HBm);
    return static_cast<const uint8_t *>(lockedBits);
}

void TInSPIAbleData::ReleaseHandles()
{
    if (lockedInfo)
        LocalUnlock(HBInfo);
    if (lockedBits)
        LocalUnlock(HBm);
    lockedInfo = lockedBits = nullptr;
    LocalFree(HBInfo);
    LocalFree(HBm);
    LocalFree(PictureInfo.hInfo);
    HBInfo = HBm = nullptr;
    PictureInfo.hInfo = nullptr;
    layout = TDibLayout();
}

// ---- a file ----

TInSPIAbleFromFile::TInSPIAbleFromFile(TSPIGraphic *AOwner, const QByteArray &APath)
    : TInSPIAbleData(AOwner), encodedName(APath)
{
    FileName = FileNameText(APath);
}

bool TInSPIAbleFromFile::Readable() const
{
    struct stat st;
    return ::stat(encodedName.constData(), &st) == 0 && S_ISREG(st.st_mode);
}

void TInSPIAbleFromFile::ReadHeader(uint8_t *buffer, int size)
{
    // Opened without waiting and only when it is a regular file; any failure leaves the
    // buffer as it was.
    try {
        TLocalFile file(encodedName);
        file.Device().read(reinterpret_cast<char *>(buffer), size);
    } catch (const EInOutError &) {
    }
}

void TInSPIAbleFromFile::CallGetPictureInfo(const TInSPI &spi, int offset, ::PictureInfo &info,
                                            bool &ok)
{
    ok = spi.GetPictureInfo(encodedName.constData(), offset, SPI_SOURCE_FILE, &info) == 0;
}

void TInSPIAbleFromFile::CallGetPreview(const TInSPI &spi, int offset, HLOCAL &info, HLOCAL &bm)
{
    try {
        if (spi.GetPreview(encodedName.constData(), offset, SPI_SOURCE_FILE, &info, &bm,
                           SPIProgressCallback, reinterpret_cast<intptr_t>(this)) != 0)
            info = bm = nullptr;
    } catch (const ESPIInvalidAPI &) {
        info = bm = nullptr;
    }
}

void TInSPIAbleFromFile::CallGetPicture(const TInSPI &spi, int offset, HLOCAL &info, HLOCAL &bm)
{
    if (spi.GetPicture(encodedName.constData(), offset, SPI_SOURCE_FILE, &info, &bm,
                       SPIProgressCallback, reinterpret_cast<intptr_t>(this)) != 0)
        info = bm = nullptr;
}

// ---- bytes in memory ----

TInSPIAbleFromStream::TInSPIAbleFromStream(TSPIGraphic *AOwner, const QString &AFileName,
                                           QIODevice &Stream)
    : TInSPIAbleData(AOwner)
{
    FileName = AFileName;
    if (auto *memory = qobject_cast<QBuffer *>(&Stream)) {
        data = memory->buffer().constData();
        size = memory->buffer().size();
        return;
    }
    if (!Stream.isSequential())
        Stream.seek(0);
    copy = Stream.readAll();
    data = copy.constData();
    size = copy.size();
}

const char *TInSPIAbleFromStream::from(int offset, int32_t &length) const
{
    if (!data || offset > size || size - offset > INT32_MAX)
        return nullptr;
    length = int32_t(size - offset);
    return data + offset;
}

void TInSPIAbleFromStream::ReadHeader(uint8_t *buffer, int requested)
{
    if (data)
        std::memcpy(buffer, data, size_t(qMin<qint64>(size, requested)));
}

void TInSPIAbleFromStream::CallGetPictureInfo(const TInSPI &spi, int offset, ::PictureInfo &info,
                                              bool &ok)
{
    int32_t length = 0;
    const char *bytes = from(offset, length);
    ok = bytes && spi.GetPictureInfo(bytes, length, SPI_SOURCE_MEMORY, &info) == 0;
}

void TInSPIAbleFromStream::CallGetPreview(const TInSPI &spi, int offset, HLOCAL &info, HLOCAL &bm)
{
    int32_t length = 0;
    const char *bytes = from(offset, length);
    try {
        if (!bytes || spi.GetPreview(bytes, length, SPI_SOURCE_MEMORY, &info, &bm,
                                     SPIProgressCallback, reinterpret_cast<intptr_t>(this)) != 0)
            info = bm = nullptr;
    } catch (const ESPIInvalidAPI &) {
        info = bm = nullptr;
    }
}

void TInSPIAbleFromStream::CallGetPicture(const TInSPI &spi, int offset, HLOCAL &info, HLOCAL &bm)
{
    int32_t length = 0;
    const char *bytes = from(offset, length);
    if (!bytes || spi.GetPicture(bytes, length, SPI_SOURCE_MEMORY, &info, &bm, SPIProgressCallback,
                                 reinterpret_cast<intptr_t>(this)) != 0)
        info = bm = nullptr;
}
