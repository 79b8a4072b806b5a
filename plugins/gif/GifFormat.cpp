// GIF through giflib: the first frame only, on the logical screen. Whatever the frame leaves
// uncovered, and its transparent colour, is white (transparency over white).
#include "Format.h"
#include "PluginError.h"

#include <algorithm>
#include <cstring>
#include <gif_lib.h>
#include <vector>

namespace
{

bool acceptsGif(const uint8_t *header, size_t size)
{
    return size >= 6 &&
           (std::memcmp(header, "GIF87a", 6) == 0 || std::memcmp(header, "GIF89a", 6) == 0);
}

struct MemoryInput {
    spi::ByteView data;
    size_t position = 0;
};

int readFromMemory(GifFileType *gif, GifByteType *out, int count)
{
    auto *input = static_cast<MemoryInput *>(gif->UserData);
    size_t n = std::min(size_t(std::max(count, 0)), input->data.size - input->position);
    std::memcpy(out, input->data.data + input->position, n);
    input->position += n;
    return int(n);
}

class GifReader
{
public:
    explicit GifReader(spi::ByteView data) : input_{data}
    {
        int error = 0;
        gif_ = DGifOpen(&input_, readFromMemory, &error);
        if (!gif_)
            spi::fail(error == D_GIF_ERR_NOT_ENOUGH_MEM ? SPI_NO_MEMORY : SPI_BROKEN_DATA);
    }
    ~GifReader()
    {
        int error = 0;
        DGifCloseFile(gif_, &error);
    }
    GifReader(const GifReader &) = delete;
    GifReader &operator=(const GifReader &) = delete;
    GifFileType *get() const { return gif_; }

private:
    MemoryInput input_;
    GifFileType *gif_ = nullptr;
};

struct FirstFrame {
    spi::PictureFacts facts; // the canvas: the logical screen, grown to hold the frame
    int transparent = NO_TRANSPARENT_COLOR;
};

// Reads up to the first frame's descriptor, taking the transparent colour of the graphic
// control block that belongs to it.
FirstFrame findFirstFrame(GifFileType *gif)
{
    FirstFrame frame;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR)
            spi::fail(SPI_BROKEN_DATA);
        if (type == TERMINATE_RECORD_TYPE)
            spi::fail(SPI_BROKEN_DATA); // a GIF without a picture
        if (type == IMAGE_DESC_RECORD_TYPE) {
            if (DGifGetImageDesc(gif) == GIF_ERROR)
                spi::fail(SPI_BROKEN_DATA);
            const GifImageDesc &d = gif->Image;
            if (d.Width < 1 || d.Height < 1 || d.Left < 0 || d.Top < 0)
                spi::fail(SPI_BROKEN_DATA);
            frame.facts.width = std::max<int32_t>(gif->SWidth, d.Left + d.Width);
            frame.facts.height = std::max<int32_t>(gif->SHeight, d.Top + d.Height);
            return frame;
        }
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType *block = nullptr;
            if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
                spi::fail(SPI_BROKEN_DATA);
            if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4) {
                GraphicsControlBlock control;
                if (DGifExtensionToGCB(block[0], block + 1, &control) == GIF_OK)
                    frame.transparent = control.TransparentColor;
            }
            while (block) {
                if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
                    spi::fail(SPI_BROKEN_DATA);
            }
        }
    }
}

spi::PictureFacts probe(spi::ByteView data)
{
    GifReader reader(data);
    return findFirstFrame(reader.get()).facts;
}

std::unique_ptr<spi::Dib> decode(spi::ByteView data, spi::Progress &progress)
{
    GifReader reader(data);
    GifFileType *gif = reader.get();
    FirstFrame frame = findFirstFrame(gif);
    auto dib = std::make_unique<spi::Dib>(frame.facts.width, frame.facts.height);
    const GifImageDesc &d = gif->Image;
    const ColorMapObject *map = d.ColorMap ? d.ColorMap : gif->SColorMap;
    if (!map || !map->Colors || map->ColorCount < 1)
        spi::fail(SPI_BROKEN_DATA);

    // The table for every index a line may hold: colours past the map's end are black, the
    // transparent one white.
    uint8_t table[256][3] = {};
    for (int i = 0; i < std::min(map->ColorCount, 256); ++i) {
        table[i][0] = map->Colors[i].Blue;
        table[i][1] = map->Colors[i].Green;
        table[i][2] = map->Colors[i].Red;
    }
    if (frame.transparent >= 0 && frame.transparent < 256)
        std::memset(table[frame.transparent], 255, 3);

    for (int32_t y = 0; y < dib->height(); ++y)
        std::memset(dib->row(y), 255, size_t(dib->width()) * 3);

    // Line order of an interlaced frame: every 8th from 0, every 8th from 4, every 4th from 2,
    // every 2nd from 1.
    static constexpr int Starts[4] = {0, 4, 2, 1}, Steps[4] = {8, 8, 4, 2};
    std::vector<GifPixelType> line(size_t(d.Width));
    int32_t done = 0;
    for (int pass = 0; pass < (d.Interlace ? 4 : 1); ++pass) {
        int start = d.Interlace ? Starts[pass] : 0, step = d.Interlace ? Steps[pass] : 1;
        for (int32_t y = start; y < d.Height; y += step) {
            if (DGifGetLine(gif, line.data(), d.Width) == GIF_ERROR)
                spi::fail(SPI_BROKEN_DATA);
            uint8_t *out = dib->row(d.Top + y) + size_t(d.Left) * 3;
            for (int32_t x = 0; x < d.Width; ++x, out += 3)
                std::memcpy(out, table[line[size_t(x)]], 3);
            progress.report(++done, d.Height);
        }
    }
    return dib;
}

} // namespace

const spi::Format &spi::thisFormat()
{
    static const Format format{
        "tovela GIF plug-in (giflib, first frame)", {{"*.gif", "GIF"}}, acceptsGif, probe, decode};
    return format;
}
