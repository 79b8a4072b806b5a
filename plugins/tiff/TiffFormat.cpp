// TIFF through libtiff: the first page, in any layout libtiff's RGBA reader knows, read in
// bands of rows so that progress can be told and a stop asked for between bands. Rows come
// out in the order stored: the orientation tag is left alone.
#include "Format.h"
#include "PluginError.h"

#include <algorithm>
#include <cstring>
#include <tiffio.h>
#include <vector>

namespace
{

bool acceptsTiff(const uint8_t *header, size_t size)
{
    if (size < 4)
        return false;
    // Classic TIFF (42) and BigTIFF (43), both byte orders.
    return (header[0] == 'I' && header[1] == 'I' && (header[2] == 42 || header[2] == 43) &&
            header[3] == 0) ||
           (header[0] == 'M' && header[1] == 'M' && header[2] == 0 &&
            (header[3] == 42 || header[3] == 43));
}

struct MemoryFile {
    spi::ByteView data;
    toff_t position = 0;
};

tsize_t readProc(thandle_t h, tdata_t out, tsize_t count)
{
    auto *file = static_cast<MemoryFile *>(h);
    if (count <= 0 || file->position >= file->data.size)
        return 0;
    size_t n = std::min(size_t(count), size_t(file->data.size - file->position));
    std::memcpy(out, file->data.data + file->position, n);
    file->position += n;
    return tsize_t(n);
}

tsize_t writeProc(thandle_t, tdata_t, tsize_t)
{
    return -1;
}

toff_t seekProc(thandle_t h, toff_t offset, int whence)
{
    auto *file = static_cast<MemoryFile *>(h);
    int64_t base = whence == SEEK_CUR   ? int64_t(file->position)
                   : whence == SEEK_END ? int64_t(file->data.size)
                                        : 0;
    int64_t target = base + int64_t(offset);
    if (target < 0)
        return toff_t(-1);
    file->position = toff_t(target);
    return file->position;
}

int closeProc(thandle_t)
{
    return 0;
}

toff_t sizeProc(thandle_t h)
{
    return static_cast<MemoryFile *>(h)->data.size;
}

// The bytes are in memory already: libtiff reads them in place, as from a mapped file (which is
// also the path on which it takes the strip and tile sizes some writers round up).
int mapProc(thandle_t h, tdata_t *base, toff_t *size)
{
    auto *file = static_cast<MemoryFile *>(h);
    *base = const_cast<uint8_t *>(file->data.data);
    *size = file->data.size;
    return 1;
}

void unmapProc(thandle_t, tdata_t, toff_t) {}

int silent(TIFF *, void *, const char *, const char *, va_list)
{
    return 1; // handled: libtiff's own handler, which prints, is not called
}

// The open picture and the options it was opened with.
class TiffReader
{
public:
    explicit TiffReader(spi::ByteView data) : file_{data}
    {
        TIFFOpenOptions *options = TIFFOpenOptionsAlloc();
        if (!options)
            spi::fail(SPI_NO_MEMORY);
        TIFFOpenOptionsSetErrorHandlerExtR(options, silent, nullptr);
        TIFFOpenOptionsSetWarningHandlerExtR(options, silent, nullptr);
        // No single allocation inside libtiff beyond what the largest picture needs.
        TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t(spi::MaxPicturePixels) * 4);
        tiff_ = TIFFClientOpenExt("memory", "r", &file_, readProc, writeProc, seekProc, closeProc,
                                  sizeProc, mapProc, unmapProc, options);
        TIFFOpenOptionsFree(options);
        if (!tiff_)
            spi::fail(SPI_BROKEN_DATA);
    }
    ~TiffReader() { TIFFClose(tiff_); }
    TiffReader(const TiffReader &) = delete;
    TiffReader &operator=(const TiffReader &) = delete;
    TIFF *get() const { return tiff_; }

private:
    MemoryFile file_;
    TIFF *tiff_ = nullptr;
};

int32_t pelsPerMeter(TIFF *tiff, ttag_t tag, uint16_t unit)
{
    float resolution = 0;
    if (!TIFFGetField(tiff, tag, &resolution) || !(resolution > 0) || resolution > 1e7f)
        return 0;
    if (unit == RESUNIT_INCH)
        return int32_t(resolution / 0.0254f + 0.5f);
    if (unit == RESUNIT_CENTIMETER)
        return int32_t(resolution * 100.0f + 0.5f);
    return 0;
}

