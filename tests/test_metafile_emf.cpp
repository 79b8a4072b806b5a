// Enhanced metafiles written through libEMF's drawing calls: the header's size rules, and
// each record kind drawn into a 100 x 100 picture. The frame is 31.25 mm, which is 100 pixels
// of libEMF's reference device, so one logical unit is one pixel unless a test maps it.
#include "platform/graphics/GraphicsErrors.h"
#include "platform/graphics/metafile/Metafile.h"
#include "tests/test_metafile_support.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <libEMF/emf.h>

namespace
{
constexpr QRgb Red = qRgb(255, 0, 0), Green = qRgb(0, 255, 0), Blue = qRgb(0, 0, 255),
               Black = qRgb(0, 0, 0), White = qRgb(255, 255, 255);

QByteArray emf(const std::function<void(HDC)> &draw, RECT frame = {0, 0, 3125, 3125})
{
    QTemporaryDir dir;
    const QByteArray path = dir.filePath("t.emf").toLocal8Bit();
    // The description is two texts ended by an empty one, as the API reads it.
    HDC dc = CreateEnhMetaFileA(0, path.constData(), &frame, "tovela\0test\0");
    draw(dc);
    DeleteEnhMetaFile(CloseEnhMetaFile(dc));
    QFile f(QString::fromLocal8Bit(path));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

// A solid brush of that colour and no pen.
void solid(HDC dc, QRgb color)
{
    SelectObject(dc, CreateSolidBrush(RGB(qRed(color), qGreen(color), qBlue(color))));
    SelectObject(dc, GetStockObject(NULL_PEN));
}

// A record written by hand, for the calls libEMF does not offer.
QByteArray emr(quint32 type, std::initializer_list<qint32> fields)
{
    QByteArray r;
    const quint32 head[2] = {type, quint32(8 + 4 * fields.size())};
    r.append(reinterpret_cast<const char *>(head), 8);
    for (qint32 f : fields)
        r.append(reinterpret_cast<const char *>(&f), 4);
    return r;
}

// Puts records before the end-of-file record and keeps the header's totals right.
QByteArray withRecords(QByteArray file, const QByteArray &records, int count)
{
    const qsizetype eof = file.size() - 20;
    file.insert(eof, records);
    quint32 bytes = quint32(file.size()), n;
    std::memcpy(&n, file.constData() + 52, 4);
    n += quint32(count);
    file.replace(48, 4, reinterpret_cast<const char *>(&bytes), 4);
    file.replace(52, 4, reinterpret_cast<const char *>(&n), 4);
    return file;
}

// StretchDIBits of a 2 x 2 bitmap (top row red, white; bottom row blue, green) onto
// 0..100, which libEMF does not record.
QByteArray stretchDIBits2x2()
{
    QByteArray r = emr(
        81, {0, 0, 99, 99, 0, 0, 0, 0, 2, 2, 80, 40, 120, 16, DIB_RGB_COLORS, SRCCOPY, 100, 100});
    const qint32 info[10] = {40, 2, 2, 1 | (24 << 16), 0, 16, 0, 0, 0, 0};
    r.append(reinterpret_cast<const char *>(info), 40);
    r.append("\xff\x00\x00\x00\xff\x00\x00\x00\x00\x00\xff\xff\xff\xff\x00\x00", 16);
    const quint32 size = quint32(r.size());
    r.replace(4, 4, reinterpret_cast<const char *>(&size), 4);
    return r;
}

// BitBlt (76) or StretchBlt (77) of the same bitmap from its top-left corner, or without a
// bitmap (the brush paints), which libEMF does not record either.
QByteArray blt(quint32 type, QRect dest, quint32 rop, bool bitmap, QSize source = {})
{
    const float identity[6] = {1, 0, 0, 1, 0, 0};
    const qint32 header = type == 77 ? 108 : 100;
    QByteArray r = emr(
        type, {0, 0, 99, 99, dest.x(), dest.y(), dest.width(), dest.height(), qint32(rop), 0, 0});
    r.append(reinterpret_cast<const char *>(identity), 24);
    const qint32 tail[6] = {0,
                            DIB_RGB_COLORS,
                            bitmap ? header : 0,
                            bitmap ? 40 : 0,
                            bitmap ? header + 40 : 0,
                            bitmap ? 16 : 0};
    r.append(reinterpret_cast<const char *>(tail), 24);
    if (type == 77) {
        const qint32 size[2] = {source.width(), source.height()};
        r.append(reinterpret_cast<const char *>(size), 8);
    }
    if (bitmap)
        r.append(stretchDIBits2x2().mid(80));
    const quint32 total = quint32(r.size());
    r.replace(4, 4, reinterpret_cast<const char *>(&total), 4);
    return r;
}

struct Row {
    const char *name;
    std::function<void(HDC)> draw;
    std::function<void(const QImage &, const std::string &)> check;
    QByteArray raw = {}; // records after the drawing
    int rawCount = 0;
};

std::function<void(const QImage &, const std::string &)> probes(std::vector<Probe> p)
{
    return [p](const QImage &image, const std::string &what) { ExpectPixels(image, p, what); };
}

void play(const Row *rows, size_t n)
{
    for (size_t i = 0; i < n; ++i)
        rows[i].check(RenderMetafile(withRecords(emf(rows[i].draw), rows[i].raw, rows[i].rawCount),
                                     {100, 100}),
                      rows[i].name);
}

} // namespace

TEST(EmfHeader, TheFrameGivesTheSizeAndDamagedHeadersFail)
{
    const QByteArray wide = emf([](HDC dc) { Rectangle(dc, 0, 0, 10, 10); }, {0, 0, 2540, 1270});
    QByteArray copy = wide;
    QBuffer b(&copy);
    b.open(QIODevice::ReadOnly);
    TMetafile m;
    m.LoadFromStream(b);
    EXPECT_EQ(QSize(m.Width(), m.Height()), QSize(96, 48));
    EXPECT_TRUE(m.Enhanced());

    QByteArray signature = wide, frame = wide, headerSize = wide, huge = wide;
    signature[41] = 'X';
    frame[32] = 0, frame[33] = 0;               // right = left: no frame
    headerSize[4] = 0x50, headerSize[5] = 0x7F; // larger than the file
    huge[35] = 0x10;                            // a frame of kilometres
    for (const QByteArray &bad : {signature, frame, headerSize, huge, wide.left(80)}) {
        QByteArray c = bad;
        QBuffer buf(&c);
        buf.open(QIODevice::ReadOnly);
        TMetafile refused;
        EXPECT_THROW(refused.LoadFromStream(buf), EInvalidGraphic);
    }
}

TEST(EmfRecords, Shapes)
{
    const Row rows[] = {
        {"rectangle",
         [](HDC dc) {
             solid(dc, Red);
             Rectangle(dc, 10, 10, 50, 40);
         },
         probes({{20, 20, Red}, {48, 38, Red}, {5, 5, White}, {60, 30, White}, {20, 45, White}})},
        {"ellipse and round rectangle",
         [](HDC dc) {
             solid(dc, Blue);
             Ellipse(dc, 0, 0, 50, 50);
         },
         probes({{25, 25, Blue}, {2, 2, White}, {75, 75, Blue}, {51, 51, White}, {75, 51, Blue}}),
         emr(44, {50, 50, 100, 100, 20, 20}), 1},
        {"polygon (16-bit) and poly-polygon with both fill modes",
         [](HDC dc) {
             solid(dc, Green);
             const POINT tri[] = {{0, 0}, {40, 0}, {0, 40}};
             Polygon(dc, tri, 3);
             const POINT sq[] = {{50, 50}, {80, 50}, {80, 80}, {50, 80},
                                 {65, 65}, {95, 65}, {95, 95}, {65, 95}};
             const INT counts[] = {4, 4};
             PolyPolygon(dc, sq, counts, 2);
             SetPolyFillMode(dc, WINDING);
             const POINT sq2[] = {{50, 0},  {80, 0},  {80, 30}, {50, 30},
                                  {65, 15}, {95, 15}, {95, 45}, {65, 45}};
             PolyPolygon(dc, sq2, counts, 2);
         },
         probes({{10, 10, Green},
                 {35, 35, White},
                 {55, 55, Green},
                 {72, 72, White},
                 {90, 90, Green},
                 {72, 22, Green}})},
        {"32-bit polygon under an anisotropic mapping",
         [](HDC dc) {
             solid(dc, Red);
             SetMapMode(dc, MM_ANISOTROPIC);
             SetWindowExtEx(dc, 100000, 100000, nullptr);
             SetViewportExtEx(dc, 100, 100, nullptr);
             const POINT big[] = {{0, 0}, {50000, 0}, {50000, 50000}, {0, 50000}};
             Polygon(dc, big, 4);
         },
         probes({{25, 25, Red}, {48, 48, Red}, {75, 25, White}, {25, 75, White}})},
        {"lines, polyline and a bezier with a one-pixel pen",
         [](HDC dc) {
             SelectObject(dc, CreatePen(PS_SOLID, 0, RGB(0, 0, 255)));
             MoveToEx(dc, 10, 10, nullptr);
             LineTo(dc, 90, 10);
             const POINT line[] = {{10, 30}, {90, 30}};
             Polyline(dc, line, 2);
             const POINT curve[] = {{10, 90}, {10, 50}, {90, 50}, {90, 90}};
             PolyBezier(dc, curve, 4);
         },
         [](const QImage &image, const std::string &what) {
             ExpectPixels(image, {{50, 10, Blue}, {50, 12, White}, {50, 30, Blue}, {50, 40, White}},
                          what);
             // the curve's top lies at y = 60 in the middle; its ends reach the bottom
             EXPECT_GT(InkedPixels(image, QRect(45, 58, 10, 5)), 0) << what;
             EXPECT_EQ(InkedPixels(image, QRect(45, 65, 10, 20)), 0) << what;
             EXPECT_GT(InkedPixels(image, QRect(8, 80, 5, 10)), 0) << what;
         }},
        {"pie, chord and arc; the clockwise direction takes the other part",
         [](HDC dc) { solid(dc, Red); },
         probes({{35, 15, Red},
                 {15, 15, White},
                 {35, 35, White},
                 {90, 10, Red},
                 {80, 20, White},
                 {35, 65, White},
                 {15, 65, Red},
                 {35, 85, Red}}),
         emr(47, {0, 0, 50, 50, 50, 25, 25, 0}) +        // pie: the top right quarter
             emr(46, {50, 0, 100, 50, 100, 25, 75, 0}) + // chord
             emr(57, {AD_CLOCKWISE}) + emr(47, {0, 50, 50, 100, 50, 75, 25, 50}),
         4},
        {"a dashed pen and a wide geometric pen with flat ends",
         [](HDC dc) {
             SelectObject(dc, CreatePen(PS_DASH, 0, RGB(0, 0, 0)));
             MoveToEx(dc, 0, 20, nullptr);
             LineTo(dc, 100, 20);
             LOGBRUSH lb{BS_SOLID, RGB(0, 255, 0), 0};
             SelectObject(
                 dc, ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, 10, &lb, 0, nullptr));
             MoveToEx(dc, 20, 60, nullptr);
             LineTo(dc, 80, 60);
         },
         probes({{5, 20, Black},
                 {21, 20, White},
                 {30, 20, Black},
                 {50, 56, Green},
                 {50, 63, Green},
                 {50, 67, White},
                 {22, 60, Green},
                 {17, 60, White},
                 {83, 60, White}})},
        {"a pen too wide for Qt in logical units keeps its width on the device",
         [](HDC dc) {
             SetMapMode(dc, MM_ANISOTROPIC);
             SetWindowExtEx(dc, 100000, 100000, nullptr);
             SetViewportExtEx(dc, 100, 100, nullptr);
             LOGBRUSH lb{BS_SOLID, RGB(0, 255, 0), 0};
             SelectObject(dc, ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT, 40000, &lb, 0,
                                           nullptr));
             MoveToEx(dc, 10000, 50000, nullptr);
             LineTo(dc, 90000, 50000);
         },
         probes({{50, 50, Green},
                 {50, 33, Green},
                 {50, 67, Green},
                 {50, 26, White},
                 {50, 74, White}})},
        {"hatched brush (cross) over the background colour",
         [](HDC dc) {
             SetBkColor(dc, RGB(0, 255, 0));
             LOGBRUSH hatch{BS_HATCHED, RGB(0, 0, 255), HS_CROSS};
             SelectObject(dc, CreateBrushIndirect(&hatch));
             SelectObject(dc, GetStockObject(NULL_PEN));
             Rectangle(dc, 0, 0, 100, 100);
         },
         [](const QImage &image, const std::string &what) {
             int blue = 0, green = 0;
             for (int y = 5; y < 95; ++y)
                 for (int x = 5; x < 95; ++x) {
                     blue += image.pixel(x, y) == Blue;
                     green += image.pixel(x, y) == Green;
                 }
             EXPECT_GT(blue, 90 * 90 / 8) << what;
             EXPECT_GT(green, 90 * 90 / 2) << what;
             EXPECT_EQ(blue + green, 90 * 90) << what;
         }},
    };
    play(rows, std::size(rows));
}

