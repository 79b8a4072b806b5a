#pragma once
// The thumbnail's decode, the slow half of a thumbnail step: it runs on the decode worker and
// touches nothing of the window.
#include <QByteArray>
#include <QImage>

struct TPcThumbnail {
    bool Made = false; // false: the file could not be decoded
    QImage Image;      // 100 x 100 in layout pixels at the asked ratio
};

TPcThumbnail DecodePcThumbnail(const QByteArray &path, qreal ratio);
