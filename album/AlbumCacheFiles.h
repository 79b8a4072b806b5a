#pragma once
// Names of the files the album keeps in the cache folder.
#include <QString>

// cacheFolder + "/" + the picture id in decimal + ".jpg".
QString ThumbnailFileName(const QString &cacheFolder, qint32 pictureId);
// Whether a picture name from the service may be used as a file name inside the cache
// folder: not empty, not "." or "..", no "/" or NUL (so it cannot leave the folder), and
// not longer than a file name can be.
bool IsUsableCacheFileName(const QString &name);
