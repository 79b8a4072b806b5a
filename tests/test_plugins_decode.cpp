// Each shipped plug-in decodes pictures made by another tool to the pixels of that format's
// reference decoder: ImageMagick for PNG, GIF and TIFF (exact; 1 where ImageMagick works in
// 16 bits: alpha over white, 16-bit samples, a TIFF's 16-bit colour map), dwebp for WebP (the same
// library: exact when opaque, 1 for the rounding of alpha over white), heif-convert for HEIF
// and AVIF (the same library and colour conversion: 2 for rounding).
#include "test_plugins_fixture.h"

#include <QtEndian>
#include <cmath>
#include <cstring>

namespace
{

// A little-endian TIFF of one row of 32-bit floating-point grey samples, uncompressed.
QByteArray floatGreyTiff(const std::vector<float> &samples)
{
    const uint32_t width = uint32_t(samples.size());
    const std::vector<TiffEntry> entries = {
        {256, 4, 1, width},     {257, 4, 1, 1}, {258, 3, 1, 32}, {259, 3, 1, 1},
        {262, 3, 1, 1},         {273, 4, 1, 8}, {277, 3, 1, 1},  {278, 4, 1, 1},
        {279, 4, 1, width * 4}, {339, 3, 1, 3}};
    QByteArray tiff("II*\0", 4);
    QByteArray word(4, '\0');
    qToLittleEndian<uint32_t>(8 + width * 4, word.data());
    tiff += word;
    for (float f : samples) {
        uint32_t bits = 0;
        std::memcpy(&bits, &f, 4);
        qToLittleEndian<uint32_t>(bits, word.data());
        tiff += word;
    }
    return tiff + TiffDirectory(entries);
}

// The file with its "ftyp" box's brands replaced: the major one, and the compatible ones in
// order (as many as the box holds).
QByteArray withBrands(QByteArray file, const char *major, const QList<QByteArray> &compatible = {})
{
    EXPECT_EQ(file.mid(4, 4), "ftyp");
    std::memcpy(file.data() + 8, major, 4);
    const int boxSize = qFromBigEndian<uint32_t>(file.constData());
    for (int i = 0; i < compatible.size() && 16 + 4 * i + 4 <= boxSize; ++i)
        std::memcpy(file.data() + 16 + 4 * i, compatible[i].constData(), 4);
    return file;
}

} // namespace

TEST_F(PluginPictures, PngDecodesLikeImageMagick)
{
    ShippedPlugin png("ifpng");
    ASSERT_TRUE(png.loaded());
    expectLikeMagick(png, makeWithMagick("rgb.png", {"-define", "png:color-type=2"}));
    expectLikeMagick(png, makeWithMagick("rgba.png", {}, true), 1);
    expectLikeMagick(png, makeWithMagick("interlaced.png", {"-interlace", "PNG"}, true), 1);
    expectLikeMagick(png, makeWithMagick("interlaced-rgb.png", {"-interlace", "PNG"}));
    // 16-bit samples: ImageMagick's scaling to 8 bits rounds differently by 1.
    expectLikeMagick(png, makeWithMagick("deep.png", {"-depth", "16"}, true), 1);
    expectLikeMagick(png, makeWithMagick("palette.png", {"-colors", "50"}, false, "PNG8:"));
    expectLikeMagick(png, makeWithMagick("grey.png", {"-colorspace", "Gray"}));
    expectLikeMagick(png, makeWithMagick("grey-alpha.png", {"-colorspace", "Gray"}, true), 1);
    expectLikeMagick(png, makeWithMagick("bilevel.png", {"-monochrome"}));
}

TEST_F(PluginPictures, GifDecodesTheFirstFrameLikeImageMagick)
{
    ShippedPlugin gif("ifgif");
    ASSERT_TRUE(gif.loaded());
    expectLikeMagick(gif, makeWithMagick("plain.gif", {"-colors", "64"}));
    expectLikeMagick(gif, makeWithMagick("interlaced.gif", {"-colors", "64", "-interlace", "GIF"}));
    // Transparency: the ramp's clear half becomes the transparent colour.
    expectLikeMagick(gif, makeWithMagick("transparent.gif", {"-colors", "32"}, true));
    // Two frames, the second a different colour: only the first counts.
    QString animated = path("animated.gif");
    runTool("convert", {"-size", "40x30", "xc:red", "-size", "40x30", "xc:blue", animated});
    expectLikeMagick(gif, animated);
    // A frame smaller than the screen, placed inside it; the rest of the screen is white.
    QString framed = path("framed.gif");
    runTool("convert", {"-size", "20x10", "xc:green", "-repage", "50x40+7+9", framed});
    expectLikeMagick(gif, framed);
    Decoded d = decodeFile(gif, framed);
    ASSERT_EQ(d.width, 50);
    EXPECT_EQ(d.rgb[0], 255); // top left lies outside the frame
}

