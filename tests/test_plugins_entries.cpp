// The entries every shipped plug-in shares: its texts, the header test, the picture facts, the
// file offset, the stop through the callback, and damaged data answered by a result code with
// every block freed.
#include "test_plugins_fixture.h"

#include <QFile>
#include <QtEndian>
#include <map>

namespace
{

struct Sample {
    const char *plugin;
    QString file;
};

} // namespace

class PluginSamples : public PluginPictures
{
protected:
    // One 66 x 46 picture per plug-in; a PNG with alpha is the source of the others.
    std::vector<Sample> makeSamples()
    {
        QString png = makeWithMagick("sample.png", {}, true);
        makeWithMagick("sample.gif", {"-colors", "64"});
        makeWithMagick("sample.tif", {"-compress", "LZW"});
        runTool("cwebp", {"-quiet", png, "-o", path("sample.webp")});
        runTool("heif-enc", {"-q", "80", png, "-o", path("sample.heic")});
        QString opaque = makeWithMagick("opaque.png", {});
        runTool("heif-enc", {"-q", "80", "-p", "chroma=422", opaque, "-o", path("sample.avif")});
        return {{"ifpng", png},
                {"ifgif", path("sample.gif")},
                {"iftiff", path("sample.tif")},
                {"ifwebp", path("sample.webp")},
                {"ifheif", path("sample.heic")},
                {"ifheif", path("sample.avif")}};
    }
};

TEST_F(PluginSamples, TextsHeaderTestAndPictureFacts)
{
    const std::map<std::string, std::vector<std::string>> patterns{
        {"ifpng", {"*.png"}},
        {"ifgif", {"*.gif"}},
        {"iftiff", {"*.tif;*.tiff"}},
        {"ifwebp", {"*.webp"}},
        {"ifheif", {"*.heic;*.heif", "*.avif"}}};
    std::vector<Sample> samples = makeSamples();
    for (const auto &[name, expected] : patterns) {
        SCOPED_TRACE(name);
        ShippedPlugin plugin(name.c_str());
        ASSERT_TRUE(plugin.loaded());
        EXPECT_EQ(plugin.text(0), "00IN");
        EXPECT_FALSE(plugin.text(1).empty());
        size_t n = 0;
        for (; !plugin.text(int32_t(2 + 2 * n)).empty(); ++n) {
            ASSERT_LT(n, expected.size());
            EXPECT_EQ(plugin.text(int32_t(2 + 2 * n)), expected[n]);
            EXPECT_FALSE(plugin.text(int32_t(3 + 2 * n)).empty()) << "each pattern has a name";
        }
        EXPECT_EQ(n, expected.size());
        EXPECT_EQ(plugin.text(-1), "");
        // A short buffer gets as much as fits, terminated.
        char small[3] = {'x', 'x', 'x'};
        EXPECT_EQ(plugin.getPluginInfo(0, small, 3), 2);
        EXPECT_STREQ(small, "00");

        // Each accepts its own format's files and no other's, and no garbage.
        for (const Sample &s : samples) {
            SCOPED_TRACE(s.file.toStdString());
            EXPECT_EQ(plugin.supports(readAll(s.file)), name == s.plugin);
        }
        EXPECT_FALSE(plugin.supports(QByteArray(64, '\x5a')));
        EXPECT_EQ(plugin.isSupported("x", 0), 0);
    }
    for (const Sample &s : samples) {
        SCOPED_TRACE(s.file.toStdString());
        ShippedPlugin plugin(s.plugin);
        // The record is packed: its fields are compared through aligned copies.
        alignas(8) PictureInfo info{};
        QByteArray name = QFile::encodeName(s.file), bytes = readAll(s.file);
        ASSERT_EQ(plugin.getPictureInfo(name.constData(), 0, SPI_SOURCE_FILE, &info), 0);
        EXPECT_EQ(info.width, 66);
        EXPECT_EQ(info.height, 46);
        EXPECT_EQ(info.colorDepth, 24);
        const HLOCAL textInfo = info.hInfo;
        EXPECT_EQ(textInfo, nullptr);
        alignas(8) PictureInfo fromMemory{};
        ASSERT_EQ(plugin.getPictureInfo(bytes.constData(), int32_t(bytes.size()), SPI_SOURCE_MEMORY,
                                        &fromMemory),
                  0);
        EXPECT_EQ(fromMemory.width, 66);
        EXPECT_EQ(fromMemory.height, 46);
        // Another format's bytes, or a file that is not there.
        QByteArray zeros(4096, '\0');
        EXPECT_EQ(plugin.getPictureInfo(zeros.constData(), int32_t(zeros.size()), SPI_SOURCE_MEMORY,
                                        &info),
                  SPI_UNKNOWN_FORMAT);
        EXPECT_EQ(plugin.getPictureInfo("/nonexistent/x", 0, SPI_SOURCE_FILE, &info),
                  SPI_FILE_READ_ERROR);
    }
}

