// Draws every bitmap the program ships (stock thumbnails, toolbar and tree icons, window icon,
// login logo, the four guide pages) and writes them as PNG files under the folder given on the
// command line, each also at double density for scaled screens ("name@2x.png", Qt's naming),
// the window icon also as SVG. Run it again after changing a drawing; the files are committed,
// not built.
#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRegularExpression>
#include <QSvgGenerator>
#include <QTextStream>

#include <cstdio>
#include <functional>

namespace
{

// The service's colours: a clear blue for the frame of things, orange for "do this".
const QColor brand(0x2a, 0x6f, 0xc9);
const QColor brandDark(0x1b, 0x4a, 0x8f);
const QColor accent(0xf0, 0x8a, 0x24);
const QColor selectBlue(0x33, 0x80, 0xe0);
const QColor selectFill(0xd6, 0xe7, 0xfb);
const QColor ink(0x2a, 0x34, 0x42);

// The pixel density of the pictures being drawn: 1, or 2 for the "@2x" set. Every drawing is
// laid out in the plain picture's pixels; the canvas carries the density to the painter.
qreal pixelRatio = 1;

QImage canvas(int w, int h, const QColor &fill = Qt::transparent)
{
    QImage img(qRound(w * pixelRatio), qRound(h * pixelRatio), QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(pixelRatio);
    img.fill(fill);
    return img;
}

void smooth(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

QFont uiFont(qreal pixels, bool bold = false)
{
    QFont f(QStringLiteral("Noto Sans CJK JP"));
    f.setPixelSize(qRound(pixels));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

// --- photos -----------------------------------------------------------------------------------

struct PhotoStyle {
    QColor skyTop, skyBottom, sun, farHill, nearHill;
    qreal sunX, sunY;
    bool water;    // a sea instead of the near hill
    bool mountain; // a snowy peak instead of the far hill
};

const PhotoStyle photoStyles[] = {
    {{0x3d, 0x8b, 0xe0},
     {0xb9, 0xe0, 0xff},
     {0xff, 0xe0, 0x4a},
     {0x7c, 0xbf, 0x5a},
     {0x3f, 0x8f, 0x3c},
     0.74,
     0.26,
     false,
     false},
    {{0xf0, 0x7a, 0x3a},
     {0xff, 0xd8, 0x80},
     {0xff, 0xf4, 0xc0},
     {0x9a, 0x5a, 0x6e},
     {0x5e, 0x35, 0x52},
     0.30,
     0.50,
     false,
     false},
    {{0x5c, 0xb8, 0xf0},
     {0xe2, 0xf5, 0xff},
     {0xff, 0xd6, 0x3a},
     {0x6f, 0xa8, 0x5c},
     {0x2f, 0x7d, 0xc4},
     0.24,
     0.24,
     true,
     false},
    {{0x6f, 0xaa, 0xe8},
     {0xe4, 0xf0, 0xff},
     {0xff, 0xe8, 0x80},
     {0xe0, 0x8a, 0x30},
     {0xb5, 0x52, 0x1e},
     0.78,
     0.22,
     false,
     false},
    {{0x8a, 0xbc, 0xe8},
     {0xf0, 0xf7, 0xff},
     {0xff, 0xf2, 0xa0},
     {0xf4, 0xf8, 0xff},
     {0x4f, 0x86, 0x5a},
     0.22,
     0.20,
     false,
     true},
    {{0x2c, 0x3e, 0x7a},
     {0x9a, 0x7c, 0xc8},
     {0xfa, 0xf6, 0xe0},
     {0x4c, 0x4a, 0x8a},
     {0x24, 0x2c, 0x52},
     0.70,
     0.24,
     false,
     false},
    {{0x86, 0xcc, 0xf4},
     {0xee, 0xfa, 0xff},
     {0xff, 0xcf, 0x40},
     {0xf2, 0xa6, 0xc4},
     {0x7c, 0xc0, 0x56},
     0.50,
     0.22,
     false,
     false},
    {{0xe8, 0x5a, 0x4a},
     {0xfc, 0xc0, 0x70},
     {0xff, 0xee, 0xb0},
     {0x3a, 0x6e, 0x9a},
     {0x1e, 0x4c, 0x78},
     0.62,
     0.56,
     true,
     false},
};
constexpr int photoStyleCount = int(sizeof photoStyles / sizeof photoStyles[0]);

// A small landscape (sky, sun, hills or sea) that reads as a photograph even at 20 pixels.
void drawPhoto(QPainter &p, const QRectF &r, int variant)
{
    const PhotoStyle &s = photoStyles[variant % photoStyleCount];
    const bool mirror = (variant / photoStyleCount) % 2 == 1;
    const qreal w = r.width(), h = r.height();
    auto pt = [&](qreal fx, qreal fy) {
        return QPointF(mirror ? r.right() - w * fx : r.left() + w * fx, r.top() + h * fy);
    };

    p.save();
    p.setClipRect(r);
    p.setPen(Qt::NoPen);

    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, s.skyTop);
    sky.setColorAt(0.75, s.skyBottom);
    p.fillRect(r, sky);

    const QPointF sun = pt(s.sunX, s.sunY);
    const qreal sunR = qMax(1.2, h * 0.12);
    if (h > 30) {
        QRadialGradient glow(sun, sunR * 2.6);
        QColor c = s.sun;
        c.setAlpha(110);
        glow.setColorAt(0, c);
        c.setAlpha(0);
        glow.setColorAt(1, c);
        p.setBrush(glow);
        p.drawEllipse(sun, sunR * 2.6, sunR * 2.6);
    }
    p.setBrush(s.sun);
    p.drawEllipse(sun, sunR, sunR);

    if (h > 24) {
        // A couple of soft clouds on the larger pictures.
        p.setBrush(QColor(255, 255, 255, 170));
        const QPointF c = pt(0.42, 0.2);
        p.drawEllipse(c, w * 0.09, h * 0.05);
        p.drawEllipse(c + QPointF(w * 0.06 * (mirror ? -1 : 1), -h * 0.02), w * 0.06, h * 0.05);
    }

    QPainterPath far;
    if (s.mountain) {
        far.moveTo(pt(0, 0.78));
        far.lineTo(pt(0.30, 0.50));
        far.lineTo(pt(0.55, 0.28));
        far.lineTo(pt(0.78, 0.52));
        far.lineTo(pt(1, 0.62));
    } else {
        far.moveTo(pt(0, 0.68));
        far.cubicTo(pt(0.22, 0.46), pt(0.42, 0.48), pt(0.60, 0.62));
        far.cubicTo(pt(0.74, 0.72), pt(0.86, 0.52), pt(1, 0.56));
    }
    far.lineTo(pt(1, 1));
    far.lineTo(pt(0, 1));
    far.closeSubpath();
    if (s.mountain) {
        QLinearGradient g(pt(0, 0.28), pt(0, 0.8));
        g.setColorAt(0, s.farHill);
        g.setColorAt(0.35, s.farHill);
        g.setColorAt(0.36, QColor(0x8e, 0xa4, 0xc0));
        g.setColorAt(1, QColor(0x6a, 0x80, 0xa0));
        p.setBrush(g);
    } else {
        p.setBrush(s.farHill);
    }
    p.drawPath(far);

    if (s.water) {
        const QRectF sea(r.left(), r.top() + h * 0.70, w, h * 0.30);
        QLinearGradient g(sea.topLeft(), sea.bottomLeft());
        g.setColorAt(0, s.nearHill.lighter(115));
        g.setColorAt(1, s.nearHill.darker(130));
        p.fillRect(sea, g);
        if (h > 16) {
            p.setPen(QPen(QColor(255, 255, 255, 150), qMax(0.6, h / 60.0)));
            p.drawLine(pt(0.15, 0.80), pt(0.35, 0.80));
            p.drawLine(pt(0.55, 0.88), pt(0.80, 0.88));
            p.setPen(Qt::NoPen);
        }
    } else {
        QPainterPath nearHill;
        nearHill.moveTo(pt(0, 0.84));
        nearHill.cubicTo(pt(0.30, 0.66), pt(0.62, 0.94), pt(1, 0.74));
        nearHill.lineTo(pt(1, 1));
        nearHill.lineTo(pt(0, 1));
        nearHill.closeSubpath();
        p.setBrush(s.nearHill);
        p.drawPath(nearHill);
        if (h > 20) {
            // A little tree on the near hill.
            const QPointF base = pt(0.22, 0.80);
            p.setBrush(s.nearHill.darker(140));
            p.drawRect(
                QRectF(base.x() - w * 0.008, base.y() - h * 0.08, qMax(0.8, w * 0.016), h * 0.08));
            p.drawEllipse(QPointF(base.x(), base.y() - h * 0.11), w * 0.045, h * 0.07);
        }
    }
    p.restore();
}

// A photo with a white border and a soft shadow, as a print or a list thumbnail.
void drawPrint(QPainter &p, const QRectF &r, int variant, qreal border = 1.5)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 40));
    p.drawRect(r.translated(1, 1));
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(0xb0, 0xb8, 0xc4), 0.8));
    p.drawRect(r);
    p.restore();
    drawPhoto(p, r.adjusted(border, border, -border, -border), variant);
}

