// The collection of loaded plug-ins: the single instance, format registration, the folder
// search and the candidate list of a file.
#include "spi/SPIs.h"

#include "platform/graphics/Picture.h"
#include "platform/system/FolderFiles.h"

#include <QCoreApplication>
#include <QDir>

namespace
{

TSPIs *instance = nullptr;
const TGraphicClass *defaultGraphicClass = nullptr;

bool sameAsciiCaseless(const QString &a, const QString &b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x >= u'a' && x <= u'z')
            x = char16_t(x - u'a' + u'A');
        if (y >= u'a' && y <= u'z')
            y = char16_t(y - u'a' + u'A');
        if (x != y)
            return false;
    }
    return true;
}

// The text from the last "." of a file name's last element, or "".
QString fileExtension(const QString &fileName)
{
    const QString ext = PictureFileExtension(fileName);
    return ext.isEmpty() && !fileName.endsWith(QLatin1Char('.')) ? QString()
                                                                 : QLatin1Char('.') + ext;
}

QString withTrailingSeparator(const QString &folder)
{
    if (folder.isEmpty() || folder.endsWith(QLatin1Char('/')))
        return folder;
    return folder + QLatin1Char('/');
}

// The folders that stand in for the Windows search places. There is no Susie registry key
// here, so that place yields nothing; the system folder is where the system's shared
// libraries live, the Windows folder the root of the installed system.
QString searchPlace(TSPISearchOption option)
{
    switch (option) {
    case TSPISearchOption::spsSusieDir:
        return {};
    case TSPISearchOption::spsAppDir:
        return QCoreApplication::applicationDirPath();
    case TSPISearchOption::spsCurrentDir:
        return QDir::currentPath();
    case TSPISearchOption::spsSystemDir:
        return QStringLiteral("/usr/lib");
    case TSPISearchOption::spsWindowsDir:
        return QStringLiteral("/usr");
    }
    return {};
}

} // namespace

TSPIs *SPIsInstance()
{
    return instance;
}

const TGraphicClass *TSPIs::DefaultGraphicClass()
{
    return defaultGraphicClass;
}

void TSPIs::SetDefaultGraphicClass(const TGraphicClass *graphicClass)
{
    defaultGraphicClass = graphicClass;
}

TSPIs::TSPIs()
{
    if (instance)
        throw ESPIDupCreateSPIs(QStringLiteral("TSPIs は複数生成できません"));
    instance = this;
}

TSPIs::~TSPIs()
{
    if (instance == this)
        instance = nullptr;
    Clear();
}

void TSPIs::Add(std::unique_ptr<TSPI> spi)
{
    Insert(Count(), std::move(spi));
}

void TSPIs::Insert(int index, std::unique_ptr<TSPI> spi)
{
    TSPI *inserted = spi.get();
    plugins.insert(plugins.begin() + index, std::move(spi));
    try {
        registerFormats(inserted);
    } catch (...) {
        // Whatever the error, the plug-in is not left half registered; the error goes on.
        for (auto it = plugins.begin(); it != plugins.end(); ++it)
            if (it->get() == inserted) {
                plugins.erase(it);
                break;
            }
        throw;
    }
}

void TSPIs::registerFormats(TSPI *spi)
{
    if (!SPIIsOf<TInSPI>(spi))
        return;
    for (qsizetype i = 0; i < spi->Extensions.size(); ++i) {
        const TGraphicClass *graphicClass = defaultGraphicClass;
        QString pattern = spi->Extensions[i];
        const QString description = spi->Descriptions[i];
        // The items of one pattern text go from last to first; a class the callback chose
        // holds for the items after it.
        while (!pattern.isEmpty()) {
            QString item;
            const qsizetype semicolon = pattern.lastIndexOf(QLatin1Char(';'));
            if (semicolon >= 0) {
                item = pattern.mid(semicolon + 1);
                pattern.truncate(semicolon);
            } else {
                item = pattern;
                pattern.clear();
            }
            const qsizetype dot = item.indexOf(QLatin1Char('.'));
            const QString extension = dot >= 0 ? item.mid(dot + 1) : item;
            if (OnPictureRegister)
                OnPictureRegister(this, spi, extension, description, graphicClass);
            if (graphicClass)
                RegisterFileFormat(extension, description, *graphicClass);
        }
    }
}

void TSPIs::Delete(int index)
{
    plugins.erase(plugins.begin() + index);
}

void TSPIs::Clear()
{
    while (Count() > 0)
        Delete(0);
}

int TSPIs::IndexOf(const QString &fileName) const
{
    for (int i = 0; i < Count(); ++i)
        if (sameAsciiCaseless(plugins[size_t(i)]->FileName, fileName))
            return i;
    return -1;
}

void TSPIs::Search(const QString &mask)
{
    const qsizetype split = mask.lastIndexOf(QLatin1Char('/'));
    if (split >= 0) {
        SearchFolder(mask.left(split + 1), mask.mid(split + 1));
        return;
    }
    for (TSPISearchOption option : {TSPISearchOption::spsSusieDir, TSPISearchOption::spsAppDir,
                                    TSPISearchOption::spsCurrentDir, TSPISearchOption::spsSystemDir,
                                    TSPISearchOption::spsWindowsDir}) {
        if (!SearchOptions.Contains(option))
            continue;
        const QString folder = searchPlace(option);
        if (option == TSPISearchOption::spsSusieDir && folder.isEmpty())
            continue;
        SearchFolder(withTrailingSeparator(folder), mask);
    }
}

void TSPIs::SearchFolder(const QString &folder, const QString &mask)
{
    // The whole folder is enumerated before anything is loaded: a plug-in's own start-up code
    // cannot change what is found.
    QStringList paths;
    for (const QString &name : MatchingFileNames(folder, mask)) {
        const QString path = folder + name;
        if (IndexOf(path) < 0)
            paths.append(path);
    }
    for (const QString &path : paths) {
        bool accept = true;
        if (OnSearching)
            OnSearching(this, path, accept);
        if (!accept)
            continue;
        // A library lacking an entry its version needs ends the scan (ESPIInvalidAPI).
        std::unique_ptr<TSPI> spi = CreateSPI(path);
        if (!spi)
            continue;
        try {
            accept = true;
            if (OnSearch)
                OnSearch(this, spi.get(), accept);
            if (accept)
                Add(std::move(spi));
        } catch (...) {
            // Any error of the callback or of Add is dropped with the plug-in; the scan goes on.
        }
    }
}

void TSPIs::ListCandidates(const std::vector<TSPIClassTest> &classes, std::vector<TSPI *> &list,
                           const QString &fileName) const
{
    const QString extension = fileExtension(fileName);
    for (const std::unique_ptr<TSPI> &spi : plugins) {
        bool ofClass = false;
        for (TSPIClassTest test : classes)
            ofClass = ofClass || test(spi.get());
        if (!ofClass)
            continue;
        bool matches = false;
        if (!extension.isEmpty())
            for (const QString &pattern : spi->Extensions) {
                const qsizetype dot = pattern.lastIndexOf(QLatin1Char('.'));
                if (dot >= 0 && sameAsciiCaseless(pattern.mid(dot), extension)) {
                    matches = true;
                    break;
                }
            }
        if (matches)
            list.insert(list.begin(), spi.get());
        else
            list.push_back(spi.get());
    }
}
