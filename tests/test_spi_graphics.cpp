// Pictures decoded through plug-ins: offsets, metrics, the BMP round trip, the checks of what a
// plug-in returns, errors of the progress handler, the loader's class order and progress, and
// the plug-in memory freed after a load.
#include "platform/base/Abort.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/GraphicsErrors.h"
#include "platform/graphics/Picture.h"
#include "platform/graphics/PictureFormats.h"
#include "spi/SPIBmp.h"
#include "spi/SPIs.h"
#include "tests/test_spi_support.h"

#include <QBuffer>
#include <QFile>
#include <QtEndian>

namespace
{
struct Report {
    TProgressStage stage;
    int percent;
    QString message;
    bool operator==(const Report &) const = default;
};

std::ostream &operator<<(std::ostream &out, const Report &r)
{
    return out << int(r.stage) << "/" << r.percent << "/" << r.message.toStdString();
}

class SpiGraphics : public ::testing::Test
{
protected:
    void SetUp() override
    {
        spis = std::make_unique<TSPIs>();
        spis->Add(CreateSPI(folder.addPlugin("testspi_good", "good.spi")));
    }
    void TearDown() override
    {
        spis.reset();
        UnregisterGraphicClass(SPIBitmapClass());
    }
    QString file(const QString &name, const QByteArray &bytes)
    {
        return folder.addFile(name, bytes);
    }
    // Records every progress report of graphic.
    void record(TGraphic &graphic)
    {
        graphic.OnProgress = [this, &graphic](TGraphic *sender, TProgressStage stage, int percent,
                                              bool redraw, const QRect &, const QString &msg) {
            EXPECT_EQ(sender, &graphic);
            EXPECT_EQ(redraw, stage == TProgressStage::psEnding);
            reports.push_back({stage, percent, msg});
        };
    }
    int count(const QString &message) const
    {
        return int(std::count_if(reports.begin(), reports.end(),
                                 [&](const Report &r) { return r.message == message; }));
    }

    TestFolder folder;
    std::unique_ptr<TSPIs> spis;
    std::vector<Report> reports;
};

// The pixels of a graphic as 32-bit colours.
QImage rgb(const QImage &image)
{
    return image.convertToFormat(QImage::Format_RGB32);
}
} // namespace

TEST_F(SpiGraphics, AMacBinaryHeaderIsSkippedOnlyWhenTheCollectionSaysSo)
{
    const QByteArray picture = TestPictureFile(MakeDib(PatternImage(6, 4), 24));
    const QString path = file("mac.tsp", QByteArray(128, 'M') + picture);
    TSPIGraphic graphic;
    record(graphic);
    graphic.LoadFromFile(path);
    EXPECT_EQ(graphic.Width(), 6);
    EXPECT_EQ(count("Loading by [good.spi]"), 2);

    // The same from memory, used in place.
    QByteArray bytes = QByteArray(128, 'M') + picture;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    buffer.seek(50); // a memory stream is read from its start
    TSPIGraphic fromMemory;
    fromMemory.LoadFromStreamWithName(buffer, "mac.tsp");
    EXPECT_EQ(rgb(fromMemory.ToImage()), PatternImage(6, 4));

    spis->MacBinary = false;
    reports.clear();
    try {
        graphic.LoadFromFile(path);
        ADD_FAILURE() << "decoded";
    } catch (const EInvalidGraphic &e) {
        EXPECT_EQ(e.Message, QStringLiteral("Susie Plugins could not decode"));
    }
    EXPECT_EQ(count("Loading by [good.spi]"), 1);
    EXPECT_EQ(reports.back(),
              (Report{TProgressStage::psEnding, 100, "Loaded Graphic by Susie Plugin"}));
    EXPECT_TRUE(graphic.Empty());
    EXPECT_EQ(graphic.Data(), nullptr);
}