TEST_F(PluginSamples, FileOffsetAndSourceKind)
{
    for (const Sample &s : makeSamples()) {
        SCOPED_TRACE(s.file.toStdString());
        ShippedPlugin plugin(s.plugin);
        Decoded plain = decodeFile(plugin, s.file);
        ASSERT_EQ(plain.result, SPI_SUCCESS);
        // The picture behind a 128-byte MacBinary-like header: read from the offset on.
        QString wrapped = s.file + ".bin";
        writeAll(wrapped, QByteArray(128, '\x07') + readAll(s.file));
        Decoded atOffset = decodeFile(plugin, wrapped, 128);
        EXPECT_EQ(atOffset.result, SPI_SUCCESS);
        EXPECT_EQ(atOffset.rgb, plain.rgb);
        EXPECT_EQ(decodeFile(plugin, wrapped, 0).result, SPI_UNKNOWN_FORMAT);
        EXPECT_EQ(decodeFile(plugin, s.file, -1).result, SPI_FILE_READ_ERROR);
        EXPECT_EQ(decodeFile(plugin, s.file, 1 << 30).result, SPI_UNKNOWN_FORMAT);
        // A FIFO is no picture file and must not block the read.
        EXPECT_EQ(decodeFile(plugin, "/dev/null").result, SPI_FILE_READ_ERROR);
        HLOCAL info = nullptr, bits = nullptr;
        QByteArray bytes = readAll(s.file);
        EXPECT_EQ(plugin.getPicture(bytes.constData(), int32_t(bytes.size()), 2, &info, &bits,
                                    nullptr, 0),
                  SPI_NOT_IMPLEMENTED);
        EXPECT_EQ(info, nullptr);
    }
}

TEST_F(PluginSamples, ProgressAndStopThroughTheCallback)
{
    for (const Sample &s : makeSamples()) {
        SCOPED_TRACE(s.file.toStdString());
        ShippedPlugin plugin(s.plugin);
        Decoded whole = decodeFile(plugin, s.file);
        ASSERT_EQ(whole.result, SPI_SUCCESS);
        ASSERT_GE(whole.progress.size(), 2u);
        EXPECT_EQ(whole.progress.front().first, 0);
        EXPECT_EQ(whole.progress.back().first, whole.progress.back().second) << "ends at 100 %";
        for (size_t i = 1; i < whole.progress.size(); ++i) {
            const auto &[num, denom] = whole.progress[i];
            EXPECT_GT(denom, 0);
            EXPECT_LE(num, denom);
        }
        // A stop at the first and at the second call: result 1, nothing returned, no more
        // calls after the stop.
        for (int at : {1, 2}) {
            Decoded stopped = decodeMemory(plugin, readAll(s.file), at);
            EXPECT_EQ(stopped.result, SPI_ABORTED);
            EXPECT_EQ(stopped.progress.size(), size_t(at));
            EXPECT_TRUE(stopped.rgb.empty());
        }
    }
}

