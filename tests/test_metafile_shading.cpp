// Gradient fills and monochrome pattern brushes, written record by record (libEMF offers
// neither), and the same record kinds in files written by gnuplot, Inkscape and fig2dev
// (tests/data/metafiles/producers, whose README says how each was made); and two smaller
// record kinds such programs may write, region painting and SetDIBitsToDevice.
#include "tests/test_metafile_support.h"

#include <QFile>
#include <cmath>
#include <gtest/gtest.h>

namespace
{
constexpr QRgb Red = qRgb(255, 0, 0), Green = qRgb(0, 255, 0), Blue = qRgb(0, 0, 255),
               Black = qRgb(0, 0, 0), White = qRgb(255, 255, 255);

struct Corner {
    qint64 x, y;
    QRgb color;
};

QByteArray field(qint64 v)
{
    return Fields({v});
}

// A gradient fill record: the corners (colours as 16-bit channels whose high byte is the
// 8-bit one) and the groups of corner numbers; rectangle modes carry their padding.
QByteArray gradient(quint32 mode, const std::vector<Corner> &corners,
                    const std::vector<std::vector<qint64>> &groups, qint64 claimCorners = -1,
                    qint64 claimGroups = -1)
{
    QByteArray b = Fields({0, 0, 99, 99});
    b += field(claimCorners >= 0 ? claimCorners : qint64(corners.size()));
    b += field(claimGroups >= 0 ? claimGroups : qint64(groups.size()));
    b += field(mode);
    for (const Corner &c : corners)
        b += Fields({c.x, c.y, (qRed(c.color) << 8) | (qint64(qGreen(c.color)) << 24),
                     qBlue(c.color) << 8});
    for (const auto &g : groups)
        for (qint64 i : g)
            b += field(i);
    if (mode < 2)
        b += QByteArray(4 * qsizetype(groups.size()), '\0');
    return EmfRecord(118, b);
}

// The colour GDI gives a pixel whose centre lies at t (0..1) from a to b.
QRgb between(QRgb a, QRgb b, double t)
{
    const auto mix = [t](int x, int y) { return (int(std::lround((x + (y - x) * t) * 256))) >> 8; };
    return qRgb(mix(qRed(a), qRed(b)), mix(qGreen(a), qGreen(b)), mix(qBlue(a), qBlue(b)));
}

// Each channel within one step of the wanted colour (the interpolation rounds once), or
// within the steps given.
void expectNear(const QImage &image, int x, int y, QRgb want, const std::string &what,
                int steps = 1)
{
    ASSERT_FALSE(image.isNull()) << what;
    const QRgb got = image.pixel(x, y);
    EXPECT_TRUE(std::abs(qRed(got) - qRed(want)) <= steps &&
                std::abs(qGreen(got) - qGreen(want)) <= steps &&
                std::abs(qBlue(got) - qBlue(want)) <= steps)
        << what << " at " << x << "," << y << ": got " << std::hex << (got & 0xFFFFFF) << " want "
        << (want & 0xFFFFFF);
}

QByteArray colorRecord(quint32 type, QRgb c)
{
    return EmfRecord(type, field(qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16)));
}

QByteArray emfRect(int l, int t, int r, int b)
{
    return EmfRecord(43, Fields({l, t, r, b}));
}

// An 8 x 8 1-bit bitmap (header and two colours) whose rows, top first, are the bytes given;
// rows are stored bottom-up as a positive height says.
QByteArray monoDib(QRgb color0, QRgb color1, const QByteArray &topDown, QByteArray *bits)
{
    bits->clear();
    for (int y = 7; y >= 0; --y)
        *bits += QByteArray(1, topDown[y]) + QByteArray(3, '\0');
    return Fields({40, 8, 8, 1 | (1 << 16), 0, 32, 0, 0, 2, 0}) +
           field(qBlue(color0) | (qGreen(color0) << 8) | (qRed(color0) << 16)) +
           field(qBlue(color1) | (qGreen(color1) << 8) | (qRed(color1) << 16));
}

// Rows of the test pattern, top first: the top row all 1 bits, then four 0 bits and four 1
// bits on each row.
const QByteArray Rows("\xFF\x0F\x0F\x0F\x0F\x0F\x0F\x0F", 8);

QByteArray emfPatternBrush(quint32 type, quint32 index, QRgb color0, QRgb color1)
{
    QByteArray bits;
    const QByteArray info = monoDib(color0, color1, Rows, &bits);
    return EmfRecord(type, Fields({index, 0, 32, info.size(), 32 + info.size(), bits.size()}) +
                               info + bits);
}

