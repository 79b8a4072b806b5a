// libFuzzer target for the metafile reader and player. The input is the file (EMF or WMF,
// told apart by its header, as the picture class does). A metafile that loads is drawn into
// a thumbnail, stretched as the browser draws it, and at its own size when that is small, so
// that every record kind runs under two mappings. Any crash, leak, hang or sanitizer report
// is a finding; refusals are expected. Seeds: the files of tests/data/metafiles.
#include "fuzz/FuzzPictureStart.h"
#include "platform/base/Exception.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/PictureLimits.h"
#include "platform/graphics/metafile/Metafile.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPainter>
#include <cstdint>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    TMetafile metafile;
    try {
        metafile.LoadFromStream(buffer);
        TBitmap thumbnail;
        thumbnail.SetSize(100, 100);
        thumbnail.Canvas()->StretchDraw(QRect(0, 0, 100, 100), metafile);
        (void)thumbnail.Image();
        if (qint64(metafile.Width()) * metafile.Height() <= 256 * 256)
            (void)metafile.ToImage();
    } catch (const Exception &) {
        // a refused file: the expected outcome for most inputs
    }
    return 0;
}
