// HEIF and AVIF through libheif: the primary picture, of any brand libheif reads (an image
// sequence shows its primary picture), with the file's clean-aperture crop, rotation and
// mirroring applied by libheif, so that it comes out upright and whole.
#include "Format.h"
#include "PluginError.h"

#include <algorithm>
#include <cstring>
#include <dlfcn.h>
#include <iterator>
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

// The brands of still pictures and sequences in HEIF and its AV1 profile (AVIF). libheif's own
// test knows a few of them as "supported"; files of the others (a "mif1" file with an HEVC
// picture, the sequence brands) carry a primary picture libheif reads all the same.
constexpr const char *HeifBrands[] = {"mif1", "mif2", "msf1", "miaf", "heic",
                                      "heix", "heim", "heis", "hevc", "hevx",
                                      "hevm", "hevs", "avif", "avis", "avio"};

bool isHeifBrand(const uint8_t *brand)
{
    return std::any_of(std::begin(HeifBrands), std::end(HeifBrands),
                       [brand](const char *known) { return std::memcmp(brand, known, 4) == 0; });
}

// An ISO base media file that starts with a "ftyp" box naming a HEIF or AVIF brand, as its
// major brand or among the compatible ones that fit in the header. Whether libheif can decode
// its primary picture is for the decode to find out.
bool acceptsHeif(const uint8_t *header, size_t size)
{
    if (size < 16 || std::memcmp(header + 4, "ftyp", 4) != 0)
        return false;
    size_t box = size_t(header[0]) << 24 | size_t(header[1]) << 16 | size_t(header[2]) << 8 |
                 size_t(header[3]);
    if (box < 16)
        return false;
    if (isHeifBrand(header + 8))
        return true;
    for (size_t at = 16; at + 4 <= std::min(box, size); at += 4)
        if (isHeifBrand(header + at))
            return true;
    return false;
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

    // The size as coded, before the crop and any rotation: what the decode takes memory for.
    spi::PictureFacts codedFacts() const
    {
        spi::PictureFacts f;
        f.width = heif_image_handle_get_ispe_width(handle_.get());
        f.height = heif_image_handle_get_ispe_height(handle_.get());
        return f;
    }
    // The size as shown, cropped and turned.
    spi::PictureFacts facts() const
    {
        spi::PictureFacts f;
        f.width = heif_image_handle_get_width(handle_.get());
        f.height = heif_image_handle_get_height(handle_.get());
        return f;
    }
    bool hasAlpha() const { return heif_image_handle_has_alpha_channel(handle_.get()) != 0; }

    const heif_image *decode(bool alpha)
    {
        std::unique_ptr<heif_decoding_options, Releaser<heif_decoding_options_free>> options(
            heif_decoding_options_alloc());
        if (!options)
            spi::fail(SPI_NO_MEMORY);
        options->ignore_transformations = 0;
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
    HeifPicture picture(data);
    spi::PictureFacts coded = picture.codedFacts();
    spi::checkPictureSize(coded.width, coded.height);
    return picture.facts();
}

std::unique_ptr<spi::Dib> decode(spi::ByteView data, spi::Progress &progress)
{
    HeifPicture picture(data);
    spi::PictureFacts f = picture.codedFacts();
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
