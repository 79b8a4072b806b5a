// The shipped plug-ins hand back pictures upright, since the plug-in interface cannot say how a
// picture lies: TIFF's Orientation tag, PNG's eXIf chunk and WebP's EXIF chunk in each of the
// eight orientations, and HEIF's own rotation, mirror and clean-aperture crop, each compared
// with the stored picture turned by ImageMagick.
#include "test_plugins_fixture.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdlib>
#include <libheif/heif.h>
#include <memory>

namespace
{

// For each orientation 1 to 8: ImageMagick's name for it and the operation that turns the
// stored picture into the one shown.
struct Turn {
    const char *name;
    QStringList operation;
};
const Turn Turns[8] = {{"TopLeft", {}},
                       {"TopRight", {"-flop"}},
                       {"BottomRight", {"-rotate", "180"}},
                       {"BottomLeft", {"-flip"}},
                       {"LeftTop", {"-transpose"}},
                       {"RightTop", {"-rotate", "90"}},
                       {"RightBottom", {"-transverse"}},
                       {"LeftBottom", {"-rotate", "270"}}};

double meanDifference(const std::vector<uint8_t> &a, const std::vector<uint8_t> &b)
{
    if (a.size() != b.size() || a.empty())
        return 1e9;
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += std::abs(int(a[i]) - int(b[i]));
    return sum / double(a.size());
}

template <auto Release> struct Releaser {
    template <class T> void operator()(T *p) const { Release(p); }
};

// An HEIC written through libheif's encoder (x265), which records the orientation as rotation
// and mirror boxes; with the macOS work-around off, an odd size is coded padded and cropped back
// by a clean-aperture box.
void writeHeic(const QString &file, const std::vector<uint8_t> &rgb, int width, int height,
               heif_orientation orientation)
{
    std::unique_ptr<heif_context, Releaser<heif_context_free>> context(heif_context_alloc());
    heif_encoder *rawEncoder = nullptr;
    ASSERT_EQ(
        heif_context_get_encoder_for_format(context.get(), heif_compression_HEVC, &rawEncoder).code,
        heif_error_Ok);
    std::unique_ptr<heif_encoder, Releaser<heif_encoder_release>> encoder(rawEncoder);
    heif_encoder_set_lossy_quality(encoder.get(), 92);
    heif_image *rawImage = nullptr;
    ASSERT_EQ(heif_image_create(width, height, heif_colorspace_RGB, heif_chroma_interleaved_RGB,
                                &rawImage)
                  .code,
              heif_error_Ok);
    std::unique_ptr<heif_image, Releaser<heif_image_release>> image(rawImage);
    ASSERT_EQ(heif_image_add_plane(image.get(), heif_channel_interleaved, width, height, 8).code,
              heif_error_Ok);
    int stride = 0;
    uint8_t *plane = heif_image_get_plane(image.get(), heif_channel_interleaved, &stride);
    for (int y = 0; y < height; ++y)
        std::copy_n(&rgb[size_t(y) * size_t(width) * 3], width * 3, plane + size_t(y) * stride);
    std::unique_ptr<heif_encoding_options, Releaser<heif_encoding_options_free>> options(
        heif_encoding_options_alloc());
    options->macOS_compatibility_workaround = 0;
    options->image_orientation = orientation;
    ASSERT_EQ(
        heif_context_encode_image(context.get(), image.get(), encoder.get(), options.get(), nullptr)
            .code,
        heif_error_Ok);
    ASSERT_EQ(heif_context_write_to_file(context.get(), QFile::encodeName(file).constData()).code,
              heif_error_Ok);
}

} // namespace

class PluginOrientation : public PluginPictures
{
protected:
    // The stored picture turned as orientation o shows it, by ImageMagick.
    std::vector<uint8_t> shown(const QString &stored, int o, int32_t *width, int32_t *height)
    {
        QString file = path(QString("shown-%1-%2.png").arg(QFileInfo(stored).baseName()).arg(o));
        runTool("convert", QStringList{stored} << Turns[o - 1].operation << "+repage" << file);
        return magickRgb(file, width, height);
    }

    void expectSize(const ShippedPlugin &plugin, const QString &file, int32_t width, int32_t height)
    {
        alignas(8) PictureInfo info{};
        QByteArray name = QFile::encodeName(file);
        ASSERT_EQ(plugin.getPictureInfo(name.constData(), 0, SPI_SOURCE_FILE, &info), 0);
        EXPECT_EQ(info.width, width);
        EXPECT_EQ(info.height, height);
    }
};