// --- small shared shapes -----------------------------------------------------------------------

void drawPointer(QPainter &p, const QPointF &tip, qreal scale = 1.0)
{
    static const QPointF shape[] = {{0, 0},      {0, 14.5},   {3.6, 11.2}, {6.2, 16.6},
                                    {8.6, 15.6}, {6.0, 10.3}, {10.6, 10.3}};
    QPolygonF poly;
    for (const QPointF &s : shape)
        poly << tip + s * scale;
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawPolygon(poly.translated(1, 1));
    p.setPen(QPen(Qt::black, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPolygon(poly);
    p.restore();
}

// Yellow manila folder filling r (back with a tab, a sheet peeking out, front flap).
void drawFolder(QPainter &p, const QRectF &r)
{
    const qreal w = r.width(), h = r.height();
    const qreal rad = qMax(0.8, w * 0.05);
    const qreal line = qMax(0.8, w / 60.0);
    const QColor edge(0xb5, 0x7a, 0x10);
    p.save();
    p.setPen(QPen(edge, line));

    QPainterPath back;
    back.addRoundedRect(QRectF(r.left(), r.top(), w * 0.42, h * 0.3), rad, rad);
    back.addRoundedRect(QRectF(r.left(), r.top() + h * 0.12, w, h * 0.88), rad, rad);
    back.setFillRule(Qt::WindingFill);
    back = back.simplified();
    QLinearGradient gb(r.topLeft(), r.bottomLeft());
    gb.setColorAt(0, QColor(0xf2, 0xb7, 0x3a));
    gb.setColorAt(1, QColor(0xd9, 0x95, 0x1e));
    p.setBrush(gb);
    p.drawPath(back);

    if (w > 20) {
        p.setPen(QPen(QColor(0xc8, 0xcc, 0xd4), line * 0.8));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(r.left() + w * 0.08, r.top() + h * 0.2, w * 0.84, h * 0.4));
        p.setPen(QPen(edge, line));
    }

    const qreal top = r.top() + h * 0.32;
    QPainterPath front;
    front.addRoundedRect(QRectF(r.left(), top, w, r.bottom() - top), rad, rad);
    QLinearGradient gf(QPointF(r.left(), top), r.bottomLeft());
    gf.setColorAt(0, QColor(0xff, 0xdc, 0x6e));
    gf.setColorAt(1, QColor(0xf5, 0xbe, 0x40));
    p.setBrush(gf);
    p.drawPath(front);
    if (w > 20) {
        p.setPen(QPen(QColor(255, 255, 255, 150), line));
        p.drawLine(QPointF(r.left() + rad, top + line * 1.5),
                   QPointF(r.right() - rad, top + line * 1.5));
    }
    p.restore();
}

// A fat arrow pointing up with its tip at the top centre of r.
QPainterPath upArrow(const QRectF &r)
{
    const qreal w = r.width(), h = r.height();
    QPainterPath a;
    a.moveTo(r.left() + w * 0.5, r.top());
    a.lineTo(r.right(), r.top() + h * 0.5);
    a.lineTo(r.left() + w * 0.68, r.top() + h * 0.5);
    a.lineTo(r.left() + w * 0.68, r.bottom());
    a.lineTo(r.left() + w * 0.32, r.bottom());
    a.lineTo(r.left() + w * 0.32, r.top() + h * 0.5);
    a.lineTo(r.left(), r.top() + h * 0.5);
    a.closeSubpath();
    return a;
}

// An arrow from a to b along a gentle curve bending by `bend` pixels.
void drawCurvedArrow(QPainter &p, QPointF a, QPointF b, qreal bend, const QColor &c, qreal width)
{
    const QPointF mid = (a + b) / 2;
    const QPointF d = b - a;
    const QPointF normal(-d.y(), d.x());
    const qreal len = qSqrt(d.x() * d.x() + d.y() * d.y());
    const QPointF ctrl = mid + normal / len * bend;
    QPainterPath path(a);
    path.quadTo(ctrl, b);
    p.save();
    p.setPen(QPen(QColor(255, 255, 255, 200), width + 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(path);
    // Head along the curve's last tangent.
    QPointF t = b - ctrl;
    const qreal tl = qSqrt(t.x() * t.x() + t.y() * t.y());
    t /= tl;
    const QPointF n(-t.y(), t.x());
    const qreal head = width * 3.2;
    QPolygonF tri;
    tri << b + t * head * 0.4 << b - t * head + n * head * 0.7 << b - t * head - n * head * 0.7;
    p.setPen(QPen(QColor(255, 255, 255, 200), 1));
    p.setBrush(c);
    p.drawPolygon(tri);
    p.restore();
}

void drawText(QPainter &p, const QRectF &r, const QString &text, const QFont &f, const QColor &c,
              int flags = Qt::AlignLeft | Qt::AlignVCenter)
{
    p.save();
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, flags, text);
    p.restore();
}

// A mock application window with a blue caption; returns the client rectangle.
QRectF drawWindow(QPainter &p, const QRectF &r, const QString &caption)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 35));
    p.drawRoundedRect(r.translated(1.5, 1.5), 3, 3);
    p.setPen(QPen(QColor(0x6a, 0x7e, 0x9a), 1));
    p.setBrush(QColor(0xf0, 0xf2, 0xf5));
    p.drawRoundedRect(r, 3, 3);
    const QRectF bar(r.left() + 0.5, r.top() + 0.5, r.width() - 1, 13);
    QLinearGradient g(bar.topLeft(), bar.bottomLeft());
    g.setColorAt(0, brand.lighter(120));
    g.setColorAt(1, brandDark);
    QPainterPath barPath;
    barPath.addRoundedRect(bar, 2.5, 2.5);
    barPath.addRect(bar.adjusted(0, 6, 0, 0));
    barPath.setFillRule(Qt::WindingFill);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(barPath.simplified());
    drawText(p, bar.adjusted(5, 0, 0, 0), caption, uiFont(9, true), Qt::white);
    // The close box.
    const QRectF x(bar.right() - 11, bar.top() + 2.5, 8, 8);
    p.setBrush(QColor(0xd8, 0x50, 0x40));
    p.setPen(QPen(QColor(255, 255, 255, 180), 0.8));
    p.drawRoundedRect(x, 1.5, 1.5);
    p.setPen(QPen(Qt::white, 1.1));
    p.drawLine(x.topLeft() + QPointF(2.2, 2.2), x.bottomRight() - QPointF(2.2, 2.2));
    p.drawLine(x.topRight() + QPointF(-2.2, 2.2), x.bottomLeft() + QPointF(2.2, -2.2));
    p.restore();
    return QRectF(r.left() + 1, bar.bottom() + 0.5, r.width() - 2, r.bottom() - bar.bottom() - 1.5);
}