namespace
{

uint32_t crc(const QByteArray &bytes);

// A PNG whose header claims 100000 x 100000 pixels, its checksum right.
QByteArray hugePng(QByteArray png)
{
    qToBigEndian<uint32_t>(100000, png.data() + 16);
    qToBigEndian<uint32_t>(100000, png.data() + 20);
    qToBigEndian<uint32_t>(crc(png.mid(12, 17)), png.data() + 29);
    return png;
}

uint32_t crc(const QByteArray &bytes)
{
    uint32_t c = 0xffffffffu;
    for (char ch : bytes) {
        c ^= uint8_t(ch);
        for (int k = 0; k < 8; ++k)
            c = (c >> 1) ^ (0xedb88320u & (0u - (c & 1u)));
    }
    return ~c;
}

// The same claim in each of the other formats' size fields.
QByteArray hugeGif(QByteArray gif)
{
    qToLittleEndian<uint16_t>(65535, gif.data() + 6);
    qToLittleEndian<uint16_t>(65535, gif.data() + 8);
    return gif;
}

QByteArray hugeAt(QByteArray bytes, const char *box, int offset, bool bigEndian)
{
    qsizetype at = bytes.indexOf(box);
    EXPECT_GE(at, 0) << box;
    if (at < 0)
        return bytes;
    for (int i = 0; i < 2; ++i) {
        char *field = bytes.data() + at + offset + 4 * i;
        if (bigEndian)
            qToBigEndian<uint32_t>(60000, field);
        else
            qToLittleEndian<uint32_t>(60000, field);
    }
    return bytes;
}

// A lossless WebP ("VP8L") whose 14-bit size fields claim 16384 x 16384.
QByteArray hugeWebp(QByteArray webp)
{
    EXPECT_EQ(webp.mid(12, 4), "VP8L");
    if (webp.size() < 25 || webp.mid(12, 4) != "VP8L")
        return webp;
    webp[21] = char(0xff);
    webp[22] = char(0xff);
    webp[23] = char(0xff);
    webp[24] = char(uint8_t(webp[24]) | 0x0f);
    return webp;
}

// A little-endian TIFF of 60000 x 60000 RGB pixels in one strip of 16 bytes.
QByteArray hugeTiff()
{
    const std::vector<TiffEntry> entries = {
        {256, 4, 1, 60000}, {257, 4, 1, 60000}, {258, 3, 1, 8},     {259, 3, 1, 1}, {262, 3, 1, 2},
        {273, 4, 1, 8},     {277, 3, 1, 3},     {278, 4, 1, 60000}, {279, 4, 1, 16}};
    QByteArray tiff("II*\0", 4);
    QByteArray word(4, '\0');
    qToLittleEndian<uint32_t>(24, word.data()); // the directory follows 16 bytes of "pixels"
    tiff += word + QByteArray(16, '\x40');
    return tiff + TiffDirectory(entries);
}

} // namespace