TEST_F(PluginPictures, TiffDecodesTheFirstPageLikeImageMagick)
{
    ShippedPlugin tiff("iftiff");
    ASSERT_TRUE(tiff.loaded());
    expectLikeMagick(tiff, makeWithMagick("plain.tif", {"-compress", "None"}));
    expectLikeMagick(tiff, makeWithMagick("lzw.tif", {"-compress", "LZW"}));
    expectLikeMagick(tiff,
                     makeWithMagick("zip-big-endian.tif", {"-compress", "Zip", "-endian", "MSB"}));
    expectLikeMagick(tiff, makeWithMagick("tiled.tif", {"-define", "tiff:tile-geometry=16x16"}));
    expectLikeMagick(tiff, makeWithMagick("strips.tif", {"-define", "tiff:rows-per-strip=5"}));
    expectLikeMagick(tiff, makeWithMagick("grey.tif", {"-colorspace", "Gray"}));
    expectLikeMagick(tiff, makeWithMagick("palette.tif", {"-colors", "40", "-type", "Palette"}), 1);
    // 16-bit samples (ImageMagick scales them with another rounding) and alpha over white: 1.
    expectLikeMagick(tiff, makeWithMagick("deep.tif", {"-depth", "16"}), 1);
    expectLikeMagick(tiff, makeWithMagick("alpha.tif", {}, true), 1);
    // Two pages: the first is the picture.
    QString pages = path("pages.tif");
    runTool("convert", {"-size", "30x20", "xc:orange", "-size", "50x60", "xc:navy", pages});
    expectLikeMagick(tiff, pages);
    // Taller than a band of rows and stored as one strip, compressed.
    for (const char *compression : {"LZW", "Zip"}) {
        QString tall = path(QString("tall-%1.tif").arg(compression));
        runTool("convert", {"-size", "24x2300", "-seed", "3", "plasma:", "-depth", "8", "-compress",
                            compression, "-define", "tiff:rows-per-strip=2300", tall});
        expectLikeMagick(tiff, tall);
    }
    // Layouts libtiff's RGBA reader refuses: 16-bit CMYK (ImageMagick mixes the inks in 16
    // bits: 2) and floating-point samples, with and without alpha.
    expectLikeMagick(tiff, makeWithMagick("cmyk16.tif", {"-colorspace", "CMYK", "-depth", "16"}),
                     2);
    expectLikeMagick(tiff, makeWithMagick("cmyk8.tif", {"-colorspace", "CMYK"}), 2);
    // ImageMagick writes floating-point samples with the floating-point predictor, which needs a
    // compression.
    const QStringList floating{
        "-define", "quantum:format=floating-point", "-depth", "32", "-compress", "Zip"};
    expectLikeMagick(tiff, makeWithMagick("float.tif", floating), 1);
    expectLikeMagick(tiff,
                     makeWithMagick("float-lzw.tif", QStringList(floating) << "-compress"
                                                                           << "LZW"),
                     1);
    expectLikeMagick(tiff, makeWithMagick("float-alpha.tif", floating, true), 1);
    expectLikeMagick(tiff,
                     makeWithMagick("float-grey.tif", QStringList(floating) << "-colorspace"
                                                                            << "Gray"),
                     1);
    // Samples outside 0..1, and one that is no number, are clamped.
    QString clamped = path("clamped.tif");
    writeAll(clamped, floatGreyTiff({-0.5f, 0.25f, 1.0f, 1.7f, std::nanf("")}));
    Decoded d = decodeFile(tiff, clamped);
    ASSERT_EQ(d.result, SPI_SUCCESS);
    const std::vector<uint8_t> expected{0, 0, 0, 64, 64, 64, 255, 255, 255, 255, 255, 255, 0, 0, 0};
    EXPECT_EQ(d.rgb, expected);
}

TEST_F(PluginPictures, AnimatedWebpShowsItsFirstFrameOverWhite)
{
    ShippedPlugin webp("ifwebp");
    ASSERT_TRUE(webp.loaded());
    // The first frame fades to clear; the second is plain blue.
    QString first = makeWithMagick("first.png", {}, true), second = path("second.png");
    runTool("convert", {"-size", "66x46", "xc:blue", second});
    QString animated = path("animated.webp");
    runTool("img2webp",
            {"-loop", "0", "-lossless", "-d", "100", first, "-d", "100", second, "-o", animated});
    ASSERT_NE(readAll(animated).indexOf("ANMF"), -1) << "an animation";
    int32_t width = 0, height = 0;
    std::vector<uint8_t> reference = magickRgb(first, &width, &height);
    expectPixels(webp, animated, reference, width, height, 1);
    // A first frame smaller than the canvas lies at its place on white.
    QString small = path("small.webp"), full = path("full.webp"), framed = path("framed.webp");
    runTool("cwebp", {"-quiet", "-lossless", second, "-resize", "20", "10", "-o", small});
    runTool("cwebp", {"-quiet", "-lossless", first, "-o", full});
    runTool("webpmux", {"-frame", small, "+100+10+12+0-b", "-frame", full, "+100+0+0+0-b", "-loop",
                        "0", "-o", framed});
    QString placed = path("placed.png");
    runTool("convert", {"-size", "66x46", "xc:white", "-fill", "blue", "-draw",
                        "rectangle 10,12 29,21", placed});
    reference = magickRgb(placed, &width, &height);
    expectPixels(webp, framed, reference, width, height, 0);
}

