// Binding one plug-in library: loading, the entries by name, the information texts, the class
// by API version and the checked calls.
#include "platform/system/DynamicLibrary.h"
#include "platform/text/ShiftJis.h"
#include "spi/SPIs.h"

#include <QStringDecoder>
#include <array>
#include <cstring>

namespace
{

// The buffer length the texts are asked for with.
constexpr int32_t InfoBufferLength = 255;

// A plug-in's text: UTF-8 when it is valid UTF-8, otherwise Shift-JIS as the Windows plug-ins
// write their Japanese names.
QString pluginText(const char *bytes, size_t length)
{
    const QByteArray raw(bytes, qsizetype(length));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(raw);
    if (!utf8.hasError())
        return text;
    return fromShiftJis(raw);
}

// Asks for text number infono. The plug-in may fill the whole buffer without a terminating
// zero, or report more characters than it has room for: the text ends at the first zero byte
// or at the end of the buffer, whichever comes first.
bool readInfo(const TSPI &spi, int32_t infono, QString &text)
{
    std::array<char, InfoBufferLength> buffer{};
    if (spi.GetPluginInfo(infono, buffer.data(), InfoBufferLength) <= 0)
        return false;
    const void *zero = std::memchr(buffer.data(), 0, buffer.size());
    const size_t length =
        zero ? size_t(static_cast<const char *>(zero) - buffer.data()) : buffer.size();
    text = pluginText(buffer.data(), length);
    return true;
}

ESPIInvalidAPI invalidAPI(const char *name, const QString &fileName)
{
    return ESPIInvalidAPI(QStringLiteral("%1は[%2]では使えないSusie Plugin APIです")
                              .arg(QString::fromLatin1(name), fileName));
}

template <class Proc> Proc bind(const DynamicLibrary &library, const char *name)
{
    return reinterpret_cast<Proc>(library.Symbol(name));
}

} // namespace

TSPI::TSPI(const QString &path) : Handle(std::make_unique<DynamicLibrary>(path))
{
    if (!Handle->Loaded())
        throw ESPIFOpenErrorSPI(
            QStringLiteral("%1:Susie Pluginがロードできませんでした").arg(path));
    // The loader's own record of the module; the path as given when it reports none. Unlike
    // GetModuleFileName's 255-character buffer it is never cut short, so a long path still
    // compares equal when the folder is searched again.
    FileName = Handle->ModuleFileName();
    if (FileName.isEmpty())
        FileName = path;
    const DynamicLibrary &lib = *Handle;
    Entries.GetPluginInfo = bind<GetPluginInfoProc>(lib, "GetPluginInfo");
    Entries.ConfigurationDlg = bind<ConfigurationDlgProc>(lib, "ConfigurationDlg");
    Entries.IsSupported = bind<IsSupportedProc>(lib, "IsSupported");
    Entries.GetPictureInfo = bind<GetPictureInfoProc>(lib, "GetPictureInfo");
    Entries.GetPicture = bind<GetPictureProc>(lib, "GetPicture");
    Entries.GetPreview = bind<GetPreviewProc>(lib, "GetPreview");
    Entries.GetArchiveInfo = bind<GetArchiveInfoProc>(lib, "GetArchiveInfo");
    Entries.GetFileInfo = bind<GetFileInfoProc>(lib, "GetFileInfo");
    Entries.GetFile = bind<GetFileProc>(lib, "GetFile");
}

TSPI::~TSPI() = default;

void TSPI::Complete()
{
    CheckAPI();
    readInfo(*this, 0, APIVersion);
    readInfo(*this, 1, PluginName);
    // Patterns and descriptions come in pairs; the first incomplete pair ends the list. A
    // plug-in that answers every number would never end it: no format family needs more
    // pairs than this, so the list ends there.
    constexpr int32_t MaxPatternPairs = 256;
    for (int32_t n = 2; n < 2 + 2 * MaxPatternPairs; n += 2) {
        QString pattern, description;
        if (!readInfo(*this, n, pattern) || !readInfo(*this, n + 1, description))
            break;
        Extensions.append(pattern);
        Descriptions.append(description);
    }
    IsLoader = ClassIsLoader();
}

