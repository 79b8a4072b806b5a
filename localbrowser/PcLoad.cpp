// Folder listing: the folder picked in PcTreeView becomes PcImages and the items of PcListView.
#include "app/Unit1.h"
#include "app/Unit3.h"
#include "localbrowser/PcLoadState.h"
#include "platform/ImageList.h"
#include "platform/OwnerDataListView.h"
#include "platform/ShellTreeView.h"
#include "platform/StandardFolders.h"
#include "platform/StatusBar.h"
#include "platform/TabSet.h"
#include "platform/Timer.h"
#include "platform/Trace.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QProgressBar>

namespace
{
// Every entry of the folder, "." and ".." and hidden ones included, as one enumeration.
QDirIterator enumerate(const QString &folder)
{
    return QDirIterator(folder, {QStringLiteral("*")},
                        QDir::AllEntries | QDir::Hidden | QDir::System);
}

bool listed(const QFileInfo &entry)
{
    return !entry.isDir() && !entry.fileName().startsWith(QLatin1Char('.'));
}
} // namespace

void TForm1::PcTreeViewChange()
{
    if (PcLoadState != STOPED_PC)
        PcLoadState = DO_STOP_PC;
    StopTimer->setEnabled(true);
}

void TForm1::StopTimerPcBranch()
{
    if (DockTabSet1->TabIndex() != 0)
        return;
    if (PcLoadState == STOPED_PC) {
        OutputDebugString(QStringLiteral("DISP VIEW ITEMS "));
        PcLoad(PcTreeView->Path());
    }
    if (PcLoadState == LOAD_COMP_PC) {
        OutputDebugString(QStringLiteral("DISP VIEW ITEMS DONE"));
        PcLoadState = STOPED_PC;
        StopTimer->setEnabled(false);
    }
}

void TForm1::PcLoad(const QString &path)
{
    // 1.
    if (PcLoadState == STOPED_PC)
        PcLoadState = NOW_LOADING_PC;

    // 2. The gauge sits in the status bar while the listing runs.
    Gauge1->setParent(StatusBar1);
    const int clientHeight = StatusBar1->contentsRect().height();
    Gauge1->setFixedHeight(clientHeight - 4);
    Gauge1->move(100, (clientHeight - Gauge1->height()) / 2 + 1);
    Gauge1->setValue(0);
    Gauge1->show();
    Gauge1->raise();
    PcListView->setCursor(Qt::BusyCursor);

    // 3. Reset the display; a failure here does not stop the listing.
    try {
        if (!PcImages.empty()) {
            auto *fresh = new TImageList(100, 100, this);
            TImageList *old = PcImageList;
            PcImageList = fresh;
            PcListView->setLargeImages(fresh);
            delete old;
        }
        PcImages.clear();
        PcImgCache.Clear();
        PcDroppedThumbnails.clear();
        PcListView->Clear();
        PcImageList->Clear();
        PcImageList->Add(UnknownFileImage);
        PcImageList->Add(FolderImage);
        PcImageList->Add(FolderUpImage);
        PcImageDrawTimer->setEnabled(false);
    } catch (const std::exception &) {
    }
    PcImageDrawTimer->setEnabled(false);

    // 4. Counting pass.
    size_t n = 0;
    for (QDirIterator it = enumerate(path); it.hasNext();) {
        it.next();
        if (listed(it.fileInfo()))
            ++n;
    }

    // 5. Storing pass. The folder may have changed since the count: entries beyond the
    // counted size are left out, records the folder no longer fills are dropped.
    std::vector<TPcImages> scratch(n);
    size_t stored = 0;
    for (QDirIterator it = enumerate(path); it.hasNext();) {
        it.next();
        if (stored < n && listed(it.fileInfo())) {
            TPcImages &record = scratch[stored++];
            record.Name = it.fileName();
            record.Folder = PcTreeView->Path();
            record.IsFolder = false;
            record.IsPicture = false;
        }
        QCoreApplication::processEvents();
    }
    scratch.resize(stored);

    // 6.
    PcImages.clear();
    PcImages.reserve(scratch.size());
    for (TPcImages &record : scratch)
        if (!record.IsFolder)
            PcImages.push_back(std::move(record));
    scratch = {};

    // 7. Adding pass. No messages are processed here, so the state cannot change within it;
    // the items are given to the list in one step after the pass.
    const size_t count = PcImages.size();
    int added = 0;
    for (size_t i = 0; i < count; ++i) {
        if (count > 1)
            Gauge1->setValue(static_cast<int>(double(i) / ((double(count) - 1) / 100)));
        if (PcLoadState == DO_STOP_PC) {
            OutputDebugString(QStringLiteral("Stop Loading"));
            continue;
        }
        PcImages[i].IsPicture = !PcImages[i].IsFolder;
        PcImages[i].ImageIndex = -1;
        ++added;
    }
    PcListView->setItemsCount(added);

    // 8.
    PcLoadState = PcLoadState == DO_STOP_PC ? STOPED_PC : LOAD_COMP_PC;
    Gauge1->hide();
    PcListView->unsetCursor();
    PcImageDrawTimer->setEnabled(true);
    Form3->SetPage(1);
}