QImage producerFile(const char *name)
{
    QFile f(QStringLiteral(TOVELA_TEST_DATA "/metafiles/producers/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << name << " is missing";
        return {};
    }
    return RenderMetafile(f.readAll());
}
} // namespace

TEST(MetafileShading, GradientRectanglesAndTrianglesInterpolateAtPixelCentres)
{
    // Left to right over 0..50, top to bottom over 50..100 x 0..50, and a triangle below
    // with a red, a green and a blue corner.
    const QByteArray records =
        gradient(0, {{0, 0, Red}, {50, 50, Blue}}, {{0, 1}}) +
        gradient(1, {{50, 0, Green}, {100, 50, Black}}, {{0, 1}}) +
        gradient(2, {{0, 50, Red}, {100, 50, Green}, {0, 100, Blue}}, {{0, 1, 2}});
    const QImage image = RenderMetafile(EmfFile(records), {100, 100});
    for (int x : {0, 12, 25, 49})
        expectNear(image, x, 25, between(Red, Blue, (x + 0.5) / 50), "horizontal");
    for (int y : {0, 20, 49})
        expectNear(image, 75, y, between(Green, Black, (y + 0.5) / 50), "vertical");
    for (QPoint p : {QPoint(10, 60), QPoint(40, 70), QPoint(2, 97), QPoint(90, 50)}) {
        const double g = (p.x() + 0.5) / 100, b = (p.y() + 0.5 - 50) / 50;
        const auto mix = [&](int r, int gr, int bl) {
            return int(std::lround(((1 - g - b) * r + g * gr + b * bl) * 256)) >> 8;
        };
        expectNear(image, p.x(), p.y(), qRgb(mix(255, 0, 0), mix(0, 255, 0), mix(0, 0, 255)),
                   "triangle");
    }
    ExpectPixels(image, {{80, 90, White}, {60, 80, White}}, "outside the triangle");

    // Reversed corners run the colours the other way; a world transform that doubles maps
    // the rectangle like any shape.
    const QByteArray mapped =
        EmfRecord(35, Fields({0x40000000, 0, 0, 0x40000000, 0, 0})) + // 2, 0, 0, 2, 0, 0
        gradient(0, {{25, 0, Blue}, {0, 25, Red}}, {{0, 1}});
    const QImage doubled = RenderMetafile(EmfFile(mapped), {100, 100});
    for (int x : {0, 30, 49})
        expectNear(doubled, x, 40, between(Red, Blue, (x + 0.5) / 50), "doubled");
    ExpectPixels(doubled, {{55, 40, White}, {20, 55, White}}, "doubled");
}

TEST(MetafileShading, DamagedGradientRecordsDrawNothingAndPlayingGoesOn)
{
    const std::vector<Corner> blue = {{0, 0, Blue}, {50, 100, Blue}, {0, 100, Blue}};
    const QByteArray damaged =
        gradient(2, blue, {{0, 1, 3}}) +                 // a corner beyond the three
        gradient(0, blue, {{0, 0xFFFFFFFF}}) +           // the same for a rectangle
        gradient(2, blue, {{0, 1, 2}}, 0x10000000) +     // more corners than bytes
        gradient(2, blue, {{0, 1, 2}}, -1, 0x7FFFFFFF) + // more triangles than bytes
        gradient(7, blue, {{0, 1, 2}}) +                 // no such mode
        EmfRecord(118, Fields({0, 0, 99, 99, 3})) +      // cut short
        emfRect(50, 0, 100, 100);
    const QImage image =
        RenderMetafile(EmfFile(EmfRecord(39, Fields({1, 0, 0xFF, 0})) + EmfRecord(37, field(1)) +
                               EmfRecord(37, field(0x80000008)) + damaged),
                       {100, 100});
    ExpectPixels(image, {{10, 90, White}, {25, 50, White}, {75, 50, Red}}, "damaged");

    // Corners far outside the picture cost no more than the picture's own pixels.
    const qint64 far = 0x7FFFFFF0;
    const QImage huge = RenderMetafile(
        EmfFile(
            gradient(2, {{-far, -far, Green}, {far, -far, Green}, {0, far, Green}}, {{0, 1, 2}})),
        {100, 100});
    ExpectPixels(huge, {{0, 0, Green}, {50, 50, Green}, {99, 0, Green}}, "far corners");
}

