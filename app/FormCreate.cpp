// The main window's start-up sequence.
#include "app/Unit1.h"

#include "app/Unit3.h"
#include "platform/base/Dialogs.h"
#include "platform/base/Timer.h"
#include "platform/system/StandardFolders.h"
#include "platform/widgets/StatusBar.h"
#include "platform/widgets/TabSet.h"

#include <QDir>
#include <QFileInfo>
#include <QTreeWidget>

namespace
{
// Creates base/<name>/ and its "ImageCache"; true when the data folder can be written.
bool prepareDataFolder(const QString &dataFolder, const QString &cacheFolder)
{
    QDir dir;
    dir.mkpath(dataFolder);
    dir.mkdir(cacheFolder);
    QFileInfo info(QDir::cleanPath(dataFolder));
    return info.isDir() && info.isWritable();
}
} // namespace

void TForm1::FormCreate()
{
    // The data folder: the application-data folder first, a hidden folder in the home folder
    // when that cannot be had. A data folder that exists but cannot be written (a read-only
    // mount, a folder of another owner) is still where the settings are read from; only what
    // is written (the settings, the cache) goes to the next folder that can be written. Only
    // when no folder can be written is the user told.
    struct Candidate {
        QString base;
        QString name;
    };
    const Candidate candidates[] = {{ApplicationDataFolder(), QStringLiteral("tovela")},
                                    {ProfileFolder(), QStringLiteral(".tovela")}};
    QString readable, writable;
    try {
        for (const Candidate &c : candidates) {
            if (c.base.isEmpty())
                continue;
            const QString data = c.base + PathDelim + c.name + PathDelim;
            if (DataFolder.isEmpty())
                DataFolder = data;
            const bool canWrite = prepareDataFolder(data, data + QStringLiteral("ImageCache"));
            if (readable.isEmpty() && QFileInfo(QDir::cleanPath(data)).isDir())
                readable = data;
            if (canWrite) {
                writable = data;
                break;
            }
        }
    } catch (const std::exception &) {
        // Whatever is raised while the folders are made gets this one message; start-up goes on.
        Dialogs().ShowMessage(QStringLiteral("フォルダ作成エラーが発生しました"));
    }
    if (!readable.isEmpty())
        DataFolder = readable;
    else if (!writable.isEmpty())
        DataFolder = writable;
    SettingsFallback = writable != DataFolder ? writable : QString();
    CacheFolder =
        (SettingsFallback.isEmpty() ? DataFolder : SettingsFallback) + QStringLiteral("ImageCache");
    if (writable.isEmpty())
        Dialogs().ShowMessage(QStringLiteral(
            "データの保存用フォルダが作成出来ません。\n開発元にお問い合わせください。"));

    // The settings, then the plug-ins when their use is on.
    LoadIniFile();
    if (Spi) {
        SetSpi();
        ActSusiePlugin->setChecked(true);
    }
    // The status bar starts empty.
    StatusBar1->setPanelText(0, QString());
    // Every subsystem's state at its initial values.
    ResetLocalBrowserState();
    ResetAlbumState();
    AlbumLoaded = false;
    StopTimer->setEnabled(false);
    PcImageDrawTimer->setEnabled(false);
    UploadBusy = false;

    // Resume the saved session and open on the album; logged out, on the local pictures and
    // the guide.
    if (Login()) {
        if (QTreeWidgetItem *first = AlbumTreeView->topLevelItem(0))
            first->setExpanded(true);
        ViewSelect(ViewIndex::Album);
        DockTabSet1->setTabIndex(ViewIndex::Album);
    } else {
        ViewSelect(ViewIndex::Pc);
        DockTabSet1->setTabIndex(ViewIndex::Pc);
        if (NavigateWindow)
            Form3->ShowAndRaise();
    }
}
