// The picture list of one album folder: line records from the service, each picture's
// thumbnail downloaded once into the cache folder and drawn from there.
#include "app/Unit1.h"

#include "album/AlbumCacheFiles.h"
#include "album/AlbumLoadState.h"
#include "album/AlbumStopOnClose.h"
#include "album/AlbumThumbnail.h"
#include "album/AlbumTreePositions.h"
#include "album/LineRecord.h"
#include "platform/base/Exception.h"
#include "platform/base/MessagePump.h"
#include "platform/base/Timer.h"
#include "platform/base/Trace.h"
#include "platform/graphics/DecodeWorker.h"
#include "platform/graphics/Picture.h"
#include "platform/system/LocalFile.h"
#include "platform/widgets/Gauge.h"
#include "platform/widgets/ImageList.h"
#include "platform/widgets/OwnerDataListView.h"
#include "platform/widgets/StatusBar.h"
#include "platform/widgets/TabSet.h"
#include "session/WaitingRequests.h"

#include <QFile>
#include <QProgressBar>
#include <QScopeGuard>
#include <QTreeWidget>

void TForm1::StopTimerAlbumBranch()
{
    OutputDebugString(AlbumLoadStateName(AlbumLoadState));
    if (DockTabSet1->TabIndex() != ViewIndex::Album)
        return;
    // Idle with a folder picked: list it.
    if (AlbumLoadState == STOPED_ALBUM) {
        const QList<QTreeWidgetItem *> selected = AlbumTreeView->selectedItems();
        if (!selected.isEmpty()) {
            const int k = DisplayPosition(AlbumTreeView, selected.first());
            if (k >= 0 && k < static_cast<int>(FolderTable.size()))
                AlbumLoad(FolderTable[static_cast<size_t>(k)].FolderId);
        }
    }
    // A load that ran to its end stops the timer; one that was stopped leaves it running,
    // so the next tick lists the folder picked meanwhile.
    if (AlbumLoadState == LOAD_COMP_ALBUM) {
        OutputDebugString(QStringLiteral("Album Load Repeat?"));
        AlbumLoadState = STOPED_ALBUM;
        StopTimer->setEnabled(false);
    }
}

void TForm1::AlbumLoad(int FolderId)
{
    // The previous folder's pictures go, their thumbnails with them.
    PictureTable.clear();
    AlbumListView->Clear();
    AlbumImageList->Clear();
    // Only an idle album starts loading; a stop asked for already stays asked.
    if (AlbumLoadState == STOPED_ALBUM)
        AlbumLoadState = NOW_LOADING_ALBUM;
    // The gauge sits in the status bar while the list loads.
    ShowGaugeInStatusBar(Gauge1, StatusBar1);

    // However the load ends, failures included: the gauge goes, and a stopped load becomes
    // idle, any other complete.
    const auto finish = qScopeGuard([this] {
        Gauge1->hide();
        AlbumLoadState = AlbumLoadState == DO_STOP_ALBUM ? STOPED_ALBUM : LOAD_COMP_ALBUM;
    });

    try {
        // The three stock pictures first.
        for (const QImage *stock : {&UnknownFileImage, &FolderImage, &FolderUpImage})
            AlbumImageList->Add(*stock);
        // The folder's picture list.
        const QStringList lines = SplitLines(
            GetHTTPWaiting(*this, ServiceHost + QStringLiteral("/wis/wi_folder.php/") + SessionId +
                                      QStringLiteral("?mode=img&id=") + QString::number(FolderId)));
        const qsizetype count = lines.size();
        TMessagePump pump;
        // A malformed record or an unreadable thumbnail ends the load at its line; a
        // thumbnail that cannot be downloaded passes its line over.
        for (qsizetype k = 0; k < count; ++k) {
            if (count > 1)
                Gauge1->setValue(GaugePercent(k, count));
            if (AlbumLoadState == DO_STOP_ALBUM) {
                OutputDebugString(QStringLiteral("Stoping ALBUM Loading"));
                continue;
            }
            const QStringList fields = RecordFields(lines.at(k));
            if (RecordInteger(fields, 0) == 1) {
                const qint32 pictureId = RecordInteger(fields, 1);
                const QString name = RecordText(fields, 2);
                if (AlbumSmallImgLoad(pictureId)) {
                    const QString file = ThumbnailFileName(CacheFolder, pictureId);
                    TPicture picture;
                    // A plug-in may decode it, and none is entered from two threads at once.
                    DecodeWorker->WaitIdle();
                    try {
                        picture.LoadFromFile(file);
                    } catch (const Exception &) {
                        // A cached file that is no picture is dropped, so that the next
                        // listing fetches it again instead of ending here for good.
                        QFile::remove(file);
                        throw;
                    }
                    const int index = AlbumImageList->Add(
                        CentredThumbnail(*picture.Graphic(), AlbumListView->devicePixelRatioF()));
                    PictureTable.push_back({name, pictureId, index});
                    AlbumListView->setItemsCount(static_cast<int>(PictureTable.size()));
                }
            }
            // A click on another folder arrives here, or while a request waits (the thumbnail's
            // download above): either way the next line is skipped.
            pump.Tick();
        }
    } catch (const Exception &) {
        // Every failure ends the load silently; the pictures listed so far stay.
    }
}

void AlbumStopOnClose(TForm1 &form)
{
    // The request running now ends (its file lands whole or not at all); no further request
    // goes out for a window that is gone, and no later tick lists again.
    if (form.AlbumLoadState == NOW_LOADING_ALBUM)
        form.AlbumLoadState = DO_STOP_ALBUM;
    form.StopTimer->setEnabled(false);
}

bool TForm1::AlbumSmallImgLoad(int PictureId)
{
    OutputDebugString(QString::number(PictureId));
    const QString file = ThumbnailFileName(CacheFolder, PictureId);
    if (IsReadableRegularFile(QFile::encodeName(file)))
        return true;
    return GetHTTPBin(ServiceHost + QStringLiteral("/wis/wi_image.php/") + SessionId +
                          QStringLiteral("?mode=small&id=") + QString::number(PictureId),
                      file);
}
