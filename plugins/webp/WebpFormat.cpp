// WebP through libwebp. A still picture's decoder is fed the data in pieces, so that progress
// can be told and a stop asked for between them, and writes blue, green, red rows straight into
// the DIB, flipped to bottom-up. An animation shows its first frame on the canvas over white,
// as a GIF does. Either is turned upright as the EXIF chunk's orientation says.
#include "../exif/ExifOrientation.h"
#include "Format.h"
#include "Orientation.h"
#include "PluginError.h"

#include <algorithm>
#include <cstring>
#include <vector>
#include <webp/decode.h>
#include <webp/demux.h>

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
    // For an extended file this is the canvas, which an animation's frames lie on.
    spi::checkPictureSize(features.width, features.height);
    return features;
}

class Demuxer
{
public:
    explicit Demuxer(spi::ByteView data)
    {
        WebPData bytes{data.data, data.size};
        demuxer_ = WebPDemux(&bytes);
    }
    ~Demuxer() { WebPDemuxDelete(demuxer_); }
    Demuxer(const Demuxer &) = delete;
    Demuxer &operator=(const Demuxer &) = delete;
    WebPDemuxer *get() const { return demuxer_; }

private:
    WebPDemuxer *demuxer_ = nullptr;
};

// The EXIF chunk's orientation; upright when there is none or the file cannot be taken apart.
int readOrientation(spi::ByteView data)
{
    Demuxer demuxer(data);
    if (!demuxer.get())
        return spi::UprightOrientation;
    WebPChunkIterator chunk;
    if (!WebPDemuxGetChunk(demuxer.get(), "EXIF", 1, &chunk))
        return spi::UprightOrientation;
    int orientation = spi::exifOrientation(chunk.chunk.bytes, chunk.chunk.size);
    WebPDemuxReleaseChunkIterator(&chunk);
    return orientation;
}

spi::PictureFacts probe(spi::ByteView data)
{
    WebPBitstreamFeatures features = readFeatures(data);
    spi::PictureFacts facts;
    facts.width = features.width;
    facts.height = features.height;
    return spi::uprightFacts(facts, readOrientation(data));
}

// Blue, green, red, alpha rows, premultiplied, laid over white into the DIB.
void premultipliedOverWhite(const uint8_t *bgra, size_t stride, spi::Dib &dib)
{
    for (int32_t y = 0; y < dib.height(); ++y) {
        const uint8_t *in = bgra + size_t(y) * stride;
        uint8_t *row = dib.row(y);
        for (int32_t x = 0; x < dib.width(); ++x, in += 4, row += 3) {
            unsigned left = 255u - in[3];
            row[0] = uint8_t(std::min(255u, in[0] + left));
            row[1] = uint8_t(std::min(255u, in[1] + left));
            row[2] = uint8_t(std::min(255u, in[2] + left));
        }
    }
}

class AnimationDecoder
{
public:
    AnimationDecoder(spi::ByteView data, const WebPAnimDecoderOptions &options)
    {
        WebPData bytes{data.data, data.size};
        decoder_ = WebPAnimDecoderNew(&bytes, &options);
        if (!decoder_)
            spi::fail(SPI_BROKEN_DATA);
    }
    ~AnimationDecoder() { WebPAnimDecoderDelete(decoder_); }
    AnimationDecoder(const AnimationDecoder &) = delete;
    AnimationDecoder &operator=(const AnimationDecoder &) = delete;
    WebPAnimDecoder *get() const { return decoder_; }

private:
    WebPAnimDecoder *decoder_ = nullptr;
};

// The first frame as the animation shows it: on the canvas, which is clear where the frame does
// not reach, laid over white.
std::unique_ptr<spi::Dib> decodeFirstFrame(spi::ByteView data, spi::Progress &progress)
{
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options))
        spi::fail(SPI_INTERNAL_ERROR);
    options.color_mode = MODE_bgrA;
    options.use_threads = 0;
    AnimationDecoder decoder(data, options);
    WebPAnimInfo info;
    if (!WebPAnimDecoderGetInfo(decoder.get(), &info) || info.frame_count < 1)
        spi::fail(SPI_BROKEN_DATA);
    spi::checkPictureSize(info.canvas_width, info.canvas_height);
    auto dib = std::make_unique<spi::Dib>(int32_t(info.canvas_width), int32_t(info.canvas_height));
    uint8_t *canvas = nullptr;
    int timestamp = 0;
    if (!WebPAnimDecoderGetNext(decoder.get(), &canvas, &timestamp) || !canvas)
        spi::fail(SPI_BROKEN_DATA);
    progress.report(1, 2);
    premultipliedOverWhite(canvas, size_t(info.canvas_width) * 4, *dib);
    progress.report(2, 2);
    return dib;
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

std::unique_ptr<spi::Dib> decodeStill(spi::ByteView data, const WebPBitstreamFeatures &features,
                                      spi::Progress &progress)
{
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

    if (alpha)
        premultipliedOverWhite(bgra.data(), bgraStride, *dib);
    return dib;
}

std::unique_ptr<spi::Dib> decode(spi::ByteView data, spi::Progress &progress)
{
    WebPBitstreamFeatures features = readFeatures(data);
    std::unique_ptr<spi::Dib> dib = features.has_animation ? decodeFirstFrame(data, progress)
                                                           : decodeStill(data, features, progress);
    return spi::upright(std::move(dib), readOrientation(data));
}

} // namespace

const spi::Format &spi::thisFormat()
{
    static const Format format{
        "tovela WebP plug-in (libwebp)", {{"*.webp", "WebP"}}, acceptsWebp, probe, decode};
    return format;
}
