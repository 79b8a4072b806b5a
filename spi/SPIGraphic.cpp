// TSPIGraphic: a picture as a plug-in returned it, its metrics and palette, drawing, and the BMP
// file written from it.
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Dib.h"
#include "platform/graphics/GraphicsErrors.h"
#include "platform/graphics/PictureFormats.h"
#include "spi/SPIBmp.h"

#include <QBuffer>
#include <QFile>
#include <QIODevice>
#include <QPainter>
#include <QtEndian>

QString SPICouldNotDecodeText()
{
    return QStringLiteral("Susie Plugins could not decode");
}

const TGraphicClass &SPIGraphicClass()
{
    return GraphicClassOf<TSPIGraphic>("TSPIGraphic");
}

TSPIGraphic::TSPIGraphic() = default;

TSPIGraphic::~TSPIGraphic()
{
    ClearData();
}

void TSPIGraphic::LoadFromFile(const QString &FileName)
{
    LoadFromLocalFile(QFile::encodeName(FileName));
}

void TSPIGraphic::LoadFromLocalFile(const QByteArray &Path)
{
    ClearData();
    data = std::make_unique<TInSPIAbleFromFile>(this, Path);
    DecodeBySPI();
}

void TSPIGraphic::LoadFromStream(QIODevice &Stream)
{
    LoadFromStreamWithName(Stream, QString());
}

void TSPIGraphic::LoadFromStreamWithName(QIODevice &Stream, const QString &FileName)
{
    ClearData();
    data = std::make_unique<TInSPIAbleFromStream>(this, FileName, Stream);
    DecodeBySPI();
}

void TSPIGraphic::DecodeBySPI()
{
    data->OnProgress = OnProgress;
    try {
        data->Decode();
        if (data->IsEmpty())
            throw EInvalidGraphic(SPICouldNotDecodeText());
    } catch (...) {
        // Whatever the error, no half-decoded data stays behind; the error goes on.
        ClearData();
        throw;
    }
    Changed();
}

void TSPIGraphic::ClearData()
{
    data.reset();
    palette.clear();
    metricsValid = false;
}

bool TSPIGraphic::Empty() const
{
    return !data || data->IsEmpty();
}

void TSPIGraphic::UpdateMetrics() const
{
    if (metricsValid)
        return;
    if (Empty()) {
        width = height = 0;
        colorCount = infoSize = imageSize = 0;
        palette.clear();
        copyPaletteWanted = false;
        metricsValid = true;
        return;
    }
    // The layout was checked against the plug-in's blocks when the decode adopted them.
    const TDibLayout &d = data->Layout();
    width = d.Width;
    height = d.Height;
    colorCount = d.ColorCount;
    infoSize = d.InfoSize;
    imageSize = d.ImageSize;
    copyPaletteWanted = d.BitCount == 4;
    palette = DibColorTable(d, data->BitmapInfo());
    metricsValid = true;
}

int TSPIGraphic::Width() const
{
    UpdateMetrics();
    return width;
}

int TSPIGraphic::Height() const
{
    UpdateMetrics();
    return height;
}

QList<QRgb> TSPIGraphic::Palette() const
{
    UpdateMetrics();
    return palette;
}

bool TSPIGraphic::CopyPaletteWanted() const
{
    UpdateMetrics();
    return copyPaletteWanted;
}

uint32_t TSPIGraphic::ColorCount() const
{
    UpdateMetrics();
    return colorCount;
}

uint32_t TSPIGraphic::InfoSize() const
{
    UpdateMetrics();
    return infoSize;
}

uint32_t TSPIGraphic::ImageSize() const
{
    UpdateMetrics();
    return imageSize;
}

