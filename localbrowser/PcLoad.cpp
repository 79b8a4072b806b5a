// Folder listing: the folder picked in PcTreeView becomes PcImages and the items of PcListView.
#include "app/Unit1.h"
#include "app/Unit3.h"
#include "localbrowser/PcLoadState.h"
#include "platform/base/MessagePump.h"
#include "platform/base/Timer.h"
#include "platform/base/Trace.h"
#include "platform/system/FileNames.h"
#include "platform/system/FolderReader.h"
#include "platform/system/StandardFolders.h"
#include "platform/text/NameOrder.h"
#include "platform/widgets/Gauge.h"
#include "platform/widgets/ImageList.h"
#include "platform/widgets/OwnerDataListView.h"
#include "platform/widgets/ShellTreeView.h"
#include "platform/widgets/StatusBar.h"
#include "platform/widgets/TabSet.h"

#include <QFile>
#include <QProgressBar>

void TForm1::PcTreeViewChange()
{
    if (PcLoadState != STOPED_PC)
        PcLoadState = DO_STOP_PC;
    StopTimer->setEnabled(true);
}

void TForm1::StopTimerPcBranch()
{
    if (DockTabSet1->TabIndex() != ViewIndex::Pc)
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

namespace
{
// Resets the display: a fresh image list with the three stock pictures first, no entries.
void resetDisplay(TForm1 &form)
{
    if (!form.PcImages.empty()) {
        auto *fresh = new TImageList(100, 100, &form);
        TImageList *old = form.PcImageList;
        form.PcImageList = fresh;
        form.PcListView->setLargeImages(fresh);
        delete old;
    }
    form.PcImages.clear();
    // A thumbnail decode still running belongs to the entries just dropped.
    ++form.PcListing;
    form.PcDrawing = false;
    form.PcImgCache.Clear();
    form.PcDroppedThumbnails.clear();
    form.PcListView->Clear();
    form.PcImageList->Clear();
    form.PcImageList->Add(form.UnknownFileImage);
    form.PcImageList->Add(form.FolderImage);
    form.PcImageList->Add(form.FolderUpImage);
    form.PcImageDrawTimer->setEnabled(false);
}

// Counting pass: the listable files, which size the entry list.
size_t countListableFiles(const QByteArray &folder)
{
    size_t n = 0;
    TFolderReader reader(folder);
    bool kept = false;
    QByteArray name;
    while (reader.Next(kept, name))
        if (kept)
            ++n;
    return n;
}

// Storing pass, in name order: the folder is read to its end, its names are put in name
// order, and the first n of them are stored. A folder that grew since the count loses the
// names that sort last; one that shrank leaves no empty records. Pending messages are
// processed throughout, so the user can pick another folder meanwhile.
std::vector<TPcImages> storeInNameOrder(const QByteArray &folder, size_t n,
                                        const TShellTreeView &tree)
{
    TMessagePump pump;
    std::vector<QByteArray> rawNames;
    rawNames.reserve(n);
    {
        TFolderReader reader(folder);
        bool kept = false;
        QByteArray name;
        while (reader.Next(kept, name)) {
            if (kept)
                rawNames.push_back(name);
            pump.Tick();
        }
    }
    std::vector<QString> texts;
    texts.reserve(rawNames.size());
    for (const QByteArray &raw : rawNames)
        texts.push_back(FileNameText(raw));
    const std::vector<size_t> order = NameOrder(texts, [&pump] { pump.Tick(); });
    // The records take the tree's folder as it is now, after the messages above.
    const QString folderText = tree.Path();
    std::vector<TPcImages> scratch(std::min(n, order.size()));
    for (size_t k = 0; k < scratch.size(); ++k) {
        TPcImages &record = scratch[k];
        record.Name = std::move(texts[order[k]]);
        record.RawName = std::move(rawNames[order[k]]);
        record.Folder = folderText;
        record.IsFolder = false;
        record.IsPicture = false;
    }
    return scratch;
}

// Adding pass. No messages are processed here, so the state cannot change within it; the
// items are given to the list in one step after the pass.
void addItems(TForm1 &form)
{
    const size_t count = form.PcImages.size();
    int added = 0;
    for (size_t i = 0; i < count; ++i) {
        if (count > 1)
            form.Gauge1->setValue(GaugePercent(i, count));
        if (form.PcLoadState == DO_STOP_PC) {
            OutputDebugString(QStringLiteral("Stop Loading"));
            continue;
        }
        form.PcImages[i].IsPicture = !form.PcImages[i].IsFolder;
        form.PcImages[i].ImageIndex = -1;
        ++added;
    }
    form.PcListView->setItemsCount(added);
}
} // namespace

void TForm1::PcLoad(const QString &path)
{
    if (PcLoadState == STOPED_PC)
        PcLoadState = NOW_LOADING_PC;

    // The gauge sits in the status bar while the listing runs.
    ShowGaugeInStatusBar(Gauge1, StatusBar1);
    PcListView->setCursor(Qt::BusyCursor);
    resetDisplay(*this);

    const QByteArray folder = QFile::encodeName(path);
    const size_t n = countListableFiles(folder);
    std::vector<TPcImages> scratch = storeInNameOrder(folder, n, *PcTreeView);
    PcImages.clear();
    PcImages.reserve(scratch.size());
    for (TPcImages &record : scratch)
        if (!record.IsFolder)
            PcImages.push_back(std::move(record));
    scratch = {};
    addItems(*this);

    PcLoadState = PcLoadState == DO_STOP_PC ? STOPED_PC : LOAD_COMP_PC;
    Gauge1->hide();
    PcListView->unsetCursor();
    PcImageDrawTimer->setEnabled(true);
    Form3->SetPage(1);
}