TEST_F(PluginPictures, WebpDecodesLikeDwebp)
{
    ShippedPlugin webp("ifwebp");
    ASSERT_TRUE(webp.loaded());
    QString source = makeWithMagick("source.png", {});
    QString alphaSource = makeWithMagick("alpha-source.png", {}, true);
    struct Case {
        QString name, from;
        QStringList options;
        int tolerance;
    } cases[] = {{"lossy.webp", source, {"-q", "80"}, 0},
                 {"lossless.webp", source, {"-lossless"}, 0},
                 {"lossy-alpha.webp", alphaSource, {"-q", "80"}, 1},
                 {"lossless-alpha.webp", alphaSource, {"-lossless", "-exact"}, 1}};
    for (const Case &c : cases) {
        QString file = path(c.name);
        runTool("cwebp", QStringList(c.options) << "-quiet" << c.from << "-o" << file);
        int32_t width = 0, height = 0;
        std::vector<uint8_t> reference =
            netpbmRgb(runTool("dwebp", {"-quiet", "-pam", file, "-o", "-"}), &width, &height);
        expectPixels(webp, file, reference, width, height, c.tolerance);
    }
}

TEST_F(PluginPictures, HeifAndAvifDecodeLikeHeifConvert)
{
    ShippedPlugin heif("ifheif");
    ASSERT_TRUE(heif.loaded());
    QString source = makeWithMagick("source.png", {});
    QString alphaSource = makeWithMagick("alpha-source.png", {}, true);
    // This libaom asserts on 4:4:4 input from PNG and fails on alpha planes; opaque 4:2:2 is
    // what it encodes.
    struct Case {
        QString name, from;
        QStringList options;
    } cases[] = {{"photo.heic", source, {"-q", "85"}},
                 {"alpha.heic", alphaSource, {"-q", "85"}},
                 {"photo.avif", source, {"-q", "85", "-p", "chroma=422"}}};
    for (const Case &c : cases) {
        QString file = path(c.name);
        runTool("heif-enc", QStringList(c.options) << c.from << "-o" << file);
        QString decoded = path(c.name + ".png");
        runTool("heif-convert", {file, decoded});
        int32_t width = 0, height = 0;
        std::vector<uint8_t> reference = magickRgb(decoded, &width, &height);
        expectPixels(heif, file, reference, width, height, 2);
    }
}

TEST_F(PluginPictures, HeifOfEveryBrandLibheifReadsIsAccepted)
{
    ShippedPlugin heif("ifheif");
    ASSERT_TRUE(heif.loaded());
    QString source = makeWithMagick("source.png", {});
    runTool("heif-enc", {"-q", "85", source, "-o", path("photo.heic")});
    runTool("heif-enc", {"-q", "85", "-p", "chroma=422", source, "-o", path("photo.avif")});
    const QByteArray heic = readAll(path("photo.heic")), avif = readAll(path("photo.avif"));
    const Decoded heicPixels = decodeMemory(heif, heic), avifPixels = decodeMemory(heif, avif);
    ASSERT_EQ(heicPixels.result, SPI_SUCCESS);
    ASSERT_EQ(avifPixels.result, SPI_SUCCESS);
    // What phones and cameras write: a still-picture or sequence brand first, HEVC or AV1
    // inside; the primary picture is the one shown.
    struct Case {
        const char *what;
        QByteArray file;
        const Decoded &same;
    } cases[] = {{"mif1 with HEVC", withBrands(heic, "mif1"), heicPixels},
                 {"msf1 with HEVC", withBrands(heic, "msf1"), heicPixels},
                 {"heix", withBrands(heic, "heix"), heicPixels},
                 {"avis", withBrands(avif, "avis"), avifPixels},
                 {"only a compatible brand says HEIF", withBrands(heic, "isom", {"mp42", "mif1"}),
                  heicPixels}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        QString file = path("brand.heic");
        writeAll(file, c.file);
        EXPECT_TRUE(heif.supports(c.file));
        Decoded d = decodeFile(heif, file);
        ASSERT_EQ(d.result, SPI_SUCCESS);
        EXPECT_EQ(d.rgb, c.same.rgb);
    }
    // An ISO media file of no picture brand is not taken.
    EXPECT_FALSE(heif.supports(withBrands(heic, "isom", {"mp42", "mp41", "iso2"})));
}