TEST(MetafileShading, MonochromeBrushesTakeTextAndBackgroundColoursWhenTheyPaint)
{
    // EMF: 0 bits in the text colour, 1 bits in the background colour, whatever the DIB's
    // own colours (white, black) and the background mode; the colours set after the brush
    // was selected are the ones used. A 1-bit DIB pattern brush keeps its own colours.
    const QByteArray emf = emfPatternBrush(93, 1, White, Black) + EmfRecord(37, field(1)) +
                           EmfRecord(37, field(0x80000008)) + EmfRecord(18, field(1)) +
                           colorRecord(24, Red) + colorRecord(25, Blue) + emfRect(0, 0, 50, 50) +
                           colorRecord(24, Green) + colorRecord(25, Black) +
                           emfRect(50, 0, 100, 50) + emfPatternBrush(94, 2, Red, Green) +
                           EmfRecord(37, field(2)) + emfRect(0, 50, 100, 100);
    ExpectPixels(RenderMetafile(EmfFile(emf), {100, 100}),
                 {{1, 10, Red},
                  {5, 10, Blue},
                  {1, 8, Blue}, // the top row is all 1 bits
                  {51, 10, Green},
                  {53, 10, Black},
                  {1, 60, Red},
                  {5, 60, Green},
                  {1, 56, Green}},
                 "EMF brushes");

    // WMF: a BS_PATTERN brush of a 1-bit DIB and the older pattern brush of a 1-bit device
    // bitmap (rows top first, two bytes each) paint alike; a BS_DIBPATTERNPT brush keeps
    // its colours.
    QByteArray bits;
    const QByteArray info = monoDib(White, Black, Rows, &bits);
    const QByteArray ddb = Words({0, 8, 8, 2, 1 | (1 << 8), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}) + [] {
        QByteArray rows;
        for (char c : Rows)
            rows += QByteArray(1, c) + QByteArray(1, '\0');
        return rows;
    }();
    QByteArray colours;
    const QByteArray colourInfo = monoDib(Red, Green, Rows, &colours);
    WmfWriter w;
    w.Record(0x020B, {0, 0}).Record(0x020C, {100, 100});
    w.Record(0x02FA, {5, 0, 0, 0, 0}).Record(0x012D, {0}); // no pen, slot 0
    w.Record(0x0142, Words({3, 0}) + info + bits).Record(0x012D, {1});
    w.Record(0x0209, {ColorLow(Red), ColorHigh(Red)})
        .Record(0x0201, {ColorLow(Blue), ColorHigh(Blue)});
    w.Record(0x041B, {50, 50, 0, 0});
    w.Record(0x01F9, ddb).Record(0x012D, {2});
    w.Record(0x0209, {ColorLow(Green), ColorHigh(Green)}).Record(0x0201, {0, 0});
    w.Record(0x041B, {50, 100, 0, 50});
    w.Record(0x0142, Words({6, 0}) + colourInfo + colours).Record(0x012D, {3});
    w.Record(0x041B, {100, 100, 50, 0});
    ExpectPixels(RenderMetafile(w.Plain(), {100, 100}),
                 {{1, 10, Red},
                  {5, 10, Blue},
                  {1, 8, Blue},
                  {51, 10, Green},
                  {53, 10, Black},
                  {51, 8, Black},
                  {1, 60, Red},
                  {5, 60, Green},
                  {1, 56, Green}},
                 "WMF brushes");
}

namespace
{
// Pixels of the area with each colour, and of none of them.
std::vector<int> tally(const QImage &image, const QRect &area, const std::vector<QRgb> &colors)
{
    std::vector<int> n(colors.size() + 1, 0);
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb c = image.pixel(x, y) & 0xFFFFFF;
            size_t i = 0;
            while (i < colors.size() && (colors[i] & 0xFFFFFF) != c)
                ++i;
            ++n[i];
        }
    return n;
}
} // namespace

