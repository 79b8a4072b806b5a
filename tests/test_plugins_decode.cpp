// Each shipped plug-in decodes pictures made by another tool to the pixels of that format's
// reference decoder: ImageMagick for PNG, GIF and TIFF (exact; 1 where ImageMagick works in
// 16 bits: alpha over white, 16-bit samples, a TIFF's 16-bit colour map), dwebp for WebP (the same
// library: exact when opaque, 1 for the rounding of alpha over white), heif-convert for HEIF
// and AVIF (the same library and colour conversion: 2 for rounding).
#include "test_plugins_fixture.h"

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
    // The orientation tag is left as stored: rows come as the file holds them.
    QString turned = path("turned.tif");
    runTool("convert", {path("plain.tif"), "-orient", "BottomRight", turned});
    EXPECT_EQ(decodeFile(tiff, turned).rgb, decodeFile(tiff, path("plain.tif")).rgb);
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
