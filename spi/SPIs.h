#pragma once
// The plug-in unit SPIs: the binding of one Susie plug-in library (TSPI and its classes by API
// version, made by CreateSPI) and the process's single collection of plug-ins (TSPIs), which
// finds plug-in files, registers the picture formats of the import plug-ins and lists the
// plug-ins to try on a file.
#include "platform/base/Exception.h"
#include "platform/graphics/PictureFormats.h"
#include "spi.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

class DynamicLibrary;

class ESPIFOpenErrorSPI : public Exception
{
public:
    using Exception::Exception;
};

class ESPIInvalidAPI : public Exception
{
public:
    using Exception::Exception;
};

class ESPIDupCreateSPIs : public Exception
{
public:
    using Exception::Exception;
};

// The entries of a plug-in, bound by name; null when the library does not export one.
struct TSPIEntries {
    GetPluginInfoProc GetPluginInfo = nullptr;
    ConfigurationDlgProc ConfigurationDlg = nullptr;
    IsSupportedProc IsSupported = nullptr;
    GetPictureInfoProc GetPictureInfo = nullptr;
    GetPictureProc GetPicture = nullptr;
    GetPreviewProc GetPreview = nullptr;
    GetArchiveInfoProc GetArchiveInfo = nullptr;
    GetFileInfoProc GetFileInfo = nullptr;
    GetFileProc GetFile = nullptr;
};

// Any loaded plug-in library; also the class of one whose version is unknown. Objects are made
// by ConstructSPI<Class>(path) (the constructor that takes the path, run for the chosen class)
// or by the factory CreateSPI; a plug-in object is either fully built or does not exist.
class TSPI
{
public:
    virtual ~TSPI();
    TSPI(const TSPI &) = delete;
    TSPI &operator=(const TSPI &) = delete;

    // Raises ESPIInvalidAPI for the first entry of this class's fixed list that is not bound.
    virtual void CheckAPI() const;
    // The class query, stored in IsLoader at construction.
    virtual bool ClassIsLoader() const { return false; }

    void *GetProc(const char *name) const;
    // Raises ESPIInvalidAPI naming the entry and FileName when entry is null.
    void RequireProc(const void *entry, const char *name) const;

    // Checked call: RequireProc, then the entry with the arguments and result unchanged.
    int32_t GetPluginInfo(int32_t infono, char *buf, int32_t buflen) const;

    const std::unique_ptr<DynamicLibrary> Handle;
    QString FileName;
    QString APIVersion;
    QString PluginName;
    QStringList Extensions;   // "*.png", "*.jpg;*.jpeg", ...
    QStringList Descriptions; // the format name of the pattern of the same index
    bool IsLoader = false;
    TSPIEntries Entries;

    template <class T> friend std::unique_ptr<T> ConstructSPI(const QString &path);

protected:
    // Loads the library and binds the entries; ConstructSPI finishes the object.
    explicit TSPI(const QString &path);

private:
    // Checks the class's entries and reads the information texts.
    void Complete();
};

// A plug-in that can test a file with IsSupported.
class TLoaderSPI : public TSPI
{
public:
    void CheckAPI() const override;
    int32_t IsSupported(const char *filename, uintptr_t dw) const;
    template <class T> friend std::unique_ptr<T> ConstructSPI(const QString &path);

protected:
    using TSPI::TSPI;
};

// A picture import plug-in, API version "00IN".
class TInSPI : public TLoaderSPI
{
public:
    void CheckAPI() const override;
    bool ClassIsLoader() const override { return true; }
    int32_t GetPictureInfo(const char *buf, int32_t len, uint32_t flag, PictureInfo *info) const;
    int32_t GetPicture(const char *buf, int32_t len, uint32_t flag, HLOCAL *pHBInfo, HLOCAL *pHBm,
                       ProgressCallback callback, intptr_t lData) const;
    int32_t GetPreview(const char *buf, int32_t len, uint32_t flag, HLOCAL *pHBInfo, HLOCAL *pHBm,
                       ProgressCallback callback, intptr_t lData) const;
    template <class T> friend std::unique_ptr<T> ConstructSPI(const QString &path);

protected:
    using TLoaderSPI::TLoaderSPI;
};

// An archive plug-in, API version "00AM": loaded, checked and kept, never called.
class TAmSPI : public TLoaderSPI
{
public:
    void CheckAPI() const override;
    bool ClassIsLoader() const override { return true; }
    template <class T> friend std::unique_ptr<T> ConstructSPI(const QString &path);

protected:
    using TLoaderSPI::TLoaderSPI;
};