TEST_F(PluginSamples, DamagedDataGetsACodeAndLeaksNothing)
{
    std::vector<Sample> samples = makeSamples();
    // The layouts that take roads of their own: an animation, an orientation in an EXIF block,
    // 16-bit CMYK and floating-point TIFF, an HEIF of a brand other than "heic".
    runTool("img2webp",
            {"-lossless", path("sample.png"), path("opaque.png"), "-o", path("animated.webp")});
    runTool("convert", {path("opaque.png"), path("sample.jpg")});
    runTool("exif", {"--create-exif", "--ifd=0", "--tag=Orientation", "--set-value=6",
                     "--output=" + path("turned.jpg"), path("sample.jpg")});
    runTool("convert", {path("turned.jpg"), path("opaque.png"), "-compose", "Src", "-composite",
                        path("turned.png")});
    runTool("convert", {path("turned.jpg"), "EXIF:" + path("turned.exif")});
    runTool("webpmux",
            {"-set", "exif", path("turned.exif"), path("sample.webp"), "-o", path("turned.webp")});
    makeWithMagick("cmyk16.tif", {"-colorspace", "CMYK", "-depth", "16", "-compress", "Zip"});
    makeWithMagick("float.tif", {"-define", "quantum:format=floating-point", "-depth", "32",
                                 "-compress", "LZW"});
    QByteArray mif1 = readAll(path("sample.heic"));
    mif1.replace(8, 4, "mif1");
    writeAll(path("mif1.heic"), mif1);
    samples.insert(samples.end(), {{"ifwebp", path("animated.webp")},
                                   {"ifpng", path("turned.png")},
                                   {"ifwebp", path("turned.webp")},
                                   {"iftiff", path("cmyk16.tif")},
                                   {"iftiff", path("float.tif")},
                                   {"ifheif", path("mif1.heic")}});
    for (const Sample &s : samples) {
        SCOPED_TRACE(s.file.toStdString());
        ShippedPlugin plugin(s.plugin);
        const QByteArray good = readAll(s.file);
        auto expectRefused = [&](const QByteArray &bytes, const char *what) {
            SCOPED_TRACE(what);
            uint64_t before = LocalAllocCount();
            Decoded d = decodeMemory(plugin, bytes);
            EXPECT_NE(d.result, SPI_SUCCESS);
            EXPECT_GE(d.result, SPI_ABORTED);
            EXPECT_LE(d.result, SPI_INTERNAL_ERROR);
            EXPECT_EQ(LocalAllocCount() - before, LocalFreeCount() - before) << "all freed";
            return d.result;
        };
        // Cut short anywhere: in the header, in the pixels, just before the end.
        for (qsizetype length : {qsizetype(0), qsizetype(4), qsizetype(16), qsizetype(40),
                                 good.size() / 3, good.size() / 2})
            expectRefused(good.left(length), "truncated");
        // The signature followed by garbage.
        QByteArray garbage = good.left(16);
        for (int i = 0; i < 3000; ++i)
            garbage += char((i * 7919) >> 3);
        expectRefused(garbage, "garbage");
        // The middle of the data overwritten.
        QByteArray scrambled = good;
        for (qsizetype i = good.size() / 4; i < good.size() * 3 / 4; ++i)
            scrambled[i] = char(i * 31);
        Decoded d = decodeMemory(plugin, scrambled);
        if (d.result == SPI_SUCCESS) { // some formats decode damage as noise: the size holds
            EXPECT_EQ(d.width * d.height, 66 * 46);
        }
        EXPECT_EQ(LocalAllocCount(), LocalFreeCount());
    }
    runTool("cwebp", {"-quiet", "-lossless", path("opaque.png"), "-o", path("lossless.webp")});
    // A header that claims a picture far beyond the limit is refused before pixel memory
    // is taken.
    struct Huge {
        const char *plugin;
        QByteArray bytes;
    } huge[] = {{"ifpng", hugePng(readAll(path("sample.png")))},
                {"ifgif", hugeGif(readAll(path("sample.gif")))},
                {"iftiff", hugeTiff()},
                {"ifwebp", hugeWebp(readAll(path("lossless.webp")))},
                {"ifheif", hugeAt(readAll(path("sample.heic")), "ispe", 8, true)},
                {"ifheif", hugeAt(readAll(path("sample.avif")), "ispe", 8, true)}};
    for (const Huge &h : huge) {
        SCOPED_TRACE(h.plugin);
        ShippedPlugin plugin(h.plugin);
        Decoded d = decodeMemory(plugin, h.bytes);
        EXPECT_TRUE(d.result == SPI_NO_MEMORY || d.result == SPI_BROKEN_DATA) << d.result;
        EXPECT_EQ(LocalAllocCount(), LocalFreeCount());
        alignas(8) PictureInfo info{};
        EXPECT_NE(plugin.getPictureInfo(h.bytes.constData(), int32_t(h.bytes.size()),
                                        SPI_SOURCE_MEMORY, &info),
                  SPI_SUCCESS);
    }
}
