#pragma once
// The plug-in unit SPIBmp: pictures decoded through the import plug-ins of the collection
// (the decode sources TInSPIAbleData and the graphic TSPIGraphic) and the picture loader
// TSPIBitmap, the bitmap class under which plug-in formats are registered.
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Dib.h"
#include "platform/graphics/Graphic.h"
#include "platform/graphics/PictureFormats.h"
#include "spi.h"

#include <QByteArray>
#include <QString>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

class QIODevice;
class TInSPI;
class TSPIGraphic;

// Where the picture may begin in a file: at its start, or after a 128-byte MacBinary header.
inline constexpr int HeaderOffsets[] = {0, 128};
// The bytes read for the support test: 2048 after either offset.
inline constexpr int HeaderBufferSize = 2048 + 128;

// The plug-in's progress callback; lData is the decode source. Answers 1 (stop) when the
// progress handler aborts or fails; never lets an error through into the plug-in.
extern "C" int32_t SPIProgressCallback(int32_t num, int32_t denom, intptr_t lData) noexcept;

// A decode source: knows where the bytes are, runs the plug-ins and owns the memory that the
// successful plug-in returned.
class TInSPIAbleData
{
public:
    explicit TInSPIAbleData(TSPIGraphic *AOwner);
    virtual ~TInSPIAbleData();
    TInSPIAbleData(const TInSPIAbleData &) = delete;
    TInSPIAbleData &operator=(const TInSPIAbleData &) = delete;

    // Tries the candidate plug-ins; afterwards the source holds a picture or is empty. An error
    // raised by the progress handler (other than a user abort) ends the decode once the
    // plug-in has returned, and passes on.
    void Decode();
    bool IsEmpty() const { return !HBInfo || !HBm; }
    // The blocks, locked on first use.
    const BITMAPINFO *BitmapInfo();
    const uint8_t *Bits();
    // The checked layout of the picture held; meaningful only while not empty.
    const TDibLayout &Layout() const { return layout; }
    void ReleaseHandles();

    HLOCAL HBInfo = nullptr;
    HLOCAL HBm = nullptr;
    QString FileName;
    ::PictureInfo PictureInfo{};
    TSPIGraphic *Owner;
    TProgressEvent OnProgress;

protected:
    // The name given to the plug-ins: the file's bytes as the file system holds them.
    virtual QByteArray PluginFileName() const;
    // Whether the plug-ins may be given the source at all.
    virtual bool Readable() const { return true; }
    virtual void ReadHeader(uint8_t *buffer, int size) = 0;
    virtual void CallGetPictureInfo(const TInSPI &spi, int offset, ::PictureInfo &info,
                                    bool &ok) = 0;
    virtual void CallGetPreview(const TInSPI &spi, int offset, HLOCAL &info, HLOCAL &bm) = 0;
    virtual void CallGetPicture(const TInSPI &spi, int offset, HLOCAL &info, HLOCAL &bm) = 0;

private:
    friend int32_t SPIProgressCallback(int32_t, int32_t, intptr_t) noexcept;
    void tryDecode(const TInSPI &spi, const uint8_t *buffer, int offset);
    // Keeps what a plug-in returned when the blocks hold the picture their header describes;
    // frees it otherwise.
    void adopt(HLOCAL info, HLOCAL bm);
    void raisePending();
    void report(TProgressStage stage, int percent, const QString &message);

    void *lockedInfo = nullptr;
    void *lockedBits = nullptr;
    TDibLayout layout;
    // The first error the progress handler raised while a plug-in ran.
    std::exception_ptr pending;
};

// The plug-ins read the file themselves, by its name (flag 0 and the picture's offset); the
// host reads only the header. The name reaches them as the file system's bytes, also when it is
// not UTF-8 (FileName is then its text as shown).
class TInSPIAbleFromFile : public TInSPIAbleData
{
public:
    TInSPIAbleFromFile(TSPIGraphic *AOwner, const QByteArray &APath);

protected:
    QByteArray PluginFileName() const override { return encodedName; }
    // Only a regular file: a plug-in opening a pipe by its name would block the window for
    // good, and a file gone since it was listed is no picture.
    bool Readable() const override;
    void ReadHeader(uint8_t *buffer, int size) override;
    void CallGetPictureInfo(const TInSPI &spi, int offset, ::PictureInfo &info, bool &ok) override;
    void CallGetPreview(const TInSPI &spi, int offset, HLOCAL &info, HLOCAL &bm) override;
    void CallGetPicture(const TInSPI &spi, int offset, HLOCAL &info, HLOCAL &bm) override;

private:
    QByteArray encodedName;
};

// A memory stream (QBuffer) is used in place, from its start, and must outlive the source;
// any other stream is copied whole first.
class TInSPIAbleFromStream : public TInSPIAbleData
{
public:
    TInSPIAbleFromStream(TSPIGraphic *AOwner, const QString &AFileName, QIODevice &Stream);

protected:
    void ReadHeader(uint8_t *buffer, int size) override;
    void CallGetPictureInfo(const TInSPI &spi, int offset, ::PictureInfo &info, bool &ok) override;
    void CallGetPreview(const TInSPI &spi, int offset, HLOCAL &info, HLOCAL &bm) override;
    void CallGetPicture(const TInSPI &spi, int offset, HLOCAL &info, HLOCAL &bm) override;

private:
    // The bytes after offset, or null when there are none or more than a plug-in can be told.
    const char *from(int offset, int32_t &length) const;

