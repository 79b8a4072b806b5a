// HEIF and AVIF through libheif: the primary picture. Rotation and mirroring boxes are not
// applied, so the picture stays as stored, as the program does with a JPEG's orientation (in
// this libheif that switch also leaves a clean-aperture crop unapplied).
#include "Format.h"
#include "PluginError.h"

#include <algorithm>
#include <cstring>
#include <dlfcn.h>
#include <libheif/heif.h>
#include <memory>

namespace
{

// libheif's decoders allocate tables when they are loaded and never free them. Unloaded with
// this plug-in, they would lose those tables each time plug-ins are switched off and on again,
// and run their set-up once more, so libheif and what it loads stay for the life of the
// process once the plug-in has been loaded.
[[gnu::constructor]] void keepLibheifLoaded()
{
    Dl_info library{};
    if (!dladdr(reinterpret_cast<void *>(&heif_get_version), &library) || !library.dli_fname)
        return;
    // Promotes the loaded library to one that dlclose never unloads; the handle is not needed.
    if (void *handle = dlopen(library.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE))
        dlclose(handle);
}

bool acceptsHeif(const uint8_t *header, size_t size)
{
    // An ISO base media file: a "ftyp" box first, whose brands libheif knows.
    if (size < 12 || std::memcmp(header + 4, "ftyp", 4) != 0)
        return false;
    heif_filetype_result type = heif_check_filetype(header, int(std::min<size_t>(size, 4096)));
    return type == heif_filetype_yes_supported;
}

int32_t codeOf(const heif_error &error)
{
    if (error.code == heif_error_Memory_allocation_error)
        return SPI_NO_MEMORY;
    if (error.code == heif_error_Unsupported_feature ||
        error.code == heif_error_Unsupported_filetype)
        return SPI_UNKNOWN_FORMAT;
    return SPI_BROKEN_DATA;
}

void check(const heif_error &error)
{
    if (error.code != heif_error_Ok)
        spi::fail(codeOf(error));
}

template <auto Release> struct Releaser {
    template <class T> void operator()(T *p) const { Release(p); }
};

// The context, the primary picture's handle and its decoded image, each freed on every way out
// (a constructor that raises runs no destructor, so each is owned on its own).
class HeifPicture
{
public:
    explicit HeifPicture(spi::ByteView data) : context_(heif_context_alloc())
    {
        if (!context_)
            spi::fail(SPI_NO_MEMORY);
        check(heif_context_read_from_memory_without_copy(context_.get(), data.data, data.size,
                                                         nullptr));
        heif_image_handle *handle = nullptr;
        check(heif_context_get_primary_image_handle(context_.get(), &handle));
        handle_.reset(handle);
    }

    // The size as stored, before any rotation.
    spi::PictureFacts facts() const
    {
        spi::PictureFacts f;
        f.width = heif_image_handle_get_ispe_width(handle_.get());
        f.height = heif_image_handle_get_ispe_height(handle_.get());
        return f;
    }
    bool hasAlpha() const { return heif_image_handle_has_alpha_channel(handle_.get()) != 0; }

    const heif_image *decode(bool alpha)
    {
        std::unique_ptr<heif_decoding_options, Releaser<heif_decoding_options_free>> options(
            heif_decoding_options_alloc());
        if (!options)
            spi::fail(SPI_NO_MEMORY);
        options->ignore_transformations = 1;
        heif_image *image = nullptr;
        heif_error error = heif_decode_image(
            handle_.get(), &image, heif_colorspace_RGB,
            alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get());
        image_.reset(image);
        check(error);
        return image_.get();
    }

private:
    std::unique_ptr<heif_context, Releaser<heif_context_free>> context_;
    std::unique_ptr<heif_image_handle, Releaser<heif_image_handle_release>> handle_;
    std::unique_ptr<heif_image, Releaser<heif_image_release>> image_;
};

spi::PictureFacts probe(spi::ByteView data)
{
    return HeifPicture(data).facts();
}

std::unique_ptr<spi::Dib> decode(spi::ByteView data, spi::Progress &progress)
{
    HeifPicture picture(data);
    spi::PictureFacts f = picture.facts();
    spi::checkPictureSize(f.width, f.height);
    const bool alpha = picture.hasAlpha();
    // libheif decodes in one call that cannot be stopped: progress is told before and after it
    // and over the copy into the DIB.
    const int64_t total = int64_t(f.height) * 4;
    progress.report(0, total);
    const heif_image *image = picture.decode(alpha);
    int width = heif_image_get_width(image, heif_channel_interleaved);
    int height = heif_image_get_height(image, heif_channel_interleaved);
    int stride = 0;
    const uint8_t *pixels = heif_image_get_plane_readonly(image, heif_channel_interleaved, &stride);
    if (!pixels || width < 1 || height < 1)
        spi::fail(SPI_BROKEN_DATA);
    progress.report(int64_t(f.height) * 3, total);

    auto dib = std::make_unique<spi::Dib>(width, height);
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t *in = pixels + size_t(y) * size_t(stride);
        uint8_t *out = dib->row(y);
        if (alpha) {
            for (int32_t x = 0; x < width; ++x, in += 4, out += 3) {
                out[0] = spi::overWhite(in[2], in[3]);
                out[1] = spi::overWhite(in[1], in[3]);
                out[2] = spi::overWhite(in[0], in[3]);
            }
        } else {
            for (int32_t x = 0; x < width; ++x, in += 3, out += 3) {
                out[0] = in[2];
                out[1] = in[1];
                out[2] = in[0];
            }
        }
        if ((y & 63) == 63)
            progress.report(int64_t(f.height) * 3 + int64_t(y) * f.height / height, total);
    }
    progress.report(total, total);
    return dib;
}

} // namespace

const spi::Format &spi::thisFormat()
{
    static const Format format{"tovela HEIF plug-in (libheif " LIBHEIF_VERSION ")",
                               {{"*.heic;*.heif", "HEIF"}, {"*.avif", "AVIF"}},
                               acceptsHeif,
                               probe,
                               decode};
    return format;
}
