// The full-size album picture: downloaded into the cache folder, shown in the preview and
// deleted at once.
#include "app/Unit1.h"

#include "album/AlbumCacheFiles.h"
#include "platform/Dialogs.h"
#include "platform/Exception.h"
#include "platform/Image.h"
#include "platform/Picture.h"
#include "platform/StandardFolders.h"
#include "platform/TabSet.h"

#include <QFile>
#include <QScopeGuard>

void TForm1::AlbumShowBigImage(int Index)
{
    if (Index < 0 || Index >= static_cast<int>(PictureTable.size()))
        return;
    const TAlbumImages entry = PictureTable[static_cast<size_t>(Index)];
    // The scroll positions stay as they are.
    BigImage->move(0, 0);
    try {
        // The preview shows while the picture downloads.
        DockTabSet1->setTabIndex(ViewIndex::BigImage);
        ViewSelect(ViewIndex::BigImage);
        // A name that would leave the cache folder is not a file name here.
        const QString url = ServiceHost + QStringLiteral("/wis/wi_image.php/") + SessionId +
                            QStringLiteral("?mode=big&id=") + QString::number(entry.PictureId);
        if (!IsUsableCacheFileName(entry.Name))
            throw EInOutError(QStringLiteral("unusable file name: ") + entry.Name);
        const QString file = CacheFolder + PathDelim + entry.Name;
        // A download that fails ends here, silently.
        if (!GetHTTPBin(url, file))
            return;
        // Shown or not, the downloaded file does not stay.
        const auto removeDownloaded = qScopeGuard([&file] { QFile::remove(file); });
        TPicture picture;
        picture.LoadFromFile(file);
        BigImage->setPicture(picture.Graphic()->ToImage());
    } catch (const Exception &) {
        // A picture that cannot be stored or decoded is told about.
        Dialogs().ShowMessage(QStringLiteral(
            "ファイルが開けませんでした。\r\nファイルの形式を確認してみてください。"));
    }
}
