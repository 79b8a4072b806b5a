// TSPIBitmap: the picture loader that tries the plain bitmap reader and the plug-ins in the
// order the file's extension decides, and always ends holding a plain bitmap.
#include "platform/graphics/GraphicsErrors.h"
#include "platform/graphics/Picture.h"
#include "platform/system/FileNames.h"
#include "spi/SPIBmp.h"
#include "spi/SPIs.h"

#include <QFile>
#include <QIODevice>
#include <exception>
#include <optional>

const TGraphicClass &SPIBitmapClass()
{
    return GraphicClassOf<TSPIBitmap>("TSPIBitmap");
}

namespace
{
// The unit's start and end: plug-in formats register under TSPIBitmap, and when the unit ends
// its registrations leave the picture-format registry.
struct SPIBmpUnit {
    SPIBmpUnit()
    {
        // Touching the registry first makes it outlive this object, whose end uses it.
        FindGraphicClass(QStringLiteral("bmp"));
        TSPIs::SetDefaultGraphicClass(&SPIBitmapClass());
    }
    ~SPIBmpUnit() { UnregisterGraphicClass(SPIBitmapClass()); }
} unit;
} // namespace

TSPIBitmap::TSPIBitmap()
    : onLoadFromStreamWithName([this](QIODevice &Stream, const QString &FileName) {
          LoadFromStreamWithName(Stream, FileName);
      })
{
}

void TSPIBitmap::RelayProgress(TGraphic *, TProgressStage Stage, int PercentDone, bool RedrawNow,
                               const QRect &R, const QString &Msg)
{
    // The inner graphic's end reports are dropped: the bitmap sends its own at the end.
    if (Stage != TProgressStage::psEnding)
        Progress(this, Stage, PercentDone, RedrawNow, R, Msg);
}

std::unique_ptr<TGraphic>
TSPIBitmap::loadByClassOrder(const QString &FileName, const std::function<void(TGraphic &)> &loader,
                             const std::function<void()> &rewind)
{
    const bool bmpFirst = PictureFileExtension(FileName).toUpper() == QLatin1String("BMP");
    const TGraphicClass *order[2] = {&SPIGraphicClass(), &BitmapClass()};
    if (bmpFirst)
        std::swap(order[0], order[1]);
    for (const TGraphicClass *cls : order) {
        std::unique_ptr<TGraphic> attempt = cls->Create();
        attempt->OnProgress = [this](TGraphic *Sender, TProgressStage Stage, int PercentDone,
                                     bool RedrawNow, const QRect &R, const QString &Msg) {
            RelayProgress(Sender, Stage, PercentDone, RedrawNow, R, Msg);
        };
        try {
            loader(*attempt);
            return attempt;
        } catch (const std::exception &) {
            // Any error of this reader is dropped with it, and the next class is tried.
            rewind();
        }
    }
    return nullptr;
}

void TSPIBitmap::load(const QString &FileName, const std::function<void(TGraphic &)> &loader,
                      const std::function<void()> &rewind)
{
    std::exception_ptr failure;
    try {
        TakeGraphic(loadByClassOrder(FileName, loader, rewind));
    } catch (...) {
        // Any error is carried past the end report below and raised again.
        failure = std::current_exception();
    }
    // Sent in every case, with the size the bitmap has now.
    Progress(this, TProgressStage::psEnding, 100, true, QRect(0, 0, Width(), Height()),
             QStringLiteral("Loaded Graphic"));
    if (failure)
        std::rethrow_exception(failure);
}

void TSPIBitmap::LoadFromFile(const QString &FileName)
{
    LoadFromLocalFile(QFile::encodeName(FileName));
}

void TSPIBitmap::LoadFromLocalFile(const QByteArray &Path)
{
    load(
        FileNameText(Path), [&](TGraphic &attempt) { attempt.LoadFromLocalFile(Path); }, [] {});
}

void TSPIBitmap::LoadFromStream(QIODevice &Stream)
{
    LoadFromStreamWithName(Stream, QString());
}

void TSPIBitmap::LoadFromStreamWithName(QIODevice &Stream, const QString &FileName)
{
    const qint64 start = Stream.pos();
    load(
        FileName,
        [&](TGraphic &attempt) {
            if (auto *spi = dynamic_cast<TSPIGraphic *>(&attempt))
                spi->LoadFromStreamWithName(Stream, FileName);
            else
                attempt.LoadFromStream(Stream);
        },
        [&] { Stream.seek(start); });
}

void TSPIBitmap::TakeGraphic(std::unique_ptr<TGraphic> Graphic)
{
    if (!Graphic)
        throw EInvalidGraphic(SPICouldNotDecodeText());
    if (auto *spi = dynamic_cast<TSPIGraphic *>(Graphic.get())) {
        std::optional<QList<QRgb>> colors;
        if (spi->CopyPaletteWanted())
            colors = spi->Palette();
        std::unique_ptr<TGraphic> bitmap = spi->ToBitmapAndRelease(BitmapClass());
        TBitmap::Assign(*bitmap);
        if (colors)
            SetPalette(*colors);
        return;
    }
    TBitmap::Assign(*Graphic);
}

void TSPIBitmap::Assign(const TGraphic &Source)
{
    if (auto *spi = dynamic_cast<const TSPIGraphic *>(&Source)) {
        std::unique_ptr<TGraphic> bitmap = spi->ToBitmap(BitmapClass());
        TBitmap::Assign(*bitmap);
        if (spi->CopyPaletteWanted())
            SetPalette(spi->Palette());
        return;
    }
    TBitmap::Assign(Source);
}