void TSPIGraphic::Draw(QPainter &Painter, const QRect &Rect) const
{
    if (Empty())
        return;
    UpdateMetrics();
    const QImage picture = ToImage();
    if (picture.isNull())
        return;
    // Colour-on-colour stretching: rows and columns are dropped or repeated, never blended.
    const bool smooth = Painter.testRenderHint(QPainter::SmoothPixmapTransform);
    Painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    Painter.drawImage(Rect, picture);
    Painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
}

QImage TSPIGraphic::ToImage() const
{
    if (Empty())
        return {};
    return DibToImage(data->Layout(), data->BitmapInfo(), data->Bits());
}

QByteArray TSPIGraphic::bmpFile() const
{
    if (Empty())
        throw EInvalidGraphic(SPICouldNotDecodeText());
    UpdateMetrics();
    QByteArray file;
    const qsizetype total = 14 + qsizetype(infoSize) + qsizetype(imageSize);
    file.reserve(total);
    uchar header[14];
    qToLittleEndian<quint16>(0x4D42, header);
    qToLittleEndian<quint32>(quint32(total), header + 2);
    qToLittleEndian<quint16>(0, header + 6);
    qToLittleEndian<quint16>(0, header + 8);
    qToLittleEndian<quint32>(14 + infoSize, header + 10);
    file.append(reinterpret_cast<const char *>(header), 14);
    file.append(reinterpret_cast<const char *>(data->BitmapInfo()), qsizetype(infoSize));
    file.append(reinterpret_cast<const char *>(data->Bits()), qsizetype(imageSize));
    return file;
}

void TSPIGraphic::SaveToStream(QIODevice &Stream) const
{
    const QByteArray file = bmpFile();
    if (Stream.write(file) != file.size())
        throw EInvalidGraphic(QStringLiteral("Bitmap image could not be written"));
}

namespace
{
std::unique_ptr<TGraphic> loadBitmap(const TGraphicClass &BitmapClass, QByteArray file)
{
    std::unique_ptr<TGraphic> bitmap = BitmapClass.Create();
    QBuffer stream(&file);
    stream.open(QIODevice::ReadOnly);
    bitmap->LoadFromStream(stream);
    return bitmap;
}

// Whether the plain bitmap reads the BMP written for this DIB as the direct conversion draws
// it: the same format and the same pixels. Then the BMP need not be written and read back,
// which for a big picture costs more than the plug-in's own decode. Other DIBs (palettes,
// 16 bits, bit-field masks, larger headers) keep the reader's own interpretation.
bool readsAsConverted(const TGraphicClass &BitmapClass, const TDibLayout &d)
{
    return &BitmapClass == &::BitmapClass() && d.HeaderSize == 40 && d.Compression == BI_RGB &&
           (d.BitCount == 24 || d.BitCount == 32);
}

std::unique_ptr<TGraphic> convertedBitmap(const TGraphicClass &BitmapClass, const QImage &picture)
{
    if (picture.isNull())
        throw EInvalidGraphic(QStringLiteral("Out of memory for a %1 x %2 bitmap")
                                  .arg(picture.width())
                                  .arg(picture.height()));
    std::unique_ptr<TGraphic> bitmap = BitmapClass.Create();
    static_cast<TBitmap &>(*bitmap).SetImage(picture);
    return bitmap;
}
} // namespace

std::unique_ptr<TGraphic> TSPIGraphic::ToBitmap(const TGraphicClass &BitmapClass) const
{
    if (!Empty() && readsAsConverted(BitmapClass, data->Layout()))
        return convertedBitmap(BitmapClass, ToImage());
    return loadBitmap(BitmapClass, bmpFile());
}

std::unique_ptr<TGraphic> TSPIGraphic::ToBitmapAndRelease(const TGraphicClass &BitmapClass)
{
    if (!Empty() && readsAsConverted(BitmapClass, data->Layout())) {
        const QImage picture = ToImage();
        ClearData();
        return convertedBitmap(BitmapClass, picture);
    }
    QByteArray file = bmpFile();
    ClearData();
    return loadBitmap(BitmapClass, std::move(file));
}