void TSPI::CheckAPI() const
{
    RequireProc(reinterpret_cast<const void *>(Entries.GetPluginInfo), "GetPluginInfo");
}

void *TSPI::GetProc(const char *name) const
{
    return Handle->Symbol(name);
}

void TSPI::RequireProc(const void *entry, const char *name) const
{
    if (!entry)
        throw invalidAPI(name, FileName);
}

int32_t TSPI::GetPluginInfo(int32_t infono, char *buf, int32_t buflen) const
{
    RequireProc(reinterpret_cast<const void *>(Entries.GetPluginInfo), "GetPluginInfo");
    return Entries.GetPluginInfo(infono, buf, buflen);
}

void TLoaderSPI::CheckAPI() const
{
    TSPI::CheckAPI();
    RequireProc(reinterpret_cast<const void *>(Entries.IsSupported), "IsSupported");
}

int32_t TLoaderSPI::IsSupported(const char *filename, uintptr_t dw) const
{
    RequireProc(reinterpret_cast<const void *>(Entries.IsSupported), "IsSupported");
    return Entries.IsSupported(filename, dw);
}

void TInSPI::CheckAPI() const
{
    TLoaderSPI::CheckAPI();
    RequireProc(reinterpret_cast<const void *>(Entries.GetPictureInfo), "GetPictureInfo");
    RequireProc(reinterpret_cast<const void *>(Entries.GetPicture), "GetPicture");
}

int32_t TInSPI::GetPictureInfo(const char *buf, int32_t len, uint32_t flag, PictureInfo *info) const
{
    RequireProc(reinterpret_cast<const void *>(Entries.GetPictureInfo), "GetPictureInfo");
    return Entries.GetPictureInfo(buf, len, flag, info);
}

int32_t TInSPI::GetPicture(const char *buf, int32_t len, uint32_t flag, HLOCAL *pHBInfo,
                           HLOCAL *pHBm, ProgressCallback callback, intptr_t lData) const
{
    RequireProc(reinterpret_cast<const void *>(Entries.GetPicture), "GetPicture");
    return Entries.GetPicture(buf, len, flag, pHBInfo, pHBm, callback, lData);
}

int32_t TInSPI::GetPreview(const char *buf, int32_t len, uint32_t flag, HLOCAL *pHBInfo,
                           HLOCAL *pHBm, ProgressCallback callback, intptr_t lData) const
{
    RequireProc(reinterpret_cast<const void *>(Entries.GetPreview), "GetPreview");
    return Entries.GetPreview(buf, len, flag, pHBInfo, pHBm, callback, lData);
}

void TAmSPI::CheckAPI() const
{
    TLoaderSPI::CheckAPI();
    RequireProc(reinterpret_cast<const void *>(Entries.GetArchiveInfo), "GetArchiveInfo");
    RequireProc(reinterpret_cast<const void *>(Entries.GetFileInfo), "GetFileInfo");
    RequireProc(reinterpret_cast<const void *>(Entries.GetFile), "GetFile");
}

std::unique_ptr<TSPI> CreateSPI(const QString &path)
{
    try {
        std::unique_ptr<TSPI> probe = ConstructSPI<TSPI>(path);
        std::unique_ptr<TSPI> spi;
        // The second load shares the probe's copy of the library; the probe then drops its
        // load, so exactly one remains, owned by the returned object.
        if (probe->APIVersion == QLatin1String("00IN"))
            spi = ConstructSPI<TInSPI>(path);
        else if (probe->APIVersion == QLatin1String("00AM"))
            spi = ConstructSPI<TAmSPI>(path);
        else if (probe->APIVersion == QLatin1String("00XN"))
            spi = ConstructSPI<TXnSPI>(path);
        else
            spi = ConstructSPI<TSPI>(path);
        return spi;
    } catch (const ESPIFOpenErrorSPI &) {
        return nullptr;
    }
}