spi::PictureFacts readFacts(TIFF *tiff)
{
    uint32_t width = 0, height = 0;
    if (!TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &width) ||
        !TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &height))
        spi::fail(SPI_BROKEN_DATA);
    spi::checkPictureSize(width, height);
    spi::PictureFacts facts;
    facts.width = int32_t(width);
    facts.height = int32_t(height);
    uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
    facts.xPelsPerMeter = pelsPerMeter(tiff, TIFFTAG_XRESOLUTION, unit);
    facts.yPelsPerMeter = pelsPerMeter(tiff, TIFFTAG_YRESOLUTION, unit);
    return facts;
}

spi::PictureFacts probe(spi::ByteView data)
{
    TiffReader reader(data);
    return readFacts(reader.get());
}

class RgbaImage
{
public:
    explicit RgbaImage(TIFF *tiff)
    {
        char message[1024] = {};
        if (!TIFFRGBAImageOK(tiff, message))
            spi::fail(SPI_UNKNOWN_FORMAT); // a layout the reader does not know
        if (!TIFFRGBAImageBegin(&image_, tiff, 1, message))
            spi::fail(SPI_BROKEN_DATA);
        // The rows as stored, top row first in the raster: no flip for any orientation tag.
        image_.orientation = ORIENTATION_TOPLEFT;
        image_.req_orientation = ORIENTATION_TOPLEFT;
    }
    ~RgbaImage() { TIFFRGBAImageEnd(&image_); }
    RgbaImage(const RgbaImage &) = delete;
    RgbaImage &operator=(const RgbaImage &) = delete;
    TIFFRGBAImage &get() { return image_; }

private:
    TIFFRGBAImage image_{};
};

std::unique_ptr<spi::Dib> decode(spi::ByteView data, spi::Progress &progress)
{
    TiffReader reader(data);
    TIFF *tiff = reader.get();
    spi::PictureFacts f = readFacts(tiff);
    RgbaImage rgba(tiff);
    auto dib = std::make_unique<spi::Dib>(f.width, f.height, f.xPelsPerMeter, f.yPelsPerMeter);

    // Bands as tall as the strips or tiles, so that none is decoded twice.
    uint32_t unit = 0;
    if (TIFFIsTiled(tiff))
        TIFFGetField(tiff, TIFFTAG_TILELENGTH, &unit);
    else
        TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &unit);
    int32_t band = int32_t(std::clamp<uint32_t>(unit, 16, 1024));
    band = std::min(band, f.height);
    std::vector<uint32_t> raster(size_t(f.width) * size_t(band));

    for (int32_t y = 0; y < f.height; y += band) {
        int32_t rows = std::min(band, f.height - y);
        rgba.get().row_offset = int(y);
        rgba.get().col_offset = 0;
        if (!TIFFRGBAImageGet(&rgba.get(), raster.data(), uint32_t(f.width), uint32_t(rows)))
            spi::fail(SPI_BROKEN_DATA);
        for (int32_t r = 0; r < rows; ++r) {
            const uint32_t *in = raster.data() + size_t(r) * size_t(f.width);
            uint8_t *out = dib->row(y + r);
            // The reader's alpha is premultiplied: over white adds what the alpha leaves.
            for (int32_t x = 0; x < f.width; ++x, out += 3) {
                uint32_t p = in[x];
                unsigned left = 255u - TIFFGetA(p);
                out[0] = uint8_t(std::min(255u, TIFFGetB(p) + left));
                out[1] = uint8_t(std::min(255u, TIFFGetG(p) + left));
                out[2] = uint8_t(std::min(255u, TIFFGetR(p) + left));
            }
        }
        progress.report(y + rows, f.height);
    }
    return dib;
}

} // namespace

const spi::Format &spi::thisFormat()
{
    static const Format format{"tovela TIFF plug-in (libtiff, first page)",
                               {{"*.tif;*.tiff", "TIFF"}},
                               acceptsTiff,
                               probe,
                               decode};
    return format;
}