// One cell of the thumbnail list: a photo with a file name bar, framed when selected.
void drawThumbCell(QPainter &p, const QRectF &cell, int variant, bool selected, qreal opacity = 1)
{
    p.save();
    p.setOpacity(opacity);
    const QRectF photo(cell.left() + 3, cell.top() + 2, cell.width() - 6, cell.height() - 10);
    if (selected) {
        p.setPen(QPen(selectBlue, 1.6));
        p.setBrush(selectFill);
        p.drawRoundedRect(cell.adjusted(0.8, 0.3, -0.8, -0.3), 2, 2);
    }
    drawPrint(p, photo, variant, 1.0);
    p.setPen(Qt::NoPen);
    p.setBrush(selected ? selectBlue : QColor(0xb4, 0xbc, 0xc8));
    p.drawRoundedRect(QRectF(cell.center().x() - cell.width() * 0.28, cell.bottom() - 5.5,
                             cell.width() * 0.56, 2.6),
                      1.2, 1.2);
    p.restore();
}

QRectF gridCell(const QRectF &area, int cols, qreal cellH, int index)
{
    const qreal cw = area.width() / cols;
    return QRectF(area.left() + cw * (index % cols), area.top() + cellH * (index / cols), cw,
                  cellH);
}

void drawKeyCap(QPainter &p, const QRectF &r, const QString &label)
{
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x70, 0x78, 0x88));
    p.drawRoundedRect(r.translated(0, 1.5), 3, 3);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, Qt::white);
    g.setColorAt(1, QColor(0xdc, 0xe0, 0xe8));
    p.setPen(QPen(QColor(0x70, 0x78, 0x88), 0.9));
    p.setBrush(g);
    p.drawRoundedRect(r, 3, 3);
    drawText(p, r.adjusted(0, -1, 0, 0), label, uiFont(9, true), ink, Qt::AlignCenter);
    p.restore();
}