    const char *data = nullptr;
    qint64 size = 0;
    QByteArray copy;
};

// A picture decoded by a plug-in, kept as the plug-in returned it.
class TSPIGraphic : public TGraphic
{
public:
    TSPIGraphic();
    ~TSPIGraphic() override;

    void Draw(QPainter &Painter, const QRect &Rect) const override;
    bool Empty() const override;
    int Height() const override;
    int Width() const override;
    QList<QRgb> Palette() const override;
    void SetHeight(int) override {}
    // The picture at its own size, rows top-down whatever the stored order.
    QImage ToImage() const override;
    void SetWidth(int) override {}
    // Decodes the file; fails with EInvalidGraphic "Susie Plugins could not decode".
    void LoadFromFile(const QString &FileName) override;
    // The same with the file's name as its bytes, which the plug-ins get unchanged.
    void LoadFromLocalFile(const QByteArray &Path) override;
    void LoadFromStream(QIODevice &Stream) override;
    // Writes a BMP file: file header, InfoSize bytes of BITMAPINFO, ImageSize bytes of rows.
    void SaveToStream(QIODevice &Stream) const override;
    virtual void LoadFromStreamWithName(QIODevice &Stream, const QString &FileName);

    bool CopyPaletteWanted() const;
    uint32_t ColorCount() const;
    uint32_t InfoSize() const;
    uint32_t ImageSize() const;
    bool MetricsValid() const { return metricsValid; }
    TInSPIAbleData *Data() const { return data.get(); }

    // A new object of the plain bitmap class holding this picture, through a BMP in memory, or
    // converted directly where the plain bitmap would read that BMP as the same pixels in the
    // same format (24 and 32 bits with a 40-byte header). The second also drops this graphic's
    // data once the bitmap's pixels are made.
    std::unique_ptr<TGraphic> ToBitmap(const TGraphicClass &BitmapClass) const;
    std::unique_ptr<TGraphic> ToBitmapAndRelease(const TGraphicClass &BitmapClass);
    void ClearData();

private:
    void DecodeBySPI();
    void UpdateMetrics() const;
    QByteArray bmpFile() const;

    std::unique_ptr<TInSPIAbleData> data;
    mutable int32_t height = 0;
    mutable int32_t width = 0;
    mutable QList<QRgb> palette;
    mutable uint32_t infoSize = 0;
    mutable uint32_t imageSize = 0;
    mutable uint32_t colorCount = 0;
    mutable bool copyPaletteWanted = false;
    mutable bool metricsValid = false;
};

using TSPILoadFromStreamWithNameEvent =
    std::function<void(QIODevice &Stream, const QString &FileName)>;

// The bitmap through which a picture that may need a plug-in is loaded. It always holds a
// plain bitmap; a plug-in picture becomes one through an in-memory BMP file.
class TSPIBitmap : public TBitmap
{
public:
    TSPIBitmap();

    // A TSPIGraphic is converted (it keeps its picture); anything else as TBitmap does.
    void Assign(const TGraphic &Source) override;
    // The plain reader first for ".BMP" (any case), the plug-ins first otherwise. Fails with
    // EInvalidGraphic "Susie Plugins could not decode" and keeps the previous content; the
    // report "Loaded Graphic" is sent in every case.
    void LoadFromFile(const QString &FileName) override;
    // The same by the file's bytes: the plug-ins get the name unchanged and read the file.
    void LoadFromLocalFile(const QByteArray &Path) override;
    void LoadFromStream(QIODevice &Stream) override;
    // Makes the content the graphic's and destroys the graphic; none: EInvalidGraphic.
    virtual void TakeGraphic(std::unique_ptr<TGraphic> Graphic);
    virtual void LoadFromStreamWithName(QIODevice &Stream, const QString &FileName);

    // Always this object's own LoadFromStreamWithName; writing it changes nothing.
    const TSPILoadFromStreamWithNameEvent &OnLoadFromStreamWithName() const
    {
        return onLoadFromStreamWithName;
    }
    void SetOnLoadFromStreamWithName(const TSPILoadFromStreamWithNameEvent &) {}

    // The progress handler of the inner graphic: passes on everything but its end reports.
    void RelayProgress(TGraphic *Sender, TProgressStage Stage, int PercentDone, bool RedrawNow,
                       const QRect &R, const QString &Msg);

private:
    std::unique_ptr<TGraphic> loadByClassOrder(const QString &FileName,
                                               const std::function<void(TGraphic &)> &load,
                                               const std::function<void()> &rewind);
    void load(const QString &FileName, const std::function<void(TGraphic &)> &loader,
              const std::function<void()> &rewind);

    TSPILoadFromStreamWithNameEvent onLoadFromStreamWithName;
};

const TGraphicClass &SPIGraphicClass();
const TGraphicClass &SPIBitmapClass();

// The message of every failed plug-in decode.
QString SPICouldNotDecodeText();
