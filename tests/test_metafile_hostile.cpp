// Hostile metafiles: impossible record sizes end the drawing without reading past the file,
// unknown records are skipped, huge counts and negative sizes leave only their own record
// out, deep nesting and wild object numbers are harmless, and files cut short at any length
// either fail to load or draw what they hold.
#include "platform/graphics/GraphicsErrors.h"
#include "platform/graphics/metafile/Metafile.h"
#include "tests/test_metafile_support.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <gtest/gtest.h>

namespace
{
constexpr QRgb Red = qRgb(255, 0, 0), Blue = qRgb(0, 0, 255), White = qRgb(255, 255, 255);

// Select a solid brush of that colour into slot 1 and no pen; then a rectangle.
QByteArray brush(QRgb c)
{
    const qint64 ref = qRed(c) | (qGreen(c) << 8) | (qBlue(c) << 16);
    return EmfRecord(39, Fields({1, 0, ref, 0})) + EmfRecord(37, Fields({1})) +
           EmfRecord(37, Fields({0x80000008})); // NULL_PEN
}

QByteArray rect(int l, int t, int r, int b)
{
    return EmfRecord(43, Fields({l, t, r, b}));
}

// The left half red before the record under test, the right half blue after it.
QByteArray around(const QByteArray &middle)
{
    return brush(Red) + rect(0, 0, 50, 100) + middle + brush(Blue) + rect(50, 0, 100, 100);
}

void drawAll(const QByteArray &bytes)
{
    QByteArray copy = bytes;
    QBuffer b(&copy);
    b.open(QIODevice::ReadOnly);
    TMetafile m;
    try {
        m.LoadFromStream(b);
    } catch (const EInvalidGraphic &) {
        EXPECT_TRUE(m.Empty());
        return;
    }
    QImage image(100, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    m.Draw(painter, image.rect());
}

} // namespace

TEST(MetafileHostile, ImpossibleRecordSizesEndTheDrawingAndUnknownRecordsAreSkipped)
{
    struct Row {
        const char *name;
        QByteArray middle;
        bool restDrawn;
    } rows[] = {
        {"unknown kind", EmfRecord(9999, Fields({1, 2, 3})), true},
        {"GDI comment with a payload", EmfRecord(70, Fields({8, 1, 2})), true},
        {"size below the kind and size fields", EmfRecord(43, QByteArray(), 4), false},
        {"size not a whole number of words", EmfRecord(43, Fields({1, 2, 3, 4}), 22), false},
        {"size past the end of the file", EmfRecord(43, Fields({1, 2, 3, 4}), 0x7FFFFFF0), false},
        {"size of zero", EmfRecord(43, QByteArray(), 0), false},
    };
    for (const Row &r : rows) {
        const QImage image = RenderMetafile(EmfFile(around(r.middle)), {100, 100});
        ExpectPixels(image, {{25, 50, Red}, {75, 50, r.restDrawn ? Blue : White}}, r.name);
    }

    // The same for Windows metafiles: sizes are counted in 16-bit words.
    auto wmf = [](const QByteArray &middle) {
        WmfWriter w;
        w.Record(0x020C, {100, 100});
        w.Record(0x02FC, {0, 0xFF, 0, 0}).Record(0x012D, {0});
        w.Record(0x041B, {100, 50, 0, 0});
        QByteArray bytes = w.Plain();
        bytes.chop(6); // the end record
        WmfWriter rest;
        rest.Record(0x02FC, {0, 0, 0xFF, 0}).Record(0x012D, {1}).Record(0x041B, {100, 100, 0, 50});
        return bytes + middle + rest.Plain().mid(18);
    };
    const QByteArray unknown = Words({5, 0, 0x0777, 0, 0});
    const QByteArray tooSmall = Words({2, 0, 0x041B});
    const QByteArray tooLarge = Words({0xFFFF, 0x7FFF, 0x041B, 1, 2, 3, 4});
    ExpectPixels(RenderMetafile(wmf(unknown), {100, 100}), {{25, 50, Red}, {75, 50, Blue}},
                 "wmf: unknown kind");
    ExpectPixels(RenderMetafile(wmf(tooSmall), {100, 100}), {{25, 50, Red}, {75, 50, White}},
                 "wmf: size below the fields");
    ExpectPixels(RenderMetafile(wmf(tooLarge), {100, 100}), {{25, 50, Red}, {75, 50, White}},
                 "wmf: size past the end");
}

TEST(MetafileHostile, HugeCountsNegativeSizesAndBrokenBitmapsLeaveOnlyTheirRecordOut)
{
    const QByteArray bounds = Fields({0, 0, 10, 10});
    struct Row {
        const char *name;
        QByteArray middle;
    } rows[] = {
        {"polygon16 claiming 4 billion points", EmfRecord(86, bounds + Fields({0xFFFFFFFF, 0}))},
        {"polygon claiming more points than it holds", EmfRecord(3, bounds + Fields({1000, 1, 2}))},
        {"poly-polygon with a billion polygons",
         EmfRecord(91, bounds + Fields({0x40000000, 0x40000000, 3, 0}))},
        {"poly-polygon whose counts exceed its total",
         EmfRecord(91, bounds + Fields({2, 4, 3, 3, 0, 0, 0, 0, 0, 0}))},
        {"ExtTextOutW with a huge count and offsets past the record",
         EmfRecord(84, bounds +
                           Fields({1, 0, 0, 10, 10, 0x7FFFFFFF, 76, 0, 0, 0, 10, 10, 0x7FFFFFF0}) +
                           Fields({0x410041}))},
        {"a font of a billion pixels",
         EmfRecord(82, Fields({3, -1000000000}) + QByteArray(84, '\0')) +
             EmfRecord(37, Fields({3})) +
             EmfRecord(84, bounds + Fields({1, 0, 0, 10, 10, 1, 76, 0, 0, 0, 10, 10, 0}) +
                               Fields({0x41}))},
        {"a font turned by the most negative angle",
         EmfRecord(82, Fields({3, -10, 0, 0x80000000}) + QByteArray(80, '\0')) +
             EmfRecord(37, Fields({3})) +
             EmfRecord(84, bounds + Fields({1, 0, 0, 10, 10, 1, 76, 0, 0, 0, 10, 10, 0}) +
                               Fields({0x41}))},
        {"StretchDIBits claiming a 100000 x 100000 bitmap",
         EmfRecord(81, bounds + Fields({0, 0, 0, 0, 10, 10, 80, 40, 120, 4, 0, 0xCC0020, 10, 10}) +
                           Fields({40, 100000, 100000, 1 | (24 << 16), 0, 0, 0, 0, 0, 0, 0}))},
        {"StretchDIBits with offsets past the record",
         EmfRecord(81, bounds + Fields({0, 0, 0, 0, 10, 10, 0x7FFFFFF0, 40, 0x7FFFFFF0, 16, 0,
                                        0xCC0020, 10, 10}))},
        {"negative rectangle, ellipse and bitmap sizes",
         EmfRecord(43, Fields({90, 90, -2000000000, -2000000000})) +
             EmfRecord(42, Fields({2000000000, 2000000000, -2000000000, -2000000000}))},
        {"a pen two billion units wide, dashed",
         EmfRecord(38, Fields({4, 1, 2000000000, 0, 0})) + EmfRecord(37, Fields({4})) +
             EmfRecord(27, Fields({-2000000000, 0})) + EmfRecord(54, Fields({2000000000, 5})) +
             EmfRecord(37, Fields({0x80000008}))},
        {"a world transform of infinities and zeros",
         EmfRecord(35, Fields({0x7F800000, 0, 0, 0, 0, 0})) +
             EmfRecord(35, Fields({0, 0, 0, 0, 0, 0})) +
             EmfRecord(36, Fields({0x3F800000, 0, 0, 0x3F800000, 0, 0, 1}))},
        {"window extent of zero and mapping modes out of range",
         EmfRecord(17, Fields({8})) + EmfRecord(9, Fields({0, 0})) + EmfRecord(17, Fields({99})) +
             EmfRecord(17, Fields({1}))},
        {"region data claiming more rectangles than it holds",
         EmfRecord(75, Fields({48, 1, 32, 1, 0x10000000, 0, 0, 0, 0, 0}))},
        {"an angle arc of infinite sweep", EmfRecord(41, Fields({50, 50, 10, 0, 0x7F800000}))},
    };
    for (const Row &r : rows) {
        const QImage image = RenderMetafile(EmfFile(around(r.middle)), {100, 100});
        ExpectPixels(image, {{25, 50, Red}, {75, 50, Blue}}, r.name);
    }
}

TEST(MetafileHostile, DeepNestingAndWildObjectNumbers)
{
    QByteArray deep;
    for (int i = 0; i < 100000; ++i)
        deep += EmfRecord(33, {}); // SaveDC
    deep += EmfRecord(34, Fields({-1})) + EmfRecord(34, Fields({-100000000})) +
            EmfRecord(34, Fields({0})) + EmfRecord(34, Fields({5000000}));
    const QByteArray objects =
        EmfRecord(39, Fields({0xFFFFFFF0, 0, 0xFF00, 0})) + EmfRecord(37, Fields({0xFFFFFFF0})) +
        EmfRecord(37, Fields({0x7FFFFFFF})) + EmfRecord(40, Fields({0xFFFFFFFF})) +
        EmfRecord(37, Fields({0x800000FF})) + EmfRecord(39, Fields({70000, 0, 0xFF00, 0}));
    const QImage a = RenderMetafile(EmfFile(around(deep)), {100, 100});
    ExpectPixels(a, {{25, 50, Red}, {75, 50, Blue}}, "deep save nesting");
    const QImage b = RenderMetafile(EmfFile(around(objects), 0), {100, 100});
    ExpectPixels(b, {{25, 50, Red}, {75, 50, Blue}}, "object numbers out of the table");

    // Save and restore still pair up after the nesting limit was reached.
    const QByteArray paired = brush(Red) + EmfRecord(33, {}) + brush(Blue) +
                              EmfRecord(34, Fields({-1})) + rect(0, 0, 100, 100);
    ExpectPixels(RenderMetafile(EmfFile(paired), {100, 100}), {{50, 50, Red}}, "restore");
}

TEST(MetafileHostile, FilesCutShortAtAnyLengthFailOrDraw)
{
    for (const char *name : {"shapes.emf", "text_japanese.wmf", "bitmap.emf", "bitmap.wmf",
                             "producers/gnuplot_pattern.emf", "producers/inkscape_gradient.emf"}) {
        QFile f(QStringLiteral(TOVELA_TEST_DATA "/metafiles/") + QLatin1String(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name;
        const QByteArray whole = f.readAll();
        for (qsizetype n = 0; n < whole.size(); n += (n < 200 ? 1 : 7))
            drawAll(whole.left(n));
        // and every byte flipped once in the header region
        for (qsizetype i = 0; i < std::min<qsizetype>(whole.size(), 160); ++i) {
            QByteArray damaged = whole;
            damaged[i] = char(~damaged[i]);
            drawAll(damaged);
        }
    }
}
