// libFuzzer target for the picture loaders. The first byte picks the loader (JPEG, BMP, ICO),
// the rest is the file. A picture that loads is also drawn into a thumbnail, as the browser
// does. Any crash, leak, hang or sanitizer report is a finding; refusals are expected.
#include "fuzz/FuzzPictureStart.h"
#include "platform/base/Exception.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Icon.h"
#include "platform/graphics/JpegImage.h"
#include "platform/graphics/PictureLimits.h"

#include <QBuffer>
#include <QGuiApplication>
#include <cstdint>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    std::unique_ptr<TGraphic> graphic;
    switch (data[0] % 3) {
    case 0:
        graphic = std::make_unique<TJPEGImage>();
        break;
    case 1:
        graphic = std::make_unique<TBitmap>();
        break;
    default:
        graphic = std::make_unique<TIcon>();
        break;
    }
    try {
        graphic->LoadFromStream(buffer);
        TBitmap thumbnail;
        thumbnail.SetSize(100, 100);
        thumbnail.Canvas()->StretchDraw(QRect(0, 0, 100, 100), *graphic);
        (void)thumbnail.Image();
    } catch (const Exception &) {
        // a refused picture: the expected outcome for most inputs
    }
    return 0;
}
