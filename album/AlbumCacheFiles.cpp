#include "album/AlbumCacheFiles.h"

#include "platform/SpecialFolders.h"

QString ThumbnailFileName(const QString &cacheFolder, qint32 pictureId)
{
    return cacheFolder + PathDelim + QString::number(pictureId) + QStringLiteral(".jpg");
}

bool IsUsableCacheFileName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    return !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}