TEST_F(PluginOrientation, TiffPngAndWebpComeUprightInEachOrientation)
{
    ShippedPlugin tiff("iftiff"), png("ifpng"), webp("ifwebp");
    ASSERT_TRUE(tiff.loaded() && png.loaded() && webp.loaded());
    QString source = makeWithMagick("source.png", {});
    QString jpeg = path("base.jpg");
    runTool("convert", {source, jpeg});
    QString lossless = path("source.webp");
    runTool("cwebp", {"-quiet", "-lossless", source, "-o", lossless});
    for (int o = 1; o <= 8; ++o) {
        SCOPED_TRACE(o);
        const QString n = QString::number(o);
        int32_t width = 0, height = 0;
        std::vector<uint8_t> expected = shown(source, o, &width, &height);
        // The orientation written by the exif tool into a JPEG's EXIF block: ImageMagick carries
        // that block into a PNG (an eXIf chunk after the pixel data) and takes it out for
        // webpmux (with the "Exif" mark before it).
        QString tagged = path("tagged" + n + ".jpg");
        runTool("exif", {"--create-exif", "--ifd=0", "--tag=Orientation", "--set-value=" + n,
                         "--output=" + tagged, jpeg});
        QString block = path("orientation" + n + ".exif");
        runTool("convert", {tagged, "EXIF:" + block});
        QString turnedTiff = path(n + ".tif"), turnedPng = path(n + ".png");
        QString turnedWebp = path(n + ".webp");
        runTool("convert", {source, "-orient", Turns[o - 1].name, turnedTiff});
        runTool("convert", {tagged, source, "-compose", "Src", "-composite", turnedPng});
        runTool("webpmux", {"-set", "exif", block, lossless, "-o", turnedWebp});
        ASSERT_NE(readAll(turnedPng).indexOf("eXIf"), -1);
        const std::pair<const ShippedPlugin *, QString> files[] = {
            {&tiff, turnedTiff}, {&png, turnedPng}, {&webp, turnedWebp}};
        for (const auto &[plugin, file] : files) {
            expectPixels(*plugin, file, expected, width, height, 0);
            expectSize(*plugin, file, width, height);
        }
    }
    // An EXIF block that is not one leaves the picture as stored.
    QString garbage = path("garbage.exif"), damaged = path("damaged.webp");
    writeAll(garbage, QByteArray("MM\0*\0\0\0\x08\xff\xff\x01\x12", 12) + QByteArray(40, '\x06'));
    runTool("webpmux", {"-set", "exif", garbage, lossless, "-o", damaged});
    int32_t width = 0, height = 0;
    std::vector<uint8_t> stored = magickRgb(source, &width, &height);
    expectPixels(webp, damaged, stored, width, height, 0);
}

TEST_F(PluginOrientation, HeifComesRotatedMirroredAndCroppedAsItsFileSays)
{
    ShippedPlugin heif("ifheif");
    ASSERT_TRUE(heif.loaded());
    // An odd size, so that the picture is coded padded and cropped back.
    QString stored = path("stored.png");
    runTool("convert", {"-size", "65x45", "-seed", "7", "plasma:", "-depth", "8", stored});
    int32_t storedWidth = 0, storedHeight = 0;
    std::vector<uint8_t> rgb = magickRgb(stored, &storedWidth, &storedHeight);
    for (int o : {1, 2, 6, 7}) {
        SCOPED_TRACE(o);
        QString file = path(QString("turned%1.heic").arg(o));
        writeHeic(file, rgb, storedWidth, storedHeight, heif_orientation(o));
        QByteArray bytes = readAll(file);
        ASSERT_NE(bytes.indexOf("clap"), -1) << "the crop is in the file";
        ASSERT_EQ(bytes.indexOf("irot") != -1, o >= 3);
        ASSERT_EQ(bytes.indexOf("imir") != -1, o == 2 || o == 7);
        int32_t width = 0, height = 0;
        std::vector<uint8_t> expected = shown(stored, o, &width, &height);
        Decoded d = decodeFile(heif, file);
        ASSERT_EQ(d.result, SPI_SUCCESS);
        ASSERT_EQ(d.width, width);
        ASSERT_EQ(d.height, height);
        // Lossy: close to the picture shown, far from the stored one laid over it.
        const double error = meanDifference(d.rgb, expected);
        EXPECT_LT(error, 8.0);
        if (o != 1 && width == storedWidth) {
            EXPECT_GT(meanDifference(d.rgb, rgb), 3 * error);
        }
        expectSize(heif, file, width, height);
    }
}
