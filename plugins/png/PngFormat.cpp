// PNG through libpng. libpng reports errors by longjmp, so every call into it happens inside a
// function that holds no object with a destructor (probePng, readPngRows); their callers own
// the memory and turn a jump into a result code.
#include "../exif/ExifOrientation.h"
#include "Format.h"
#include "Orientation.h"
#include "PluginError.h"

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <png.h>
#include <vector>

namespace
{

constexpr uint8_t Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};

bool acceptsPng(const uint8_t *header, size_t size)
{
    return size >= 8 && std::memcmp(header, Signature, 8) == 0;
}

// The orientation of the eXIf chunk, wherever it lies: writers put it before or after the pixel
// data, and only the chunk headers are walked to find it.
int readOrientation(spi::ByteView data)
{
    size_t at = 8;
    while (data.size >= 12 && at <= data.size - 12) {
        const uint8_t *chunk = data.data + at;
        size_t length = size_t(chunk[0]) << 24 | size_t(chunk[1]) << 16 | size_t(chunk[2]) << 8 |
                        size_t(chunk[3]);
        if (length > data.size - at - 12)
            break;
        if (std::memcmp(chunk + 4, "eXIf", 4) == 0)
            return spi::exifOrientation(chunk + 8, length);
        if (std::memcmp(chunk + 4, "IEND", 4) == 0)
            break;
        at += 12 + length;
    }
    return spi::UprightOrientation;
}

struct MemoryInput {
    spi::ByteView data;
    size_t position = 0;
};

void readFromMemory(png_structp png, png_bytep out, png_size_t count)
{
    auto *input = static_cast<MemoryInput *>(png_get_io_ptr(png));
    if (count > input->data.size - input->position)
        png_error(png, "truncated");
    std::memcpy(out, input->data.data + input->position, count);
    input->position += count;
}

void raise(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void ignoreWarning(png_structp, png_const_charp) {}

// The read structures of one decode, freed on every way out.
class PngReader
{
public:
    explicit PngReader(spi::ByteView data) : input_{data}
    {
        png_ = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, raise, ignoreWarning);
        if (png_)
            info_ = png_create_info_struct(png_);
        if (!png_ || !info_) {
            png_destroy_read_struct(&png_, &info_, nullptr);
            spi::fail(SPI_NO_MEMORY);
        }
        png_set_read_fn(png_, &input_, readFromMemory);
    }
    ~PngReader() { png_destroy_read_struct(&png_, &info_, nullptr); }
    PngReader(const PngReader &) = delete;
    PngReader &operator=(const PngReader &) = delete;

    png_structp png() const { return png_; }
    png_infop info() const { return info_; }

private:
    MemoryInput input_;
    png_structp png_ = nullptr;
    png_infop info_ = nullptr;
};

struct PngLayout {
    spi::PictureFacts facts;
    int channels = 0; // 3 (blue, green, red) or 4 (and alpha) after the transformations
    int passes = 1;
};

// Reads the header and sets the transformations to 8-bit blue, green, red (and alpha where the
// picture has any transparency). False when libpng found the data broken.
bool probePng(png_structp png, png_infop info, PngLayout *layout)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    layout->facts.width = int32_t(png_get_image_width(png, info));
    layout->facts.height = int32_t(png_get_image_height(png, info));
    png_uint_32 resX = 0, resY = 0;
    int unit = 0;
    if (png_get_pHYs(png, info, &resX, &resY, &unit) && unit == PNG_RESOLUTION_METER) {
        layout->facts.xPelsPerMeter = int32_t(std::min<png_uint_32>(resX, 0x7fffffff));
        layout->facts.yPelsPerMeter = int32_t(std::min<png_uint_32>(resY, 0x7fffffff));
    }
    png_set_expand(png);
    png_set_scale_16(png);
    png_set_gray_to_rgb(png);
    png_set_bgr(png);
    layout->passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    layout->channels = png_get_channels(png, info);
    return layout->channels == 3 || layout->channels == 4;
}

// Reads every pass of every row into rows[]; the progress counts rows over all passes. A raised
// abort leaves through the C++ exception, a libpng error through the false result.
bool readPngRows(png_structp png, png_bytep *rows, int32_t height, int passes,
                 spi::Progress *progress, bool (*afterRow)(void *, int32_t), void *context)
{
    if (setjmp(png_jmpbuf(png)))
        return false;
    int64_t total = int64_t(height) * passes;
    int64_t done = 0;
    for (int pass = 0; pass < passes; ++pass) {
        for (int32_t y = 0; y < height; ++y) {
            png_read_row(png, rows[y], nullptr);
            if (afterRow && !afterRow(context, y))
                return false;
            progress->report(++done, total);
        }
    }
    return true;
}

spi::PictureFacts probe(spi::ByteView data)
{
    PngReader reader(data);
    PngLayout layout;
    if (!probePng(reader.png(), reader.info(), &layout))
        spi::fail(SPI_BROKEN_DATA);
    return spi::uprightFacts(layout.facts, readOrientation(data));
}

// A non-interlaced picture with alpha goes through one row buffer, laid over white row by row.
struct AlphaRow {
    std::vector<uint8_t> bgra;
    spi::Dib *dib;
};

bool composeRow(void *context, int32_t y)
{
    auto *row = static_cast<AlphaRow *>(context);
    spi::bgraOverWhite(row->bgra.data(), row->dib->row(y), row->dib->width());
    return true;
}

std::unique_ptr<spi::Dib> decode(spi::ByteView data, spi::Progress &progress)
{
    PngReader reader(data);
    PngLayout layout;
    if (!probePng(reader.png(), reader.info(), &layout))
        spi::fail(SPI_BROKEN_DATA);
    const spi::PictureFacts &f = layout.facts;
    auto dib = std::make_unique<spi::Dib>(f.width, f.height, f.xPelsPerMeter, f.yPelsPerMeter);
    std::vector<png_bytep> rows(size_t(f.height));
    bool ok;
    if (layout.channels == 3) {
        // Straight into the DIB's rows, whatever the interlacing.
        for (int32_t y = 0; y < f.height; ++y)
            rows[size_t(y)] = dib->row(y);
        ok = readPngRows(reader.png(), rows.data(), f.height, layout.passes, &progress, nullptr,
                         nullptr);
    } else if (layout.passes == 1) {
        AlphaRow row{std::vector<uint8_t>(size_t(f.width) * 4), dib.get()};
        for (auto &r : rows)
            r = row.bgra.data();
        ok = readPngRows(reader.png(), rows.data(), f.height, 1, &progress, composeRow, &row);
    } else {
        // Interlaced passes revisit every row, so the whole picture is kept until the end.
        std::vector<uint8_t> bgra(size_t(f.width) * 4 * size_t(f.height));
        for (int32_t y = 0; y < f.height; ++y)
            rows[size_t(y)] = bgra.data() + size_t(y) * size_t(f.width) * 4;
        ok = readPngRows(reader.png(), rows.data(), f.height, layout.passes, &progress, nullptr,
                         nullptr);
        if (ok)
            for (int32_t y = 0; y < f.height; ++y)
                spi::bgraOverWhite(rows[size_t(y)], dib->row(y), f.width);
    }
    if (!ok)
        spi::fail(SPI_BROKEN_DATA);
    return spi::upright(std::move(dib), readOrientation(data));
}

} // namespace

const spi::Format &spi::thisFormat()
{
    static const Format format{"tovela PNG plug-in (libpng " PNG_LIBPNG_VER_STRING ")",
                               {{"*.png", "PNG"}},
                               acceptsPng,
                               probe,
                               decode};
    return format;
}
