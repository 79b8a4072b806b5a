#include "album/AlbumCacheFiles.h"

#include "platform/system/StandardFolders.h"

#include <QFile>

QString ThumbnailFileName(const QString &cacheFolder, qint32 pictureId)
{
    return cacheFolder + PathDelim + QString::number(pictureId) + QStringLiteral(".jpg");
}

bool IsUsableCacheFileName(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    if (name.contains(QLatin1Char('/')) || name.contains(QChar(0)))
        return false;
    // Longer names cannot be created (255 bytes per name on the usual file systems); the
    // download would otherwise fail only when it is put in place, silently.
    return QFile::encodeName(name).size() <= 255;
}