// --- stock thumbnails (100 x 100 on white) -----------------------------------------------------

QImage unknownThumb()
{
    QImage img = canvas(100, 100, Qt::white);
    QPainter p(&img);
    smooth(p);
    const QRectF page(24, 12, 52, 70);
    const qreal fold = 14;
    QPainterPath sheet;
    sheet.moveTo(page.topLeft());
    sheet.lineTo(page.right() - fold, page.top());
    sheet.lineTo(page.right(), page.top() + fold);
    sheet.lineTo(page.bottomRight());
    sheet.lineTo(page.bottomLeft());
    sheet.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 30));
    p.drawPath(sheet.translated(2, 2));
    QLinearGradient g(page.topLeft(), page.bottomRight());
    g.setColorAt(0, Qt::white);
    g.setColorAt(1, QColor(0xe9, 0xee, 0xf5));
    p.setBrush(g);
    p.setPen(QPen(QColor(0x8a, 0x96, 0xa8), 1.4, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    p.drawPath(sheet);
    QPainterPath corner;
    corner.moveTo(page.right() - fold, page.top());
    corner.lineTo(page.right() - fold, page.top() + fold);
    corner.lineTo(page.right(), page.top() + fold);
    corner.closeSubpath();
    p.setBrush(QColor(0xd2, 0xda, 0xe6));
    p.drawPath(corner);

    // Faint text lines under the question mark.
    p.setPen(QPen(QColor(0xc8, 0xd0, 0xdc), 2, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i)
        p.drawLine(QPointF(page.left() + 9, 66 + i * 5.0),
                   QPointF(page.right() - (i == 2 ? 20 : 9), 66 + i * 5.0));

    QFont f = uiFont(40, true);
    drawText(p, QRectF(page.left(), page.top() + 4, page.width(), 52), QStringLiteral("?"), f,
             brand, Qt::AlignCenter);
    p.end();
    return img;
}

QImage folderThumb(bool withUpArrow)
{
    QImage img = canvas(100, 100, Qt::white);
    QPainter p(&img);
    smooth(p);
    p.setPen(Qt::NoPen);
    QRadialGradient shadow(QPointF(50, 84), 40);
    shadow.setColorAt(0, QColor(0, 0, 0, 45));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    p.setBrush(shadow);
    p.drawEllipse(QPointF(50, 84), 42, 6);
    drawFolder(p, QRectF(14, 20, 72, 62));
    if (withUpArrow) {
        const QPainterPath a = upArrow(QRectF(35, 38, 30, 36));
        p.setPen(QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(a);
        QLinearGradient g(QPointF(0, 38), QPointF(0, 74));
        g.setColorAt(0, QColor(0x4c, 0xb8, 0x4a));
        g.setColorAt(1, QColor(0x2a, 0x8a, 0x34));
        p.setPen(QPen(QColor(0x1e, 0x6a, 0x28), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(g);
        p.drawPath(a);
    }
    p.end();
    return img;
}

// --- 16 x 16 icons -----------------------------------------------------------------------------

QImage upIcon()
{
    QImage img = canvas(16, 16);
    QPainter p(&img);
    smooth(p);
    const QPainterPath a = upArrow(QRectF(1.5, 1.5, 13, 13));
    QLinearGradient g(QPointF(0, 1), QPointF(0, 15));
    g.setColorAt(0, QColor(0x5c, 0xc8, 0x58));
    g.setColorAt(1, QColor(0x24, 0x88, 0x30));
    p.setPen(QPen(QColor(0x1a, 0x5e, 0x22), 1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(g);
    p.drawPath(a);
    p.end();
    return img;
}

// A closed album: a blue hard cover with a spine and a photo on the front.
QImage albumIcon()
{
    QImage img = canvas(16, 16);
    QPainter p(&img);
    smooth(p);
    // Whole-pixel edges: at 16 pixels a half-pixel frame turns to mush.
    p.setPen(QPen(brandDark.darker(120), 1));
    p.setBrush(brand);
    p.drawRoundedRect(QRectF(2.5, 1.5, 11, 13), 1.2, 1.2);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(brandDark);
    p.drawRect(QRect(3, 2, 2, 12));
    p.setBrush(QColor(0x7a, 0xaa, 0xe6));
    p.drawRect(QRect(5, 2, 1, 12));
    p.setBrush(Qt::white);
    p.drawRect(QRect(7, 4, 6, 6));
    drawPhoto(p, QRectF(8, 5, 4, 4), 0);
    p.setBrush(QColor(0xf0, 0xc0, 0x40));
    p.drawRect(QRect(8, 11, 4, 1));
    p.end();
    return img;
}

// The same album lying open: two pages, each holding a photo.
QImage albumSelectedIcon()
{
    QImage img = canvas(16, 16);
    QPainter p(&img);
    smooth(p);
    QPainterPath cover;
    cover.moveTo(0.5, 4.5);
    cover.lineTo(8, 5.5);
    cover.lineTo(15.5, 4.5);
    cover.lineTo(15.5, 14.5);
    cover.lineTo(8, 15.5);
    cover.lineTo(0.5, 14.5);
    cover.closeSubpath();
    p.setPen(QPen(brandDark.darker(120), 1));
    p.setBrush(brand);
    p.drawPath(cover);
    QPainterPath left, right;
    left.moveTo(1.5, 3);
    left.lineTo(8, 4.2);
    left.lineTo(8, 14);
    left.lineTo(1.5, 13);
    left.closeSubpath();
    right.moveTo(14.5, 3);
    right.lineTo(8, 4.2);
    right.lineTo(8, 14);
    right.lineTo(14.5, 13);
    right.closeSubpath();
    p.setPen(QPen(QColor(0x9a, 0xa4, 0xb4), 0.7));
    p.setBrush(Qt::white);
    p.drawPath(left);
    p.drawPath(right);
    drawPhoto(p, QRectF(2.6, 5.6, 4.4, 4.2), 3);
    drawPhoto(p, QRectF(9.0, 5.6, 4.4, 4.2), 2);
    p.end();
    return img;
}

// A photo with a green plus badge: "add to print".
QImage addPrintIcon()
{
    QImage img = canvas(16, 16);
    QPainter p(&img);
    smooth(p);
    p.setPen(QPen(QColor(0x6a, 0x76, 0x88), 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(0.5, 1.5, 12, 10));
    drawPhoto(p, QRectF(2, 3, 9, 7), 0);
    p.setPen(QPen(QColor(0x1a, 0x6a, 0x24), 1));
    p.setBrush(QColor(0x3c, 0xaa, 0x3e));
    p.drawEllipse(QRectF(8.5, 8.5, 7, 7));
    // Whole-pixel strokes keep the plus sharp at 16 pixels.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRect(11, 9, 2, 6));
    p.drawRect(QRect(9, 11, 6, 2));
    p.end();
    return img;
}

// --- window icon ----------------------------------------------------------------------------

// Designed on a 256 grid: a blue tile, a tilted print behind a white camera. size is the pixel
// size it is drawn for; small sizes get bolder outlines.
void paintAppIcon(QPainter &p, int size)
{
    smooth(p);
    p.scale(size / 256.0, size / 256.0);

    const QRectF tile(8, 8, 240, 240);
    QLinearGradient bg(tile.topLeft(), tile.bottomLeft());
    bg.setColorAt(0, QColor(0x4a, 0x9c, 0xf0));
    bg.setColorAt(1, brandDark);
    p.setPen(Qt::NoPen);
    p.setBrush(bg);
    p.drawRoundedRect(tile, 52, 52);
    p.setBrush(QColor(255, 255, 255, 28));
    QPainterPath shine;
    shine.addRoundedRect(tile, 52, 52);
    QPainterPath lower;
    lower.addEllipse(QRectF(-80, 110, 420, 300));
    p.drawPath(shine.subtracted(lower));

    // The print, tilted, behind the camera.
    p.save();
    p.translate(150, 86);
    p.rotate(12);
    const QRectF print(-62, -52, 124, 104);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRoundedRect(print.translated(5, 6), 4, 4);
    p.setBrush(Qt::white);
    p.drawRoundedRect(print, 4, 4);
    drawPhoto(p, print.adjusted(9, 9, -9, -24), 1);
    p.restore();

    // Camera body.
    const QRectF body(30, 108, 196, 118);
    const qreal line = size >= 128 ? 6 : 9;
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawRoundedRect(body.translated(0, 7), 22, 22);
    QLinearGradient gb(body.topLeft(), body.bottomLeft());
    gb.setColorAt(0, Qt::white);
    gb.setColorAt(1, QColor(0xd6, 0xdd, 0xe8));
    p.setPen(QPen(ink, line * 0.8));
    p.setBrush(accent);
    p.drawRoundedRect(QRectF(162, 92, 40, 24), 6, 6);
    p.setPen(QPen(ink, line, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    QPainterPath cam;
    cam.addRoundedRect(body, 22, 22);
    cam.addRoundedRect(QRectF(60, 86, 66, 40), 10, 10);
    cam.setFillRule(Qt::WindingFill);
    p.setBrush(gb);
    p.drawPath(cam.simplified());
    p.setBrush(QColor(0xfc, 0xe8, 0x9a));
    p.setPen(QPen(ink, line * 0.6));
    p.drawRoundedRect(QRectF(46, 124, 28, 16), 4, 4);

    // Lens.
    const QPointF c(128, 168);
    p.setPen(QPen(ink, line));
    p.setBrush(QColor(0x3a, 0x46, 0x58));
    p.drawEllipse(c, 46, 46);
    QRadialGradient glass(c + QPointF(-10, -12), 40);
    glass.setColorAt(0, QColor(0x7c, 0xc4, 0xff));
    glass.setColorAt(0.55, QColor(0x1e, 0x5a, 0xb4));
    glass.setColorAt(1, QColor(0x0c, 0x22, 0x48));
    p.setPen(Qt::NoPen);
    p.setBrush(glass);
    p.drawEllipse(c, 33, 33);
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(c + QPointF(-13, -13), 9, 7);
}

QImage appIcon(int size)
{
    QImage img = canvas(size, size);
    QPainter p(&img);
    paintAppIcon(p, size);
    p.end();
    return img;
}

// The same drawing as vectors, for the icon theme's scalable size.
bool writeAppIconSvg(const QString &path)
{
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(256, 256));
    svg.setViewBox(QRect(0, 0, 256, 256));
    svg.setTitle(QStringLiteral("tovela"));
    QPainter p;
    if (!p.begin(&svg))
        return false;
    paintAppIcon(p, 256);
    if (!p.end())
        return false;
    // The generator states the size in millimetres; icon themes expect pixels.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QString text = QString::fromUtf8(file.readAll());
    file.close();
    text.replace(
        QRegularExpression(QStringLiteral("<svg width=\"[0-9.]+mm\" height=\"[0-9.]+mm\"")),
        QStringLiteral("<svg width=\"256\" height=\"256\""));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(text.toUtf8()) > 0;
}

// --- login logo ------------------------------------------------------------------------------

QImage loginLogo()
{
    QImage img = canvas(106, 25);
    QPainter p(&img);
    smooth(p);
    // Mark: a blue disc holding a tiny landscape, like a lens looking at a view.
    const QRectF mark(1, 1.5, 22, 22);
    p.setPen(Qt::NoPen);
    p.setBrush(brandDark);
    p.drawEllipse(mark);
    QPainterPath clip;
    clip.addEllipse(mark.adjusted(2.5, 2.5, -2.5, -2.5));
    p.save();
    p.setClipPath(clip);
    drawPhoto(p, mark.adjusted(2.5, 2.5, -2.5, -2.5), 0);
    p.restore();

    QString name = QStringLiteral("ルミナード");
    QFont f = uiFont(17, true);
    const QRectF textArea(26, 0, 106 - 26, 25);
    while (QFontMetricsF(f).horizontalAdvance(name) > textArea.width() - 1 && f.pixelSize() > 10)
        f.setPixelSize(f.pixelSize() - 1);
    const qreal tw = QFontMetricsF(f).horizontalAdvance(name);
    drawText(p, textArea.adjusted(0, -2, 0, 0), name, f, brandDark,
             Qt::AlignLeft | Qt::AlignVCenter);
    p.setPen(Qt::NoPen);
    p.setBrush(accent);
    p.drawRoundedRect(QRectF(textArea.left() + 1, 21.5, tw - 2, 2.2), 1, 1);
    p.end();
    return img;
}

// --- guide pages (200 x 150) -----------------------------------------------------------------

QImage guideCanvas()
{
    QImage img = canvas(200, 150);
    QPainter p(&img);
    QLinearGradient bg(0, 0, 0, 150);
    bg.setColorAt(0, QColor(0xe8, 0xf1, 0xfb));
    bg.setColorAt(1, QColor(0xcf, 0xdf, 0xf2));
    p.fillRect(img.rect(), bg);
    p.end();
    return img;
}

void whitePane(QPainter &p, const QRectF &r)
{
    p.save();
    p.setPen(QPen(QColor(0xa8, 0xb4, 0xc4), 0.8));
    p.setBrush(Qt::white);
    p.drawRect(r);
    p.restore();
}

void treeRow(QPainter &p, const QRectF &row, int indent, const QString &name, bool selected,
             bool expanded)
{
    const qreal x = row.left() + 2 + indent * 6;
    if (selected) {
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(selectBlue);
        p.drawRoundedRect(QRectF(x + 9, row.top() + 0.5, row.right() - x - 9.5, row.height() - 1),
                          1.5, 1.5);
        p.restore();
    }
    if (expanded) {
        p.save();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x70, 0x7c, 0x8c));
        const qreal cy = row.center().y();
        QPolygonF tri;
        tri << QPointF(x - 4.5, cy - 1.5) << QPointF(x - 0.5, cy - 1.5)
            << QPointF(x - 2.5, cy + 1.5);
        p.drawPolygon(tri);
        p.restore();
    }
    drawFolder(p, QRectF(x, row.center().y() - 3.5, 8, 7));
    drawText(p, QRectF(x + 10.5, row.top(), row.right() - x - 10, row.height()), name, uiFont(8),
             selected ? Qt::white : ink);
}

// Step 1: the folder tree on the left, one folder chosen, its photos filling the list.
QImage guidePage0()
{
    QImage img = guideCanvas();
    QPainter p(&img);
    smooth(p);
    const QRectF client = drawWindow(p, QRectF(3.5, 3.5, 193, 143), QStringLiteral("STEP 1"));
    const QRectF tree(client.left() + 2, client.top() + 2, 66, client.height() - 4);
    const QRectF list(tree.right() + 4, tree.top(), client.right() - tree.right() - 6,
                      tree.height());
    whitePane(p, tree);
    whitePane(p, list);

    struct Row {
        int indent;
        const char *name;
        bool expanded;
    };
    const Row rows[] = {{0, "デスクトップ", true},  {1, "ピクチャ", true}, {2, "旅行", false},
                        {2, "家族", false},         {2, "運動会", false},  {2, "花火", false},
                        {1, "ドキュメント", false}, {1, "音楽", false}};
    const int chosen = 2;
    const qreal rowH = 13;
    for (int i = 0; i < int(sizeof rows / sizeof rows[0]); ++i)
        treeRow(p, QRectF(tree.left() + 1, tree.top() + 3 + i * rowH, tree.width() - 2, rowH),
                rows[i].indent, QString::fromUtf8(rows[i].name), i == chosen, rows[i].expanded);

    // Thumbnails arriving one after another: the last ones are still fading in.
    const QRectF grid = list.adjusted(2, 3, -2, -2);
    for (int i = 0; i < 9; ++i) {
        const qreal opacity = i < 6 ? 1.0 : (i == 6 ? 0.55 : (i == 7 ? 0.3 : 0.12));
        drawThumbCell(p, gridCell(grid, 3, 40, i).adjusted(1, 1, -1, -1), i + 1, false, opacity);
    }

    const QPointF rowMid(tree.left() + 40, tree.top() + 3 + chosen * rowH + rowH / 2);
    drawCurvedArrow(p, QPointF(tree.right() - 1, rowMid.y() + 1),
                    QPointF(list.left() + 16, rowMid.y() + 30), -9, accent, 2.2);
    drawPointer(p, rowMid + QPointF(8, 1), 0.95);
    p.end();
    return img;
}

// Step 2: several photos selected, a rubber band being dragged, Shift and Ctrl as helpers.
QImage guidePage1()
{
    QImage img = guideCanvas();
    QPainter p(&img);
    smooth(p);
    const QRectF client = drawWindow(p, QRectF(3.5, 3.5, 193, 143), QStringLiteral("STEP 2"));
    const QRectF list = client.adjusted(2, 2, -2, -2);
    whitePane(p, list);
    const QRectF grid = list.adjusted(2, 3, -2, -2);
    const qreal cellH = 41;
    const bool selected[] = {false, true, true, false, false, true, true, false, true, false};
    for (int i = 0; i < 10; ++i)
        drawThumbCell(p, gridCell(grid, 4, cellH, i).adjusted(1, 1, -1, -1), i + 2, selected[i]);

    // The rubber band around cells 1, 2, 5, 6, dragged from top-left to bottom-right.
    const QRectF a = gridCell(grid, 4, cellH, 1), b = gridCell(grid, 4, cellH, 6);
    const QRectF band(a.left() + 5, a.top() + 6, b.right() - a.left() - 2,
                      b.bottom() - a.top() - 4);
    p.save();
    p.setBrush(QColor(0x33, 0x80, 0xe0, 45));
    p.setPen(QPen(selectBlue, 1.0, Qt::DashLine));
    p.drawRect(band);
    p.restore();
    drawPointer(p, band.bottomRight() - QPointF(0.5, 0.5), 0.95);

    // Shift / Ctrl caps where the last row of the folder ends.
    const QRectF keys(gridCell(grid, 4, cellH, 10).left() + 2,
                      gridCell(grid, 4, cellH, 10).top() + 6,
                      grid.right() - gridCell(grid, 4, cellH, 10).left() - 4, 26);
    drawKeyCap(p, QRectF(keys.left(), keys.top() + 4, 34, 18), QStringLiteral("Shift"));
    drawText(p, QRectF(keys.left() + 35, keys.top() + 4, 12, 18), QStringLiteral("/"),
             uiFont(11, true), ink, Qt::AlignCenter);
    drawKeyCap(p, QRectF(keys.left() + 48, keys.top() + 4, 32, 18), QStringLiteral("Ctrl"));
    p.end();
    return img;
}

// Step 3: right-click on the selection, the menu offers "画像をプリントに追加する".
QImage guidePage2()
{
    QImage img = guideCanvas();
    QPainter p(&img);
    smooth(p);
    const QRectF client = drawWindow(p, QRectF(3.5, 3.5, 193, 143), QStringLiteral("STEP 3"));
    const QRectF list = client.adjusted(2, 2, -2, -2);
    whitePane(p, list);
    const QRectF grid = list.adjusted(2, 3, -2, -2);
    const qreal cellH = 41;
    const bool selected[] = {true,  true,  false, false, true,  true,
                             false, false, false, false, false, false};
    for (int i = 0; i < 12; ++i)
        drawThumbCell(p, gridCell(grid, 4, cellH, i).adjusted(1, 1, -1, -1), i + 5, selected[i]);

    const QPointF click = gridCell(grid, 4, cellH, 4).center() + QPointF(2, -4);
    const QString label = QStringLiteral("画像をプリントに追加する");
    const QFont f = uiFont(10);
    const qreal tw = QFontMetricsF(f).horizontalAdvance(label);
    const QRectF menu(click.x() + 2, click.y() + 2, tw + 40, 22);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 55));
    p.drawRect(menu.translated(2, 2));
    p.setPen(QPen(QColor(0x8a, 0x96, 0xa8), 0.8));
    p.setBrush(QColor(0xfa, 0xfb, 0xfd));
    p.drawRect(menu);
    const QRectF item = menu.adjusted(2, 2, -2, -2);
    p.setPen(QPen(selectBlue.darker(115), 0.8));
    p.setBrush(QColor(0xc8, 0xdf, 0xfa));
    p.drawRoundedRect(item, 2, 2);
    p.restore();
    p.drawImage(QPointF(item.left() + 3, item.center().y() - 8), addPrintIcon());
    drawText(p, item.adjusted(23, -1, 0, 0), label, f, ink);

    drawPointer(p, QPointF(item.right() - 9, item.center().y() + 1), 0.95);
    p.end();
    return img;
}

// Step 4: press "注文ページへ"; the browser shows the order page with the photos added.
QImage guidePage3()
{
    QImage img = guideCanvas();
    QPainter p(&img);
    smooth(p);

    // The program's toolbar.
    const QRectF bar(3.5, 3.5, 193, 24);
    p.save();
    p.setPen(QPen(QColor(0xa8, 0xb4, 0xc4), 0.8));
    QLinearGradient gbar(bar.topLeft(), bar.bottomLeft());
    gbar.setColorAt(0, QColor(0xfb, 0xfc, 0xfe));
    gbar.setColorAt(1, QColor(0xe2, 0xe8, 0xf0));
    p.setBrush(gbar);
    p.drawRoundedRect(bar, 3, 3);
    p.restore();
    const QFont barFont = uiFont(9);
    const QString addLabel = QStringLiteral("プリントへ追加");
    p.drawImage(QPointF(bar.left() + 5, bar.center().y() - 8), addPrintIcon());
    drawText(p, QRectF(bar.left() + 23, bar.top(), 70, bar.height()), addLabel, barFont,
             QColor(0x5a, 0x64, 0x74));
    const QString orderLabel = QStringLiteral("注文ページへ");
    const qreal ow = QFontMetricsF(uiFont(10, true)).horizontalAdvance(orderLabel);
    const QRectF button(bar.right() - ow - 16, bar.top() + 3, ow + 12, bar.height() - 6);
    p.save();
    QLinearGradient gbtn(button.topLeft(), button.bottomLeft());
    gbtn.setColorAt(0, accent.lighter(125));
    gbtn.setColorAt(1, accent.darker(108));
    p.setPen(QPen(accent.darker(140), 0.9));
    p.setBrush(gbtn);
    p.drawRoundedRect(button, 3, 3);
    p.restore();
    drawText(p, button.adjusted(0, -1, 0, 0), orderLabel, uiFont(10, true), Qt::white,
             Qt::AlignCenter);

    // The browser with the order page.
    const QRectF win(3.5, 35.5, 193, 111);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 35));
    p.drawRoundedRect(win.translated(1.5, 1.5), 3, 3);
    p.setPen(QPen(QColor(0x6a, 0x7e, 0x9a), 1));
    p.setBrush(QColor(0xe4, 0xe8, 0xee));
    p.drawRoundedRect(win, 3, 3);
    // Window dots and the address field.
    const QColor dots[] = {{0xe8, 0x5a, 0x4a}, {0xf2, 0xb8, 0x30}, {0x5a, 0xb8, 0x4a}};
    for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(dots[i]);
        p.drawEllipse(QPointF(win.left() + 7 + i * 6, win.top() + 6.5), 2.1, 2.1);
    }
    const QRectF address(win.left() + 27, win.top() + 2.5, win.width() - 31, 9);
    p.setPen(QPen(QColor(0xb0, 0xb8, 0xc4), 0.7));
    p.setBrush(Qt::white);
    p.drawRoundedRect(address, 4.5, 4.5);
    p.restore();
    drawText(p, address.adjusted(5, -1, 0, 0), QStringLiteral("http://luminado.example/order.php"),
             uiFont(7), QColor(0x50, 0x5a, 0x6a));

    const QRectF page(win.left() + 1, address.bottom() + 2.5, win.width() - 2,
                      win.bottom() - address.bottom() - 3.5);
    p.fillRect(page, Qt::white);
    const QRectF header(page.left(), page.top(), page.width(), 13);
    QLinearGradient gh(header.topLeft(), header.topRight());
    gh.setColorAt(0, brand);
    gh.setColorAt(1, brandDark);
    p.fillRect(header, gh);
    drawText(p, header.adjusted(5, -1, 0, 0), QStringLiteral("ルミナード  ご注文"), uiFont(9, true),
             Qt::white);

    // One line per added photo: the photo, a size box and a count box.
    const QFont small = uiFont(8);
    const char *sizes[] = {"L判", "2L判", "L判"};
    const char *counts[] = {"1", "2", "1"};
    auto combo = [&](const QRectF &r, const QString &text) {
        p.save();
        p.setPen(QPen(QColor(0x98, 0xa4, 0xb4), 0.8));
        p.setBrush(QColor(0xfa, 0xfb, 0xfd));
        p.drawRect(r);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x60, 0x6c, 0x7c));
        const QPointF c(r.right() - 4.5, r.center().y());
        QPolygonF tri;
        tri << c + QPointF(-2.2, -1.2) << c + QPointF(2.2, -1.2) << c + QPointF(0, 1.6);
        p.drawPolygon(tri);
        p.restore();
        drawText(p, r.adjusted(3, -1, -8, 0), text, small, ink);
    };
    for (int i = 0; i < 3; ++i) {
        const qreal y = header.bottom() + 3 + i * 22;
        drawPrint(p, QRectF(page.left() + 5, y, 26, 19), i + 1, 1.0);
        drawText(p, QRectF(page.left() + 36, y + 1, 26, 17), QStringLiteral("サイズ"), small, ink);
        combo(QRectF(page.left() + 62, y + 4, 34, 11), QString::fromUtf8(sizes[i]));
        drawText(p, QRectF(page.left() + 102, y + 1, 20, 17), QStringLiteral("枚数"), small, ink);
        combo(QRectF(page.left() + 121, y + 4, 22, 11), QString::fromUtf8(counts[i]));
        if (i < 2) {
            p.setPen(QPen(QColor(0xe2, 0xe6, 0xec), 0.8));
            p.drawLine(QPointF(page.left() + 4, y + 20.5), QPointF(page.left() + 148, y + 20.5));
        }
    }
    const QRectF orderBtn(page.right() - 40, page.bottom() - 19, 36, 15);
    p.save();
    p.setPen(QPen(accent.darker(140), 0.8));
    p.setBrush(accent);
    p.drawRoundedRect(orderBtn, 3, 3);
    p.restore();
    drawText(p, orderBtn.adjusted(0, -1, 0, 0), QStringLiteral("注文する"), uiFont(8, true),
             Qt::white, Qt::AlignCenter);

    drawCurvedArrow(p, QPointF(button.center().x() - 10, button.bottom() + 3),
                    QPointF(page.right() - 22, page.top() + 20), -10, accent, 2.2);
    drawPointer(p, QPointF(button.right() - 4, button.bottom() - 4), 0.95);
    p.end();
    return img;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_resources <resources folder>\n");
        return 2;
    }
    const QDir root(QString::fromLocal8Bit(argv[1]));
    const std::pair<const char *, std::function<QImage()>> pictures[] = {
        {"thumbs/unknown.png", unknownThumb},
        {"thumbs/folder.png", [] { return folderThumb(false); }},
        {"thumbs/folderup.png", [] { return folderThumb(true); }},
        {"icons/up.png", upIcon},
        {"icons/album.png", albumIcon},
        {"icons/album_selected.png", albumSelectedIcon},
        {"icons/addprint.png", addPrintIcon},
        {"icons/tovela.png", [] { return appIcon(64); }},
        {"icons/tovela256.png", [] { return appIcon(256); }},
        // The launcher icon's other sizes in the desktop's icon theme.
        {"icons/tovela16.png", [] { return appIcon(16); }},
        {"icons/tovela22.png", [] { return appIcon(22); }},
        {"icons/tovela24.png", [] { return appIcon(24); }},
        {"icons/tovela32.png", [] { return appIcon(32); }},
        {"icons/tovela48.png", [] { return appIcon(48); }},
        {"icons/tovela128.png", [] { return appIcon(128); }},
        {"login/logo.png", loginLogo},
        {"guide/page0.png", guidePage0},
        {"guide/page1.png", guidePage1},
        {"guide/page2.png", guidePage2},
        {"guide/page3.png", guidePage3},
    };
    int failures = 0;
    for (const qreal ratio : {1, 2}) {
        pixelRatio = ratio;
        for (const auto &[name, draw] : pictures) {
            QString file = QString::fromUtf8(name);
            if (ratio != 1)
                file.insert(file.lastIndexOf(QLatin1Char('.')), QStringLiteral("@2x"));
            const QString path = root.filePath(file);
            QDir().mkpath(QFileInfo(path).path());
            const QImage img = draw().convertToFormat(QImage::Format_ARGB32);
            if (!img.save(path, "PNG")) {
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
                ++failures;
                continue;
            }
            std::printf("%s %dx%d\n", qPrintable(path), img.width(), img.height());
        }
    }
    pixelRatio = 1;
    const QString svg = root.filePath(QStringLiteral("icons/tovela.svg"));
    if (writeAppIconSvg(svg)) {
        std::printf("%s scalable\n", qPrintable(svg));
    } else {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(svg));
        ++failures;
    }
    return failures == 0 ? 0 : 1;
}