TEST(MetafileShading, FilesOfOtherProgramsPlay)
{
    // gnuplot: boxes filled with a monochrome pattern brush after the text colour was set
    // to the line colour; the background colour stays white. Solid black before.
    const QImage plot = producerFile("gnuplot_pattern.emf");
    ASSERT_EQ(plot.size(), QSize(159, 120));
    for (const QRect &inside : {QRect(10, 30, 56, 80), QRect(90, 70, 55, 40)}) {
        const std::vector<int> n = tally(plot, inside, {Red, White});
        EXPECT_GT(n[0], inside.width() * inside.height() / 8) << "pattern's 0 bits";
        EXPECT_GT(n[1], inside.width() * inside.height() / 2) << "pattern's 1 bits";
        EXPECT_EQ(n[2], 0) << "neither colour";
    }
    ExpectPixels(plot, {{80, 5, Blue}, {40, 15, White}}, "gnuplot line");

    // Inkscape: two linear gradients as gradient fills (in a mapping of about 12.5 units a
    // pixel, one moved by the world transform) and a radial one as its mean colour.
    const QImage drawing = producerFile("inkscape_gradient.emf");
    ASSERT_EQ(drawing.size(), QSize(121, 91));
    for (int x : {0, 60, 119})
        expectNear(drawing, x, 20, between(Red, Blue, (x + 0.5) / 120), "left to right", 3);
    for (int y : {45, 67, 89})
        expectNear(drawing, 20, y, between(Green, Black, (y - 45 + 0.5) / 45), "top to bottom", 3);
    ExpectPixels(drawing, {{20, 43, White}, {56, 60, White}, {120, 20, White}}, "around");
    expectNear(drawing, 90, 67, qRgb(127, 127, 127), "mean of the radial gradient");

    // fig2dev: a hatched box (black hatch over the red background colour), a solid box,
    // an unfilled ellipse, text drawn with a transparent background after shapes drawn
    // with an opaque one, and a dashed line whose gaps take the background colour.
    const QImage figure = producerFile("fig2dev_shapes.emf");
    ASSERT_EQ(figure.size(), QSize(444, 514));
    const std::vector<int> hatch = tally(figure, QRect(10, 10, 180, 130), {Black, Red});
    EXPECT_GT(hatch[0], 180 * 130 / 20);
    EXPECT_GT(hatch[1], 180 * 130 / 2);
    EXPECT_EQ(hatch[2], 0);
    ExpectPixels(figure, {{340, 75, Green}, {100, 290, White}}, "fig2dev shapes");
    EXPECT_GT(tally(figure, QRect(3, 280, 6, 20), {Red})[0], 0) << "ellipse";
    const std::vector<int> text = tally(figure, QRect(245, 455, 100, 35), {Black, Red});
    EXPECT_GT(text[0], 100) << "text";
    EXPECT_EQ(text[1], 0) << "text background";
    const std::vector<int> dashes = tally(figure, QRect(5, 505, 430, 8), {Blue, Red});
    EXPECT_GT(dashes[0], 200) << "dashes";
    EXPECT_GT(dashes[1], 200) << "gaps";
}

TEST(MetafileShading, RegionsPaintWithTheSelectedBrushAndDeviceBitsCopyUnscaled)
{
    // EMF PaintRgn: one rectangle of region data filled with the selected (red) brush.
    const QByteArray region = Fields({32, 1, 1, 16, 10, 10, 40, 40, 10, 10, 40, 40});
    const QByteArray paint = EmfRecord(39, Fields({1, 0, 0xFF, 0})) + EmfRecord(37, field(1)) +
                             EmfRecord(37, field(0x80000008)) +
                             EmfRecord(74, Fields({0, 0, 99, 99, region.size()}) + region);
    ExpectPixels(RenderMetafile(EmfFile(paint), {100, 100}),
                 {{10, 10, Red}, {39, 39, Red}, {40, 40, White}, {5, 20, White}}, "PaintRgn");

    // WMF SetDIBitsToDevice: a 2 x 2 bitmap (top row red, white; bottom row blue, green)
    // copied to 10, 10 one pixel a unit.
    const QByteArray dib = Fields({40, 2, 2, 1 | (24 << 16), 0, 16, 0, 0, 0, 0}) +
                           QByteArray("\xff\x00\x00\x00\xff\x00\x00\x00"
                                      "\x00\x00\xff\xff\xff\xff\x00\x00",
                                      16);
    WmfWriter w;
    w.Record(0x020B, {0, 0}).Record(0x020C, {100, 100});
    w.Record(0x0D33, Words({0, 2, 0, 0, 0, 2, 2, 10, 10}) + dib);
    ExpectPixels(RenderMetafile(w.Plain(), {100, 100}),
                 {{10, 10, Red},
                  {11, 10, White},
                  {10, 11, Blue},
                  {11, 11, Green},
                  {12, 12, White},
                  {9, 9, White}},
                 "SetDIBitsToDevice");
}
