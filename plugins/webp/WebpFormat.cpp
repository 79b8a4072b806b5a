// WebP through libwebp (still pictures; an animation is not decoded). The decoder is fed the
// data in pieces, so that progress can be told and a stop asked for between them, and writes
// blue, green, red rows straight into the DIB, flipped to bottom-up.
#include "Format.h"
#include "PluginError.h"

#include <algorithm>
#include <cstring>
#include <vector>
#include <webp/decode.h>

namespace
{

bool acceptsWebp(const uint8_t *header, size_t size)
{
    return size >= 12 && std::memcmp(header, "RIFF", 4) == 0 &&
           std::memcmp(header + 8, "WEBP", 4) == 0;
}

WebPBitstreamFeatures readFeatures(spi::ByteView data)
{
    WebPBitstreamFeatures features;
    VP8StatusCode status = WebPGetFeatures(data.data, data.size, &features);
    if (status == VP8_STATUS_OUT_OF_MEMORY)
        spi::fail(SPI_NO_MEMORY);
    if (status != VP8_STATUS_OK)
        spi::fail(SPI_BROKEN_DATA);
    if (features.has_animation)
        spi::fail(SPI_UNKNOWN_FORMAT);
    spi::checkPictureSize(features.width, features.height);
    return features;
}

spi::PictureFacts probe(spi::ByteView data)
{
    WebPBitstreamFeatures features = readFeatures(data);
    spi::PictureFacts facts;
    facts.width = features.width;
    facts.height = features.height;
    return facts;
}

class IncrementalDecoder
{
public:
    explicit IncrementalDecoder(WebPDecoderConfig *config)
        : decoder_(WebPIDecode(nullptr, 0, config))
    {
        if (!decoder_)
            spi::fail(SPI_NO_MEMORY);
    }
    ~IncrementalDecoder() { WebPIDelete(decoder_); }
    IncrementalDecoder(const IncrementalDecoder &) = delete;
    IncrementalDecoder &operator=(const IncrementalDecoder &) = delete;
    WebPIDecoder *get() const { return decoder_; }

private:
    WebPIDecoder *decoder_;
};

std::unique_ptr<spi::Dib> decode(spi::ByteView data, spi::Progress &progress)
{
    WebPBitstreamFeatures features = readFeatures(data);
    auto dib = std::make_unique<spi::Dib>(features.width, features.height);
    const bool alpha = features.has_alpha;
    const size_t bgraStride = size_t(features.width) * 4;
    std::vector<uint8_t> bgra;

    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config))
        spi::fail(SPI_INTERNAL_ERROR);
    WebPDecBuffer &out = config.output;
    out.is_external_memory = 1;
    if (alpha) {
        // Premultiplied, so that the colour over white is the colour plus what alpha leaves.
        bgra.resize(bgraStride * size_t(features.height));
        out.colorspace = MODE_bgrA;
        out.u.RGBA.rgba = bgra.data();
        out.u.RGBA.stride = int(bgraStride);
        out.u.RGBA.size = bgra.size();
    } else {
        config.options.flip = 1;
        out.colorspace = MODE_BGR;
        out.u.RGBA.rgba = dib->bottomRow();
        out.u.RGBA.stride = int(dib->stride());
        out.u.RGBA.size = dib->stride() * size_t(features.height);
    }

    IncrementalDecoder decoder(&config);
    // Pieces small enough for a steady progress, large enough to cost nothing.
    const size_t piece = std::max<size_t>(64 * 1024, data.size / 64);
    VP8StatusCode status = VP8_STATUS_SUSPENDED;
    for (size_t fed = 0; fed < data.size && status == VP8_STATUS_SUSPENDED;) {
        size_t n = std::min(piece, data.size - fed);
        status = WebPIAppend(decoder.get(), data.data + fed, n);
        fed += n;
        progress.report(int64_t(fed), int64_t(data.size));
    }
    if (status == VP8_STATUS_OUT_OF_MEMORY)
        spi::fail(SPI_NO_MEMORY);
    if (status != VP8_STATUS_OK) // broken, or the data ended before the picture did
        spi::fail(SPI_BROKEN_DATA);

    if (alpha) {
        for (int32_t y = 0; y < features.height; ++y) {
            const uint8_t *in = bgra.data() + size_t(y) * bgraStride;
            uint8_t *row = dib->row(y);
            for (int32_t x = 0; x < features.width; ++x, in += 4, row += 3) {
                unsigned left = 255u - in[3];
                row[0] = uint8_t(std::min(255u, in[0] + left));
                row[1] = uint8_t(std::min(255u, in[1] + left));
                row[2] = uint8_t(std::min(255u, in[2] + left));
            }
        }
    }
    return dib;
}

} // namespace

const spi::Format &spi::thisFormat()
{
    static const Format format{
        "tovela WebP plug-in (libwebp)", {{"*.webp", "WebP"}}, acceptsWebp, probe, decode};
    return format;
}