TEST(EmfRecords, StateMappingClippingPathsBitmapsAndText)
{
    const Row rows[] = {
        {"save and restore bring the brush back; restore by absolute level",
         [](HDC dc) {
             solid(dc, Red);
             SaveDC(dc);
             solid(dc, Blue);
             SaveDC(dc);
             solid(dc, Green);
             RestoreDC(dc, -1);
             Rectangle(dc, 0, 0, 50, 100);
             RestoreDC(dc, 1);
             Rectangle(dc, 50, 0, 100, 100);
         },
         probes({{25, 50, Blue}, {75, 50, Red}})},
        {"high metric mapping: y grows upwards in 0.01 mm",
         [](HDC dc) {
             solid(dc, Red);
             SetMapMode(dc, MM_HIMETRIC);
             Rectangle(dc, 0, 0, 1562, -1562); // 15.62 mm = 50 pixels
         },
         probes({{25, 25, Red}, {47, 47, Red}, {75, 75, White}, {25, 75, White}})},
        {"isotropic mapping keeps the units square; viewport origin moves the picture",
         [](HDC dc) {
             solid(dc, Red);
             SetMapMode(dc, MM_ISOTROPIC);
             SetWindowExtEx(dc, 10, 20, nullptr);
             SetViewportExtEx(dc, 100, 100, nullptr); // 5 pixels a unit both ways
             SetViewportOrgEx(dc, 50, 0, nullptr);
             Rectangle(dc, 0, 0, 10, 10);
         },
         probes({{75, 25, Red}, {25, 25, White}, {75, 75, White}})},
        {"world transform shifts and scales",
         [](HDC dc) {
             solid(dc, Red);
             const XFORM x{2, 0, 0, 2, 50, 0};
             SetWorldTransform(dc, &x);
             Rectangle(dc, 0, 0, 20, 20);
         },
         probes({{60, 10, Red}, {85, 35, Red}, {25, 25, White}, {95, 45, White}})},
        {"intersect clip rectangle", [](HDC dc) { solid(dc, Red); },
         probes({{30, 50, Red}, {70, 50, White}}),
         emr(30, {0, 0, 50, 100}) + emr(42, {0, 0, 100, 100}), 2},
        {"a path filled",
         [](HDC dc) {
             solid(dc, Blue);
             BeginPath(dc);
             MoveToEx(dc, 10, 10, nullptr);
             LineTo(dc, 90, 10);
             LineTo(dc, 90, 90);
             CloseFigure(dc);
             EndPath(dc);
             FillPath(dc);
         },
         probes({{80, 20, Blue}, {20, 80, White}})},
        {"StretchDIBits stretches the bitmap, top row first", [](HDC) {},
         probes({{10, 10, Red}, {90, 10, White}, {10, 90, Blue}, {90, 90, Green}}),
         stretchDIBits2x2(), 1},
        {"BitBlt copies unscaled, StretchBlt stretches, BitBlt without a bitmap paints",
         [](HDC dc) { solid(dc, Green); },
         probes({{10, 10, Red},
                 {11, 10, White},
                 {10, 11, Blue},
                 {11, 11, Green},
                 {12, 12, White},
                 {45, 45, Red},
                 {75, 45, White},
                 {45, 75, Blue},
                 {75, 75, Green},
                 {95, 5, Green},
                 {85, 5, White}}),
         blt(76, QRect(10, 10, 2, 2), SRCCOPY, true) +
             blt(77, QRect(40, 40, 40, 40), SRCCOPY, true, QSize(2, 2)) +
             blt(76, QRect(90, 0, 10, 10), PATCOPY, false),
         3},
        {"ExtTextOutW: Japanese text in the text colour, aligned at its top",
         [](HDC dc) {
             SetBkMode(dc, TRANSPARENT);
             SetTextColor(dc, RGB(0, 0, 255));
             const WCHAR face[] = {'S', 'a', 'n', 's', 0};
             SelectObject(
                 dc, CreateFontW(-40, 0, 0, 0, 400, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0, face));
             const WCHAR text[] = {0x65E5, 0x672C}; // 日本
             ExtTextOutW(dc, 10, 30, 0, nullptr, text, 2, nullptr);
         },
         [](const QImage &image, const std::string &what) {
             EXPECT_GT(InkedPixels(image, QRect(10, 30, 40, 40)), 100) << what;
             EXPECT_GT(InkedPixels(image, QRect(50, 30, 40, 40)), 100) << what;
             EXPECT_EQ(InkedPixels(image, QRect(0, 0, 100, 29)), 0) << what;
             int blue = 0;
             for (int y = 30; y < 70; ++y)
                 for (int x = 10; x < 90; ++x)
                     blue += image.pixel(x, y) == Blue;
             EXPECT_GT(blue, 50) << what;
         }},
    };
    play(rows, std::size(rows));
}
