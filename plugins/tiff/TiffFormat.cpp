// TIFF through libtiff: the first page, in any layout libtiff's RGBA reader knows, plus 16-bit
// CMYK and floating-point samples, which that reader refuses. Rows are read in bands so that
// progress can be told and a stop asked for between bands, each strip decoded once, and the
// picture is turned upright as its Orientation tag says.
#include "Format.h"
#include "Orientation.h"
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

int readOrientation(TIFF *tiff)
{
    uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ORIENTATION, &orientation);
    return spi::normalisedOrientation(orientation);
}

spi::PictureFacts probe(spi::ByteView data)
{
    TiffReader reader(data);
    return spi::uprightFacts(readFacts(reader.get()), readOrientation(reader.get()));
}

// What the samples of the picture are, for the layouts read here rather than by the RGBA reader.
struct SampleLayout {
    enum Kind { Other, DeepCmyk, Floating } kind = Other;
    uint16_t bits = 0, samples = 0, photometric = 0;
    int alpha = -1;          // index of the alpha sample, -1 for none
    bool associated = false; // colour already multiplied by alpha
};

SampleLayout readSampleLayout(TIFF *tiff)
{
    SampleLayout layout;
    uint16_t format = SAMPLEFORMAT_UINT, planar = PLANARCONFIG_CONTIG, inks = INKSET_CMYK;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &layout.bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &layout.samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &format);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_INKSET, &inks);
    if (!TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &layout.photometric))
        return layout;
    const bool floating = format == SAMPLEFORMAT_IEEEFP;
    const bool deepCmyk = layout.photometric == PHOTOMETRIC_SEPARATED && layout.bits == 16 &&
                          format == SAMPLEFORMAT_UINT;
    if (!floating && !deepCmyk)
        return layout; // the RGBA reader's
    // Only interleaved samples in strips are read here; other arrangements stay refused.
    if (planar != PLANARCONFIG_CONTIG || TIFFIsTiled(tiff))
        spi::fail(SPI_UNKNOWN_FORMAT);
    if (deepCmyk) {
        if (inks != INKSET_CMYK || layout.samples < 4)
            spi::fail(SPI_UNKNOWN_FORMAT);
        layout.kind = SampleLayout::DeepCmyk;
        return layout;
    }
    int colours = layout.photometric == PHOTOMETRIC_RGB ? 3
                  : layout.photometric == PHOTOMETRIC_MINISBLACK ||
                          layout.photometric == PHOTOMETRIC_MINISWHITE
                      ? 1
                      : 0;
    if (colours == 0 || layout.samples < colours || (layout.bits != 32 && layout.bits != 64))
        spi::fail(SPI_UNKNOWN_FORMAT);
    uint16_t extras = 0;
    uint16_t *kinds = nullptr;
    if (layout.samples > colours && TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &extras, &kinds) &&
        extras > 0 && kinds) {
        // As the RGBA reader does: an unspecified extra sample after three colours is alpha.
        if (kinds[0] == EXTRASAMPLE_UNASSALPHA) {
            layout.alpha = colours;
        } else if (kinds[0] == EXTRASAMPLE_ASSOCALPHA ||
                   (kinds[0] == EXTRASAMPLE_UNSPECIFIED && layout.samples > 3)) {
            layout.alpha = colours;
            layout.associated = true;
        }
    }
    layout.kind = SampleLayout::Floating;
    return layout;
}

// A floating-point sample: 0 to 1 is the range, anything outside (and not a number) is clamped.
inline float unit(float v)
{
    return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f;
}

inline uint8_t byteOf(float v)
{
    return uint8_t(v * 255.0f + 0.5f);
}

template <class Sample>
void floatingRow(const uint8_t *raw, const SampleLayout &layout, uint8_t *bgr, int32_t width)
{
    const auto *in = reinterpret_cast<const Sample *>(raw);
    const bool grey = layout.photometric != PHOTOMETRIC_RGB;
    const bool inverted = layout.photometric == PHOTOMETRIC_MINISWHITE;
    for (int32_t x = 0; x < width; ++x, in += layout.samples, bgr += 3) {
        float r = unit(float(in[0]));
        float g = grey ? r : unit(float(in[1]));
        float b = grey ? r : unit(float(in[2]));
        if (inverted)
            r = g = b = 1.0f - r;
        if (layout.alpha >= 0) {
            // Over white: what the alpha leaves uncovered is white.
            float a = unit(float(in[layout.alpha]));
            float cover = layout.associated ? 1.0f : a;
            r = unit(r * cover + 1.0f - a);
            g = unit(g * cover + 1.0f - a);
            b = unit(b * cover + 1.0f - a);
        }
        bgr[0] = byteOf(b);
        bgr[1] = byteOf(g);
        bgr[2] = byteOf(r);
    }
}

// 16-bit inks are brought to 8 bits and then mixed as libtiff mixes 8-bit CMYK; samples after
// the four inks are ignored, as there.
void deepCmykRow(const uint8_t *raw, uint16_t samples, uint8_t *bgr, int32_t width)
{
    const auto *in = reinterpret_cast<const uint16_t *>(raw);
    auto eight = [](uint16_t v) { return (unsigned(v) * 255u + 32767u) / 65535u; };
    for (int32_t x = 0; x < width; ++x, in += samples, bgr += 3) {
        unsigned k = 255u - eight(in[3]);
        bgr[0] = uint8_t(k * (255u - eight(in[2])) / 255u);
        bgr[1] = uint8_t(k * (255u - eight(in[1])) / 255u);
        bgr[2] = uint8_t(k * (255u - eight(in[0])) / 255u);
    }
}

