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

namespace
{
// Deletes the downloaded file however the load ends.
struct RemoveOnExit {
    QString file;
    ~RemoveOnExit() { QFile::remove(file); }
};
} // namespace

void TForm1::AlbumShowBigImage(int Index)
{
    if (Index < 0 || Index >= static_cast<int>(PictureTable.size()))
        return;
    const TAlbumImages entry = PictureTable[static_cast<size_t>(Index)];
    // 1. The scroll positions stay as they are.
    BigImage->move(0, 0);
    try {
        // 2.
        DockTabSet1->setTabIndex(2);
        ViewSelect(2);
        // 3-4. A name that would leave the cache folder is not a file name here.
        const QString url = ServiceHost + QStringLiteral("/wis/wi_image.php/") + SessionId +
                            QStringLiteral("?mode=big&id=") + QString::number(entry.PictureId);
        if (!IsUsableCacheFileName(entry.Name))
            throw EInOutError(QStringLiteral("unusable file name: ") + entry.Name);
        const QString file = CacheFolder + PathDelim + entry.Name;
        // 5.
        if (!GetHTTPBin(url, file))
            return;
        // 6.
        RemoveOnExit downloaded{file};
        TPicture picture;
        picture.LoadFromFile(file);
        BigImage->setPicture(picture.Graphic()->ToImage());
    } catch (const Exception &) {
        // 7.
        Dialogs().ShowMessage(QStringLiteral(
            "ファイルが開けませんでした。\r\nファイルの形式を確認してみてください。"));
    }
}
