// The full-size album picture: downloaded into the cache folder, shown in the preview and
// deleted at once.
#include "app/Unit1.h"

#include "album/AlbumCacheFiles.h"
#include "platform/base/Dialogs.h"
#include "platform/base/Exception.h"
#include "platform/graphics/DecodeWorker.h"
#include "platform/graphics/Picture.h"
#include "platform/system/StandardFolders.h"
#include "platform/widgets/Image.h"
#include "platform/widgets/TabSet.h"

#include <QFile>
#include <QPointer>
#include <QScopeGuard>
#include <utility>
#include <vector>

namespace
{
// Previews asked for while one downloads. The download waits with the window's events going
// on, so a second double click can arrive during it; it is taken after the first preview is
// done, as it was when the download blocked, so two previews of one name never share the
// downloaded file. Re-entry happens only on the window's thread, so one record serves.
struct TPreviewQueue {
    bool busy = false;
    std::vector<std::pair<QPointer<TForm1>, int>> pending;
};
TPreviewQueue previews;

void showOne(TForm1 &form, int Index);
} // namespace

void TForm1::AlbumShowBigImage(int Index)
{
    if (previews.busy) {
        previews.pending.emplace_back(this, Index);
        return;
    }
    previews.busy = true;
    const auto idle = qScopeGuard([] {
        previews.busy = false;
        previews.pending.clear();
    });
    showOne(*this, Index);
    for (size_t k = 0; k < previews.pending.size(); ++k) {
        const auto [form, index] = previews.pending[k];
        if (form)
            showOne(*form, index);
    }
}

namespace
{
void showOne(TForm1 &form, int Index)
{
    if (Index < 0 || Index >= static_cast<int>(form.PictureTable.size()))
        return;
    const TAlbumImages entry = form.PictureTable[static_cast<size_t>(Index)];
    // The scroll positions stay as they are.
    form.BigImage->move(0, 0);
    try {
        // The preview shows while the picture downloads.
        form.DockTabSet1->setTabIndex(ViewIndex::BigImage);
        form.ViewSelect(ViewIndex::BigImage);
        // A name that would leave the cache folder is not a file name here.
        const QString url = form.ServiceHost + QStringLiteral("/wis/wi_image.php/") +
                            form.SessionId + QStringLiteral("?mode=big&id=") +
                            QString::number(entry.PictureId);
        if (!IsUsableCacheFileName(entry.Name))
            throw EInOutError(QStringLiteral("unusable file name: ") + entry.Name);
        const QString file = form.CacheFolder + PathDelim + entry.Name;
        // A download that fails ends here, silently.
        if (!form.GetHTTPBin(url, file))
            return;
        // Shown or not, the downloaded file does not stay.
        const auto removeDownloaded = qScopeGuard([&file] { QFile::remove(file); });
        // Decoded on the decode worker, after the thumbnail decode under way, while the
        // window goes on.
        QImage image;
        form.DecodeWorker->Run([&file, &image] {
            TPicture picture;
            picture.LoadFromFile(file);
            image = picture.Graphic()->ToImage();
        });
        form.BigImage->setPicture(image);
    } catch (const Exception &) {
        // A picture that cannot be stored or decoded is told about.
        Dialogs().ShowMessage(QStringLiteral(
            "ファイルが開けませんでした。\r\nファイルの形式を確認してみてください。"));
    }
}
} // namespace