// A plug-in of API version "00XN": loaded and kept, never called.
class TXnSPI : public TSPI
{
public:
    template <class T> friend std::unique_ptr<T> ConstructSPI(const QString &path);

protected:
    using TSPI::TSPI;
};

// Constructs a plug-in object of class T from the library at path: loads it (ESPIFOpenErrorSPI),
// binds the entries, checks them as T requires (ESPIInvalidAPI) and reads the texts. On an
// error the partly built object is destroyed, unloading the library.
template <class T> std::unique_ptr<T> ConstructSPI(const QString &path)
{
    std::unique_ptr<T> spi(new T(path));
    spi->Complete();
    return spi;
}

// The factory: a probe TSPI reads the version, an object of the class of that version
// (compared exactly) is built from the same path, and the probe goes, so one load remains.
// Returns nothing when the library cannot be loaded; ESPIInvalidAPI passes on.
std::unique_ptr<TSPI> CreateSPI(const QString &path);

class TSPIs;

enum class TSPISearchOption { spsSusieDir, spsAppDir, spsCurrentDir, spsSystemDir, spsWindowsDir };

// A set of search places.
class TSPISearchOptions
{
public:
    TSPISearchOptions(std::initializer_list<TSPISearchOption> options = {})
    {
        for (TSPISearchOption o : options)
            bits |= bit(o);
    }
    bool Contains(TSPISearchOption o) const { return (bits & bit(o)) != 0; }
    bool operator==(const TSPISearchOptions &) const = default;

private:
    static unsigned bit(TSPISearchOption o) { return 1u << unsigned(o); }
    unsigned bits = 0;
};

using TSPISearchEvent = std::function<void(TSPIs *Sender, TSPI *ASPI, bool &Accept)>;
using TSPISearchingEvent =
    std::function<void(TSPIs *Sender, const QString &FileName, bool &Accept)>;
using TSPIPictureRegisterEvent =
    std::function<void(TSPIs *Sender, TSPI *ASPI, const QString &AExtension,
                       const QString &ADescription, const TGraphicClass *&AGraphicClass)>;

// Whether a plug-in is of a class or below it; the class list of ListCandidates.
using TSPIClassTest = bool (*)(const TSPI *);
template <class T> bool SPIIsOf(const TSPI *spi)
{
    return dynamic_cast<const T *>(spi) != nullptr;
}

// The collection of loaded plug-ins. At most one exists in the process (SPIsInstance).
class TSPIs
{
public:
    // Raises ESPIDupCreateSPIs "TSPIs は複数生成できません" when a collection exists.
    TSPIs();
    // Destroys the plug-ins; the picture formats they registered stay registered.
    ~TSPIs();
    TSPIs(const TSPIs &) = delete;
    TSPIs &operator=(const TSPIs &) = delete;

    int Count() const { return int(plugins.size()); }
    TSPI *Items(int index) const { return plugins.at(size_t(index)).get(); }
    void Add(std::unique_ptr<TSPI> spi);
    // Inserts and registers every extension of an import plug-in with the picture-format
    // registry; when that fails the plug-in is taken out again, destroyed, and the error
    // passes on.
    void Insert(int index, std::unique_ptr<TSPI> spi);
    void Delete(int index);
    void Clear();
    // The first plug-in whose FileName equals fileName (ASCII letters compared without regard
    // to case), or -1.
    int IndexOf(const QString &fileName) const;
    // Loads the plug-ins matching mask: in the mask's folder, or without one in the places of
    // SearchOptions. An ESPIInvalidAPI ends the scan and passes on.
    void Search(const QString &mask);
    void SearchFolder(const QString &folder, const QString &mask);
    // Appends to list the plug-ins of the given classes to be tried on fileName: those whose
    // pattern's extension matches, newest first, then the others in collection order.
    void ListCandidates(const std::vector<TSPIClassTest> &classes, std::vector<TSPI *> &list,
                        const QString &fileName) const;

    static const TGraphicClass *DefaultGraphicClass();
    static void SetDefaultGraphicClass(const TGraphicClass *graphicClass);

    TSPISearchOptions SearchOptions{TSPISearchOption::spsSusieDir, TSPISearchOption::spsAppDir};
    TSPISearchEvent OnSearch;
    TSPISearchingEvent OnSearching;
    TSPIPictureRegisterEvent OnPictureRegister;
    bool MacBinary = true;
    bool GraphicPreview = false;

private:
    void registerFormats(TSPI *spi);

    std::vector<std::unique_ptr<TSPI>> plugins;
};

// The single collection, or null.
TSPIs *SPIsInstance();