// Rows read one after the other through libtiff's scanline reader: each strip is decoded once,
// in order, however tall it is.
class ScanlineReader
{
public:
    explicit ScanlineReader(TIFF *tiff) : tiff_(tiff)
    {
        tmsize_t size = TIFFScanlineSize(tiff);
        if (size <= 0)
            spi::fail(SPI_BROKEN_DATA);
        line_ = size_t(size);
    }
    size_t lineSize() const { return line_; }
    void read(uint8_t *out, int32_t y) const
    {
        if (TIFFReadScanline(tiff_, out, uint32_t(y), 0) < 0)
            spi::fail(SPI_BROKEN_DATA);
    }

private:
    TIFF *tiff_;
    size_t line_ = 0;
};

constexpr int32_t BandRows = 64;

void decodeSamples(TIFF *tiff, const SampleLayout &layout, spi::Dib &dib, spi::Progress &progress)
{
    ScanlineReader reader(tiff);
    const size_t needed = size_t(dib.width()) * layout.samples * (layout.bits / 8);
    if (reader.lineSize() < needed)
        spi::fail(SPI_BROKEN_DATA);
    std::vector<uint8_t> line(reader.lineSize());
    for (int32_t y = 0; y < dib.height(); ++y) {
        reader.read(line.data(), y);
        if (layout.kind == SampleLayout::DeepCmyk)
            deepCmykRow(line.data(), layout.samples, dib.row(y), dib.width());
        else if (layout.bits == 32)
            floatingRow<float>(line.data(), layout, dib.row(y), dib.width());
        else
            floatingRow<double>(line.data(), layout, dib.row(y), dib.width());
        if ((y + 1) % BandRows == 0 || y + 1 == dib.height())
            progress.report(y + 1, dib.height());
    }
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
        // The rows as stored, top row first in the raster: the orientation is applied after.
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

// The reader's alpha is premultiplied: over white adds what the alpha leaves.
void rgbaRowOverWhite(const uint32_t *in, uint8_t *out, int32_t width)
{
    for (int32_t x = 0; x < width; ++x, out += 3) {
        uint32_t p = in[x];
        unsigned left = 255u - TIFFGetA(p);
        out[0] = uint8_t(std::min(255u, TIFFGetB(p) + left));
        out[1] = uint8_t(std::min(255u, TIFFGetG(p) + left));
        out[2] = uint8_t(std::min(255u, TIFFGetR(p) + left));
    }
}

// Interleaved strips: the scanlines read in order and handed in bands to the RGBA reader's own
// conversion for this layout, so a strip of any height is decoded once.
void decodeStripsInOrder(TIFF *tiff, TIFFRGBAImage &image, spi::Dib &dib, spi::Progress &progress)
{
    ScanlineReader reader(tiff);
    const int32_t width = dib.width(), height = dib.height();
    const int32_t band = std::min(BandRows, height);
    std::vector<uint8_t> lines(reader.lineSize() * size_t(band));
    std::vector<uint32_t> raster(size_t(width) * size_t(band));
    for (int32_t y = 0; y < height; y += band) {
        int32_t rows = std::min(band, height - y);
        for (int32_t r = 0; r < rows; ++r)
            reader.read(lines.data() + size_t(r) * reader.lineSize(), y + r);
        image.put.contig(&image, raster.data(), 0, uint32_t(y), uint32_t(width), uint32_t(rows), 0,
                         0, lines.data());
        for (int32_t r = 0; r < rows; ++r)
            rgbaRowOverWhite(raster.data() + size_t(r) * size_t(width), dib.row(y + r), width);
        progress.report(y + rows, height);
    }
}

// Tiles, separate planes and subsampled colour: the RGBA reader fetches each band itself.
void decodeBands(TIFF *tiff, TIFFRGBAImage &image, spi::Dib &dib, spi::Progress &progress)
{
    const int32_t width = dib.width(), height = dib.height();
    // Bands as tall as the strips or tiles, so that none is decoded twice.
    uint32_t unit = 0;
    if (TIFFIsTiled(tiff))
        TIFFGetField(tiff, TIFFTAG_TILELENGTH, &unit);
    else
        TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &unit);
    int32_t band = int32_t(std::clamp<uint32_t>(unit, 16, 1024));
    band = std::min(band, height);
    std::vector<uint32_t> raster(size_t(width) * size_t(band));

    for (int32_t y = 0; y < height; y += band) {
        int32_t rows = std::min(band, height - y);
        image.row_offset = int(y);
        image.col_offset = 0;
        if (!TIFFRGBAImageGet(&image, raster.data(), uint32_t(width), uint32_t(rows)))
            spi::fail(SPI_BROKEN_DATA);
        for (int32_t r = 0; r < rows; ++r)
            rgbaRowOverWhite(raster.data() + size_t(r) * size_t(width), dib.row(y + r), width);
        progress.report(y + rows, height);
    }
}

std::unique_ptr<spi::Dib> decode(spi::ByteView data, spi::Progress &progress)
{
    TiffReader reader(data);
    TIFF *tiff = reader.get();
    spi::PictureFacts f = readFacts(tiff);
    const int orientation = readOrientation(tiff);
    SampleLayout layout = readSampleLayout(tiff);
    auto dib = std::make_unique<spi::Dib>(f.width, f.height, f.xPelsPerMeter, f.yPelsPerMeter);
    if (layout.kind != SampleLayout::Other) {
        decodeSamples(tiff, layout, *dib, progress);
    } else {
        RgbaImage rgba(tiff);
        TIFFRGBAImage &image = rgba.get();
        if (!TIFFIsTiled(tiff) && image.isContig && image.photometric != PHOTOMETRIC_YCBCR &&
            image.put.contig)
            decodeStripsInOrder(tiff, image, *dib, progress);
        else
            decodeBands(tiff, image, *dib, progress);
    }
    return spi::upright(std::move(dib), orientation);
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
