// Windows metafiles written word by word: the header's size rules, and each record kind
// drawn into a 100 x 100 picture (the window 0..100 fills it, one unit per pixel).
#include "platform/graphics/GraphicsErrors.h"
#include "platform/graphics/Picture.h"
#include "platform/graphics/metafile/Metafile.h"
#include "tests/test_metafile_support.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace
{
constexpr QRgb Red = qRgb(255, 0, 0), Green = qRgb(0, 255, 0), Blue = qRgb(0, 0, 255),
               Black = qRgb(0, 0, 0), White = qRgb(255, 255, 255);

enum : quint16 {
    SetBkColor = 0x0201,
    SetBkMode = 0x0102,
    SetPolyFillMode = 0x0106,
    SetTextColor = 0x0209,
    SetTextAlign = 0x012E,
    SetWindowOrg = 0x020B,
    SetWindowExt = 0x020C,
    LineTo = 0x0213,
    MoveTo = 0x0214,
    ExcludeClipRect = 0x0415,
    IntersectClipRect = 0x0416,
    Arc = 0x0817,
    Ellipse = 0x0418,
    Pie = 0x081A,
    Rectangle = 0x041B,
    RoundRect = 0x061C,
    PatBlt = 0x061D,
    SaveDC = 0x001E,
    TextOut = 0x0521,
    Polygon = 0x0324,
    Polyline = 0x0325,
    RestoreDC = 0x0127,
    SelectObject = 0x012D,
    Chord = 0x0830,
    ExtTextOut = 0x0A32,
    PolyPolygon = 0x0538,
    DibBitBlt = 0x0940,
    StretchDib = 0x0F43,
    DeleteObject = 0x01F0,
    CreatePen = 0x02FA,
    CreateFont = 0x02FB,
    CreateBrush = 0x02FC,
};

// A writer whose window is 0..100, with a solid brush of that colour and no pen selected.
WmfWriter canvas(QRgb brush = Red)
{
    WmfWriter w;
    w.Record(SetWindowOrg, {0, 0}).Record(SetWindowExt, {100, 100});
    w.Record(CreateBrush, {0, ColorLow(brush), ColorHigh(brush), 0}).Record(SelectObject, {0});
    w.Record(CreatePen, {5, 0, 0, 0, 0}).Record(SelectObject, {1});
    return w;
}

// A 2 x 2 24-bit bitmap: top row red, white; bottom row blue, green.
QByteArray dib2x2()
{
    QByteArray info = Words({40, 0, 2, 0, 2, 0, 1, 24, 0, 0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    const QByteArray rows("\xff\x00\x00\x00\xff\x00\x00\x00"  // bottom: blue, green (BGR)
                          "\x00\x00\xff\xff\xff\xff\x00\x00", // top: red, white
                          16);
    return info + rows;
}

struct Row {
    const char *name;
    std::function<void(WmfWriter &)> records;
    std::function<void(const QImage &, const std::string &)> check;
};

std::function<void(const QImage &, const std::string &)> probes(std::vector<Probe> p)
{
    return [p](const QImage &image, const std::string &what) { ExpectPixels(image, p, what); };
}

} // namespace

TEST(WmfHeader, SizesAtNinetySixDpiAndDamagedHeadersFail)
{
    const WmfWriter w = canvas();
    struct SizeRow {
        const char *name;
        QByteArray bytes;
        QSize size;
    } rows[] = {
        {"plain: the window extent", canvas().Plain(), {100, 100}},
        {"placeable: one inch of 1440 units", w.Placeable(QRect(0, 0, 1440, 720), 1440), {96, 48}},
        {"placeable: 1000 units per inch",
         w.Placeable(QRect(-500, 0, 2000, 1000), 1000),
         {192, 96}},
    };
    for (const SizeRow &r : rows) {
        QByteArray copy = r.bytes;
        QBuffer b(&copy);
        b.open(QIODevice::ReadOnly);
        TMetafile m;
        m.LoadFromStream(b);
        EXPECT_EQ(QSize(m.Width(), m.Height()), r.size) << r.name;
        EXPECT_FALSE(m.Enhanced()) << r.name;
    }

    QByteArray noInch = w.Placeable(QRect(0, 0, 100, 100), 0);
    QByteArray badHeader = canvas().Plain();
    badHeader[2] = 7; // header words must be 9
    WmfWriter noWindow;
    noWindow.Record(Rectangle, {10, 10, 0, 0});
    const QByteArray refused[] = {QByteArray(),
                                  QByteArray("GIF89a"),
                                  noInch,
                                  badHeader,
                                  canvas().Plain().left(10),
                                  noWindow.Plain(),
                                  w.Placeable(QRect(0, 0, 0, 100), 1440).left(30)};
    for (const QByteArray &bytes : refused) {
        QByteArray copy = bytes;
        QBuffer b(&copy);
        b.open(QIODevice::ReadOnly);
        TMetafile m;
        EXPECT_THROW(m.LoadFromStream(b), EInvalidGraphic) << bytes.toHex().left(60).data();
        EXPECT_TRUE(m.Empty());
    }
}

TEST(WmfHeader, PictureContainerLoadsByExtensionAndKeepsThePictureOnFailure)
{
    QTemporaryDir dir;
    const QString good = dir.filePath("a.WMF"), bad = dir.filePath("b.wmf");
    QFile f(good);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    WmfWriter drawing = canvas();
    drawing.Record(SetWindowExt, {1440, 1440}).Record(Rectangle, {1440, 720, 0, 0});
    f.write(drawing.Placeable(QRect(0, 0, 1440, 1440), 1440));
    f.close();
    QFile g(bad);
    ASSERT_TRUE(g.open(QIODevice::WriteOnly));
    g.write("not a metafile at all");
    g.close();
    TPicture picture;
    picture.LoadFromFile(good);
    ASSERT_NE(dynamic_cast<TMetafile *>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 96);
    EXPECT_THROW(picture.LoadFromFile(bad), EInvalidGraphic);
    EXPECT_EQ(picture.Width(), 96);
    // Drawn at its size and stretched, as the thumbnail and the preview draw it.
    const QImage own = picture.Graphic()->ToImage();
    ASSERT_EQ(own.size(), QSize(96, 96));
    EXPECT_EQ(own.pixel(20, 48), qRgba(255, 0, 0, 255));
    EXPECT_EQ(qAlpha(own.pixel(70, 48)), 0); // a metafile draws only where its records draw
    const QImage half = RenderMetafile(drawing.Placeable(QRect(0, 0, 1440, 1440), 1440), {50, 50});
    ExpectPixels(half, {{10, 25, Red}, {40, 25, White}}, "stretched");
}

TEST(WmfRecords, ShapesPensAndBrushes)
{
    const Row rows[] = {
        {"rectangle",
         [](WmfWriter &w) {
             w.Record(Rectangle, {40, 50, 10, 10});
         },
         probes({{20, 20, Red}, {49, 39, Red}, {5, 5, White}, {60, 30, White}, {20, 45, White}})},
        {"ellipse",
         [](WmfWriter &w) {
             w.Record(Ellipse, {90, 90, 10, 10});
         },
         probes({{50, 50, Red}, {50, 12, Red}, {13, 13, White}, {87, 87, White}})},
        {"round rectangle",
         [](WmfWriter &w) {
             w.Record(RoundRect, {40, 40, 90, 90, 10, 10});
         },
         probes({{50, 50, Red}, {50, 11, Red}, {11, 11, White}, {88, 88, White}})},
        {"polygon",
         [](WmfWriter &w) {
             w.Record(Polygon, {3, 10, 10, 90, 10, 10, 90});
         },
         probes({{20, 20, Red}, {80, 80, White}, {60, 15, Red}})},
        {"poly-polygon, alternate: the overlap stays empty",
         [](WmfWriter &w) {
             w.Record(PolyPolygon,
                      {2, 4, 4, 10, 10, 60, 10, 60, 60, 10, 60, 40, 40, 90, 40, 90, 90, 40, 90});
         },
         probes({{20, 20, Red}, {50, 50, White}, {80, 80, Red}})},
        {"poly-polygon, winding: the overlap is filled",
         [](WmfWriter &w) {
             w.Record(SetPolyFillMode, {2});
             w.Record(PolyPolygon,
                      {2, 4, 4, 10, 10, 60, 10, 60, 60, 10, 60, 40, 40, 90, 40, 90, 90, 40, 90});
         },
         probes({{20, 20, Red}, {50, 50, Red}, {80, 80, Red}})},
        {"move-to, line-to and polyline with a one-pixel pen",
         [](WmfWriter &w) {
             w.Record(CreatePen, {0, 0, 0, ColorLow(Blue), ColorHigh(Blue)})
                 .Record(SelectObject, {2});
             w.Record(MoveTo, {50, 10}).Record(LineTo, {50, 90});
             w.Record(Polyline, {2, 30, 10, 30, 90});
         },
         probes({{50, 50, Blue}, {50, 52, White}, {30, 30, Blue}, {32, 30, White}})},
        {"a wide pen",
         [](WmfWriter &w) {
             w.Record(CreatePen, {0, 10, 0, ColorLow(Green), ColorHigh(Green)})
                 .Record(SelectObject, {2});
             w.Record(MoveTo, {50, 10}).Record(LineTo, {50, 90});
         },
         probes({{50, 47, Green}, {50, 53, Green}, {50, 58, White}})},
        {"a dashed pen: 18 on, 6 off",
         [](WmfWriter &w) {
             w.Record(CreatePen, {1, 0, 0, 0, 0}).Record(SelectObject, {2});
             w.Record(MoveTo, {50, 0}).Record(LineTo, {50, 100});
         },
         probes({{5, 50, Black}, {21, 50, White}, {30, 50, Black}})},
        {"pie: a quarter counterclockwise from three to twelve o'clock",
         [](WmfWriter &w) {
             w.Record(Pie, {0, 50, 50, 100, 100, 100, 0, 0});
         },
         probes({{70, 30, Red}, {30, 30, White}, {70, 70, White}, {30, 70, White}})},
        {"chord: the segment beyond the chord",
         [](WmfWriter &w) {
             w.Record(Chord, {0, 50, 50, 100, 100, 100, 0, 0});
         },
         probes({{80, 20, Red}, {70, 30, White}, {30, 70, White}})},
        {"arc: the outline only",
         [](WmfWriter &w) {
             w.Record(CreatePen, {0, 0, 0, 0, 0}).Record(SelectObject, {2});
             w.Record(Arc, {0, 50, 50, 100, 100, 100, 0, 0});
         },
         [](const QImage &image, const std::string &what) {
             EXPECT_GT(InkedPixels(image, QRect(52, 0, 48, 48)), 40) << what;
             EXPECT_EQ(InkedPixels(image, QRect(0, 52, 100, 48)), 0) << what;
             EXPECT_EQ(InkedPixels(image, QRect(0, 0, 48, 48)), 0) << what;
             ExpectPixels(image, {{70, 30, White}}, what);
         }},
        {"hatched brush over a transparent background",
         [](WmfWriter &w) {
             w.Record(SetBkMode, {1});
             w.Record(CreateBrush, {2, ColorLow(Blue), ColorHigh(Blue), 0})
                 .Record(SelectObject, {2});
             w.Record(Rectangle, {90, 90, 10, 10});
         },
         [](const QImage &image, const std::string &what) {
             int blue = 0, white = 0;
             for (int y = 10; y < 90; ++y) {
                 blue += image.pixel(50, y) == Blue;
                 white += image.pixel(50, y) == White;
             }
             EXPECT_GT(blue, 4) << what;
             EXPECT_GT(white, 40) << what;
             EXPECT_EQ(blue + white, 80) << what;
             // horizontal lines: a row is all hatch or all gap
             for (int y = 10; y < 90; ++y)
                 EXPECT_EQ(image.pixel(20, y), image.pixel(70, y)) << what << " row " << y;
         }},
        {"hatched brush over an opaque background",
         [](WmfWriter &w) {
             w.Record(SetBkMode, {2}).Record(SetBkColor, {ColorLow(Green), ColorHigh(Green)});
             w.Record(CreateBrush, {2, ColorLow(Blue), ColorHigh(Blue), 1})
                 .Record(SelectObject, {2});
             w.Record(Rectangle, {90, 90, 10, 10});
         },
         [](const QImage &image, const std::string &what) {
             int blue = 0, green = 0;
             for (int x = 10; x < 90; ++x) {
                 blue += image.pixel(x, 50) == Blue;
                 green += image.pixel(x, 50) == Green;
             }
             EXPECT_GT(blue, 4) << what;
             EXPECT_EQ(blue + green, 80) << what;
         }},
        {"a null brush leaves the inside",
         [](WmfWriter &w) {
             w.Record(CreateBrush, {1, 0, 0, 0}).Record(SelectObject, {2});
             w.Record(CreatePen, {0, 0, 0, 0, 0}).Record(SelectObject, {3});
             w.Record(Rectangle, {90, 90, 10, 10});
         },
         probes({{50, 50, White}, {10, 50, Black}})},
        {"patblt paints with the brush",
         [](WmfWriter &w) {
             w.Record(PatBlt, {0x0021, 0x00F0, 50, 50, 0, 0});
         },
         probes({{25, 25, Red}, {75, 75, White}})},
    };
    for (const Row &r : rows) {
        WmfWriter w = canvas();
        r.records(w);
        r.check(RenderMetafile(w.Plain(), {100, 100}), r.name);
    }
}

TEST(WmfRecords, StateMappingClippingBitmapsAndText)
{
    const QByteArray jis("\x93\xfa\x96\x7b", 4); // 日本 in CP932
    const Row rows[] = {
        {"save and restore bring the brush back",
         [](WmfWriter &w) {
             w.Record(SaveDC, {});
             w.Record(CreateBrush, {0, ColorLow(Blue), ColorHigh(Blue), 0})
                 .Record(SelectObject, {2});
             w.Record(RestoreDC, {-1});
             w.Record(Rectangle, {90, 90, 10, 10});
         },
         probes({{50, 50, Red}})},
        {"a deleted object's slot is taken by the next new one",
         [](WmfWriter &w) {
             w.Record(DeleteObject, {0});
             w.Record(CreateBrush, {0, ColorLow(Green), ColorHigh(Green), 0})
                 .Record(SelectObject, {0});
             w.Record(Rectangle, {90, 90, 10, 10});
         },
         probes({{50, 50, Green}})},
        {"window origin and extent map onto the picture",
         [](WmfWriter &w) {
             w.Record(SetWindowOrg, {100, 100}).Record(SetWindowExt, {200, 200});
             w.Record(Rectangle, {200, 200, 100, 100});
         },
         probes({{25, 25, Red}, {75, 75, White}, {75, 25, White}})},
        {"a negative window extent turns the picture over",
         [](WmfWriter &w) {
             w.Record(SetWindowOrg, {100, 0}).Record(SetWindowExt, {-100, 100});
             w.Record(Rectangle, {50, 50, 0, 0});
         },
         probes({{25, 75, Red}, {25, 25, White}})},
        {"intersect clip rectangle",
         [](WmfWriter &w) {
             w.Record(IntersectClipRect, {100, 50, 0, 0});
             w.Record(Rectangle, {90, 90, 10, 10});
         },
         probes({{30, 50, Red}, {70, 50, White}})},
        {"exclude clip rectangle, restored by RestoreDC",
         [](WmfWriter &w) {
             w.Record(SaveDC, {});
             w.Record(ExcludeClipRect, {60, 60, 40, 40});
             w.Record(Rectangle, {90, 90, 10, 10});
             w.Record(RestoreDC, {-1});
             w.Record(CreateBrush, {0, ColorLow(Blue), ColorHigh(Blue), 0})
                 .Record(SelectObject, {2});
             w.Record(Rectangle, {100, 100, 80, 80});
         },
         probes({{20, 20, Red}, {50, 50, White}, {90, 90, Blue}, {85, 85, Blue}})},
        {"StretchDIB stretches the bitmap, top row first",
         [](WmfWriter &w) {
             w.Record(StretchDib,
                      Words({0x0020, 0x00CC, 0, 2, 2, 0, 0, 100, 100, 0, 0}) + dib2x2());
         },
         probes({{10, 10, Red}, {90, 10, White}, {10, 90, Blue}, {90, 90, Green}})},
        {"DibBitBlt copies the bitmap unscaled",
         [](WmfWriter &w) {
             w.Record(DibBitBlt, Words({0x0020, 0x00CC, 0, 0, 2, 2, 20, 30}) + dib2x2());
         },
         probes(
             {{30, 20, Red}, {31, 20, White}, {30, 21, Blue}, {31, 21, Green}, {32, 22, White}})},
        {"TextOut draws in the text colour below the reference point",
         [](WmfWriter &w) {
             w.Record(SetBkMode, {1});
             w.Record(SetTextColor, {ColorLow(Blue), ColorHigh(Blue)});
             w.Record(CreateFont, Words({-30, 0, 0, 0, 700, 0, 0, 0, 0}) + QByteArray("Sans", 5));
             w.Record(SelectObject, {2});
             w.Record(TextOut, Words({2}) + QByteArray("HI") + Words({20, 10}));
         },
         [](const QImage &image, const std::string &what) {
             EXPECT_GT(InkedPixels(image, QRect(10, 20, 40, 30)), 60) << what;
             EXPECT_EQ(InkedPixels(image, QRect(0, 0, 100, 19)), 0) << what;
             EXPECT_EQ(InkedPixels(image, QRect(60, 0, 40, 100)), 0) << what;
             int blue = 0;
             for (int y = 20; y < 50; ++y)
                 for (int x = 10; x < 50; ++x)
                     blue += image.pixel(x, y) == Blue;
             EXPECT_GT(blue, 20) << what;
         }},
        {"ExtTextOut: Shift-JIS text, centred on the reference point, opaque box",
         [jis](WmfWriter &w) {
             w.Record(SetBkColor, {ColorLow(Green), ColorHigh(Green)});
             w.Record(SetBkMode, {1});
             w.Record(SetTextAlign, {6 | 24}); // centre, baseline
             w.Record(CreateFont,
                      Words({-40, 0, 0, 0, 400, 0, 128 << 8, 0, 0}) + QByteArray("MS Gothic", 10));
             w.Record(SelectObject, {2});
             w.Record(ExtTextOut, Words({60, 50, 4, 2, 0, 70, 100, 100}) + jis);
         },
         [](const QImage &image, const std::string &what) {
             ExpectPixels(image, {{5, 80, Green}, {95, 95, Green}, {5, 65, White}}, what);
             const int left = InkedPixels(image, QRect(10, 20, 40, 40));
             const int right = InkedPixels(image, QRect(50, 20, 40, 40));
             EXPECT_GT(left, 80) << what;
             EXPECT_GT(right, 80) << what; // two wide characters, either side of x = 50
             EXPECT_EQ(InkedPixels(image, QRect(0, 0, 100, 12)), 0) << what;
         }},
    };
    for (const Row &r : rows) {
        WmfWriter w = canvas();
        r.records(w);
        r.check(RenderMetafile(w.Plain(), {100, 100}), r.name);
    }
}