TEST_F(SpiGraphics, MetricsFollowTheReturnedHeader)
{
    struct Case {
        const char *what;
        TestDib dib;
        int width, height;
        uint32_t colors, infoSize, imageSize;
        qsizetype palette;
        bool copyPalette;
    } cases[] = {
        {"8 bits, used colours 0", MakeDib(PatternImage(7, 3, 200), 8), 7, 3, 256, 1064, 24, 256,
         false},
        {"8 bits, 12 used", MakeDib(PatternImage(7, 3, 12), 8, false, 12), 7, 3, 12, 88, 24, 12,
         false},
        {"24 bits", MakeDib(PatternImage(5, 3), 24), 5, 3, 0, 40, 48, 0, false},
        {"1 bit, 33 x 10", MakeDib(PatternImage(33, 10, 2), 1), 33, 10, 2, 48, 80, 2, false},
        {"top-down", MakeDib(PatternImage(5, 3), 24, true), 5, -3, 0, 40, 48, 0, false},
        {"4 bits", MakeDib(PatternImage(9, 2, 16), 4), 9, 2, 16, 104, 16, 16, true},
        {"V5 header", MakeDib(PatternImage(5, 3), 24, false, 0, 124), 5, 3, 0, 124, 48, 0, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TSPIGraphic graphic;
        graphic.LoadFromFile(file("m.tsp", TestPictureFile(c.dib)));
        EXPECT_FALSE(graphic.MetricsValid()); // computed on the first query
        EXPECT_EQ(graphic.Width(), c.width);
        EXPECT_TRUE(graphic.MetricsValid());
        EXPECT_EQ(graphic.Height(), c.height);
        EXPECT_EQ(graphic.ColorCount(), c.colors);
        EXPECT_EQ(graphic.InfoSize(), c.infoSize);
        EXPECT_EQ(graphic.ImageSize(), c.imageSize);
        EXPECT_EQ(graphic.Palette().size(), c.palette);
        EXPECT_EQ(graphic.CopyPaletteWanted(), c.copyPalette);
        QFile::remove(folder.path() + "/m.tsp");
    }
}

TEST_F(SpiGraphics, SavedAsBmpAndDrawnTheDecodedPixelsStayTheSame)
{
    struct Case {
        const char *what;
        QImage picture;
        int bits;
        bool topDown;
        uint32_t header;
    } cases[] = {
        {"1 bit", PatternImage(33, 10, 2), 1, false, 40},
        {"4 bits", PatternImage(13, 7, 16), 4, false, 40},
        {"8 bits", PatternImage(17, 9, 256), 8, false, 40},
        {"8 bits top-down", PatternImage(17, 9, 100), 8, true, 40},
        {"16 bits", PatternImage(11, 6), 16, false, 40},
        {"24 bits", PatternImage(19, 5), 24, false, 40},
        {"24 bits top-down", PatternImage(19, 5), 24, true, 40},
        {"32 bits", PatternImage(8, 8), 32, false, 40},
        {"24 bits, V5 header", PatternImage(10, 4), 24, false, 124},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QImage expected = rgb(c.picture);
        TSPIGraphic graphic;
        graphic.LoadFromFile(
            file("r.tsp", TestPictureFile(MakeDib(c.picture, c.bits, c.topDown, 0, c.header))));
        QBuffer bmp;
        bmp.open(QIODevice::ReadWrite);
        graphic.SaveToStream(bmp);
        EXPECT_EQ(bmp.size(), 14 + graphic.InfoSize() + graphic.ImageSize());
        bmp.seek(0);
        TBitmap reloaded;
        reloaded.LoadFromStream(bmp);
        EXPECT_EQ(rgb(reloaded.Image()), expected);
        EXPECT_EQ(rgb(graphic.ToImage()), expected);
        // Converted directly or through the BMP: what the plain reader makes of the BMP, to
        // the format and the colour table.
        std::unique_ptr<TGraphic> converted = graphic.ToBitmap(BitmapClass());
        EXPECT_EQ(rgb(converted->ToImage()), expected);
        EXPECT_EQ(converted->ToImage().format(), reloaded.Image().format());
        EXPECT_EQ(converted->ToImage().colorTable(), reloaded.Image().colorTable());
        EXPECT_EQ(converted->ToImage(), reloaded.Image());
        TSPIBitmap loaded;
        loaded.LoadFromFile(folder.path() + "/r.tsp");
        EXPECT_EQ(loaded.Image(), reloaded.Image());
        EXPECT_FALSE(graphic.Empty()); // ToBitmap keeps the picture
        QFile::remove(folder.path() + "/r.tsp");
    }
}

TEST_F(SpiGraphics, WhatAPluginReturnsIsCheckedBeforeItIsReadAndFreedWhenRefused)
{
    const TestDib good8 = MakeDib(PatternImage(8, 8, 256), 8);
    const TestDib good24 = MakeDib(PatternImage(8, 8), 24);
    const auto withHeader = [](TestDib dib, int offset, uint32_t value) {
        char raw[4];
        qToLittleEndian(value, raw);
        dib.info.replace(offset, 4, QByteArray(raw, 4));
        return dib;
    };
    const auto withBitCount = [](TestDib dib, uint16_t bits) {
        char raw[2];
        qToLittleEndian(bits, raw);
        dib.info.replace(14, 2, QByteArray(raw, 2));
        return dib;
    };
    struct Case {
        const char *what;
        TestDib dib;
    } cases[] = {
        {"info block shorter than a header", {good24.info.left(30), good24.bits}},
        {"colour table cut short", {good8.info.left(40 + 4 * 16), good8.bits}},
        {"pixel block cut short", {good24.info, good24.bits.left(good24.bits.size() - 1)}},
        {"header size beyond its block", withHeader(good24, 0, 4000)},
        {"header size below 40", withHeader(good24, 0, 12)},
        {"zero width", withHeader(good24, 4, 0)},
        {"negative width", withHeader(good24, 4, uint32_t(-8))},
        {"zero height", withHeader(good24, 8, 0)},
        {"huge height", withHeader(good24, 8, 0x7FFFFFFF)},
        {"bit count 7", withBitCount(good24, 7)},
        {"bit count 0", withBitCount(good24, 0)},
        {"17 colours for 4 bits", withHeader(MakeDib(PatternImage(8, 8, 16), 4), 32, 17)},
        {"huge colour count", withHeader(good24, 32, 0x40000000)},
        {"run-length compressed", withHeader(good8, 16, BI_RLE8)},
        // Found by fuzz_spi_dib: the masks would be read past a 48-byte header's block.
        {"bit fields in a 48-byte header",
         {withHeader(withHeader(MakeDib(PatternImage(2, 1), 32), 16, BI_BITFIELDS), 0, 48).info +
              QByteArray(8, '\0'),
          QByteArray(8, '\0')}},
        {"empty blocks", {QByteArray(), QByteArray()}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const uint64_t allocated = LocalAllocCount(), freed = LocalFreeCount();
        {
            TSPIGraphic graphic;
            EXPECT_THROW(graphic.LoadFromFile(file("lie.tsp", TestPictureFile(c.dib))),
                         EInvalidGraphic);
            EXPECT_TRUE(graphic.Empty());
        }
        EXPECT_GT(LocalAllocCount(), allocated);
        EXPECT_EQ(LocalAllocCount() - allocated, LocalFreeCount() - freed);
        QFile::remove(folder.path() + "/lie.tsp");
    }
    // A refused answer is a failed attempt: the next plug-in still gets its turn.
    spis->Add(CreateSPI(folder.addPlugin("testspi_pic_a", "second.spi")));
    TSPIGraphic graphic;
    graphic.LoadFromFile(file("ok.tsp", TestPictureFile(good24)));
    EXPECT_EQ(graphic.Width(), 8);
}

TEST_F(SpiGraphics, ErrorsOfTheProgressHandlerStopThePluginAndPassOnAfterItReturned)
{
    const QString path = file("p.tsp", TestPictureFile(MakeDib(PatternImage(8, 8), 24), 0, 10));
    int pluginReports = 0;
    TSPIGraphic graphic;
    graphic.OnProgress = [&](TGraphic *, TProgressStage stage, int, bool, const QRect &,
                             const QString &msg) {
        if (stage == TProgressStage::psRunning && msg.isEmpty() && ++pluginReports == 2)
            throw EInOutError("disk gone");
    };
    const uint64_t allocated = LocalAllocCount(), freed = LocalFreeCount();
    try {
        graphic.LoadFromFile(path);
        ADD_FAILURE() << "decoded";
    } catch (const EInOutError &e) {
        EXPECT_EQ(e.Message, QStringLiteral("disk gone"));
    }
    EXPECT_EQ(pluginReports, 2); // the plug-in stopped at once, and no other offset was tried
    EXPECT_TRUE(graphic.Empty());
    EXPECT_EQ(LocalAllocCount() - allocated, LocalFreeCount() - freed);

    // A user abort asks the plug-in to stop; the attempt yields nothing.
    pluginReports = 0;
    graphic.OnProgress = [&](TGraphic *, TProgressStage stage, int, bool, const QRect &,
                             const QString &msg) {
        if (stage == TProgressStage::psRunning && msg.isEmpty()) {
            ++pluginReports;
            throw EAbort();
        }
    };
    EXPECT_THROW(graphic.LoadFromFile(path), EInvalidGraphic);
    EXPECT_EQ(pluginReports, 1); // it stopped at once; at offset 128 there is no picture
}

TEST_F(SpiGraphics, TheLoaderReportsOneLoadInOrder)
{
    const QString path = file("seq.tsp", TestPictureFile(MakeDib(PatternImage(8, 6), 24), 0, 4));
    TSPIBitmap bitmap;
    QRect endRect;
    bitmap.OnProgress = [&](TGraphic *sender, TProgressStage stage, int percent, bool,
                            const QRect &r, const QString &msg) {
        EXPECT_EQ(sender, &bitmap);
        reports.push_back({stage, percent, msg});
        endRect = r;
    };
    bitmap.LoadFromFile(path);
    using S = TProgressStage;
    const std::vector<Report> expected{
        {S::psStarting, 0, "Loading Graphic by Susie Plugin"},
        {S::psRunning, 1, "Seeking enabled Susie Plugins"},
        {S::psRunning, 1, "Loading by [good.spi]"},
        {S::psRunning, 2, ""},
        {S::psRunning, 26, ""},
        {S::psRunning, 51, ""},
        {S::psRunning, 75, ""},
        {S::psRunning, 99, ""},
        {S::psEnding, 100, "Loaded Graphic"},
    };
    EXPECT_EQ(reports, expected);
    EXPECT_EQ(endRect, QRect(0, 0, 8, 6));
    EXPECT_EQ(rgb(bitmap.Image()), PatternImage(8, 6));

    // A failed load keeps the picture and still ends with the report, at the size kept.
    reports.clear();
    EXPECT_THROW(bitmap.LoadFromFile(file("none.tsp", "not a picture")), EInvalidGraphic);
    EXPECT_EQ(reports.back(), (Report{S::psEnding, 100, "Loaded Graphic"}));
    EXPECT_EQ(endRect, QRect(0, 0, 8, 6));
    EXPECT_EQ(bitmap.Width(), 8);
}

TEST_F(SpiGraphics, TheExtensionDecidesWhoReadsFirst)
{
    QBuffer bmpBytes;
    bmpBytes.open(QIODevice::ReadWrite);
    TBitmap plain;
    plain.SetImage(PatternImage(4, 4));
    plain.SaveToStream(bmpBytes);
    const QByteArray tsp = TestPictureFile(MakeDib(PatternImage(5, 5), 24));
    const auto load = [&](const QString &path) {
        reports.clear();
        TSPIBitmap bitmap;
        record(bitmap);
        bitmap.LoadFromFile(path);
        return bitmap.Width();
    };
    // "bmp" in any case goes to the plain reader first; a BMP it rejects goes to the plug-ins.
    EXPECT_EQ(load(file("plain.bmp", bmpBytes.data())), 4);
    EXPECT_EQ(count("Loading Graphic by Susie Plugin"), 0);
    EXPECT_EQ(load(file("plugin.BmP", tsp)), 5);
    EXPECT_EQ(count("Loading Graphic by Susie Plugin"), 1);
    // Anything else, no extension included, goes to the plug-ins first.
    EXPECT_EQ(load(file("picture.dat", bmpBytes.data())), 4);
    EXPECT_EQ(count("Loading Graphic by Susie Plugin"), 1);
    EXPECT_EQ(load(file("noextension", tsp)), 5);

    // Once a plug-in declares "jpg", a picture container loads JPEG files through TSPIBitmap,
    // which does not use the program's own JPEG decoder.
    QBuffer jpeg;
    jpeg.open(QIODevice::ReadWrite);
    PatternImage(6, 6).save(&jpeg, "JPG");
    const QString jpegPath = file("photo.jpg", jpeg.data());
    TPicture before;
    before.LoadFromFile(jpegPath);
    EXPECT_EQ(before.Width(), 6);
    spis->Add(CreateSPI(folder.addPlugin("testspi_jpg_b", "jpg.spi")));
    EXPECT_EQ(FindGraphicClass("JPG"), &SPIBitmapClass());
    TPicture after;
    try {
        after.LoadFromFile(jpegPath);
        ADD_FAILURE() << "decoded";
    } catch (const EInvalidGraphic &e) {
        EXPECT_EQ(e.Message, QStringLiteral("Susie Plugins could not decode"));
    }
    after.LoadFromFile(file("made-by-plugin.jpg", tsp));
    EXPECT_EQ(after.Width(), 5);
    EXPECT_NE(dynamic_cast<TSPIBitmap *>(after.Graphic()), nullptr);

    // Without a collection only the plain reader can succeed.
    spis.reset();
    EXPECT_EQ(load(file("alone.bmp", bmpBytes.data())), 4);
    EXPECT_THROW(load(file("alone.tsp", tsp)), EInvalidGraphic);
}

TEST_F(SpiGraphics, AFourBitPictureKeepsItsPaletteAndThePluginMemoryIsFreed)
{
    const QImage picture = PatternImage(9, 5, 16);
    const QString path = file("four.tsp", TestPictureFile(MakeDib(picture, 4)));
    const uint64_t allocated = LocalAllocCount(), freed = LocalFreeCount();
    TSPIBitmap bitmap;
    bitmap.LoadFromFile(path);
    EXPECT_EQ(bitmap.Palette(), picture.colorTable());
    EXPECT_EQ(rgb(bitmap.Image()), rgb(picture));
    EXPECT_EQ(LocalAllocCount() - allocated, 3u); // text information, header, pixels
    EXPECT_EQ(LocalFreeCount() - freed, 3u);

    // Assign converts and leaves the source its picture.
    TSPIGraphic graphic;
    graphic.LoadFromFile(path);
    TSPIBitmap copy;
    copy.Assign(graphic);
    EXPECT_EQ(copy.Palette(), picture.colorTable());
    EXPECT_FALSE(graphic.Empty());

    // Writing the stream loader changes nothing; it stays the bitmap's own.
    bool replaced = false;
    copy.SetOnLoadFromStreamWithName([&](QIODevice &, const QString &) { replaced = true; });
    QFile stream(path);
    ASSERT_TRUE(stream.open(QIODevice::ReadOnly));
    TSPIBitmap fromStream;
    fromStream.SetOnLoadFromStreamWithName([&](QIODevice &, const QString &) { replaced = true; });
    fromStream.OnLoadFromStreamWithName()(stream, QStringLiteral("four.tsp"));
    EXPECT_FALSE(replaced);
    EXPECT_EQ(fromStream.Width(), 9); // a file stream is copied whole
}
