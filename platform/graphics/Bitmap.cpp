#include "platform/graphics/Bitmap.h"

#include "platform/graphics/GraphicsErrors.h"
#include "platform/graphics/PictureLimits.h"
#include "platform/graphics/StrictImageReader.h"

#include <QImageReader>
#include <QImageWriter>

TBitmap::TBitmap() = default;

TBitmap::~TBitmap()
{
    releaseCanvas();
}

void TBitmap::releaseCanvas() const
{
    if (canvas)
        canvas->Release();
}

void TBitmap::LoadFromStream(QIODevice &Stream)
{
    QImage loaded = ReadImageStrictly(Stream, "bmp", QStringLiteral("Bitmap image is not valid"));
    SetImage(loaded);
}

void TBitmap::SaveToStream(QIODevice &Stream) const
{
    QImageWriter writer(&Stream, "bmp");
    if (Image().isNull() || !writer.write(Image()))
        throw EInvalidGraphic(QStringLiteral("Bitmap image could not be written"));
}

void TBitmap::Assign(const TGraphic &Source)
{
    if (&Source == this)
        return;
    if (auto *bitmap = dynamic_cast<const TBitmap *>(&Source)) {
        QImage copy = bitmap->Image();
        QList<QRgb> colors = bitmap->palette;
        SetImage(copy);
        palette = colors;
        return;
    }
    SetImage(Source.ToImage());
    palette = Source.Palette();
}

void TBitmap::Draw(QPainter &Painter, const QRect &Rect) const
{
    if (!Image().isNull() && Rect.width() > 0 && Rect.height() > 0)
        Painter.drawImage(Rect, Image());
}

bool TBitmap::Empty() const
{
    return image.isNull();
}

int TBitmap::Width() const
{
    return image.width();
}

int TBitmap::Height() const
{
    return image.height();
}

void TBitmap::SetWidth(int Value)
{
    SetSize(Value, Height());
}

void TBitmap::SetHeight(int Value)
{
    SetSize(Width(), Value);
}

void TBitmap::SetSize(int NewWidth, int NewHeight)
{
    if (NewWidth == Width() && NewHeight == Height())
        return;
    if (NewWidth <= 0 || NewHeight <= 0) {
        SetImage(QImage());
        return;
    }
    CheckPictureSize(NewWidth, NewHeight);
    QImage resized(NewWidth, NewHeight, QImage::Format_RGB32);
    if (resized.isNull())
        throw EInvalidGraphic(
            QStringLiteral("Out of memory for a %1 x %2 bitmap").arg(NewWidth).arg(NewHeight));
    resized.fill(Qt::white);
    if (!Image().isNull()) {
        QPainter painter(&resized);
        painter.drawImage(0, 0, image);
    }
    SetImage(resized);
}

QList<QRgb> TBitmap::Palette() const
{
    return palette;
}

void TBitmap::SetPalette(const QList<QRgb> &Colors)
{
    releaseCanvas();
    palette = Colors;
    if (image.format() == QImage::Format_Indexed8 && !Colors.isEmpty())
        image.setColorTable(Colors);
    Changed();
}

QImage TBitmap::ToImage() const
{
    return Image();
}

TCanvas *TBitmap::Canvas()
{
    if (!canvas || !canvas->Active()) {
        // QPainter cannot paint on palette or 1-bit images.
        if (!image.isNull() &&
            (image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono ||
             image.format() == QImage::Format_MonoLSB))
            image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                  : QImage::Format_RGB32);
        if (!canvas)
            canvas = std::make_unique<TCanvas>(image);
    }
    return canvas.get();
}

const QImage &TBitmap::Image() const
{
    releaseCanvas();
    return image;
}

void TBitmap::SetImage(const QImage &Picture)
{
    releaseCanvas();
    image = Picture;
    palette = image.colorTable();
    Changed();
}
