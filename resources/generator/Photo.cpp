#include "Photo.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace resgen
{
namespace
{

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

// The picture's rectangle and its orientation: every other variant is drawn mirrored, and
// points are given as fractions of the picture.
struct PhotoFrame {
    QRectF r;
    bool mirror;
    qreal w, h;

    QPointF pt(qreal fx, qreal fy) const
    {
        return QPointF(mirror ? r.right() - w * fx : r.left() + w * fx, r.top() + h * fy);
    }
};

void drawSky(QPainter &p, const PhotoFrame &f, const PhotoStyle &s)
{
    QLinearGradient sky(f.r.topLeft(), f.r.bottomLeft());
    sky.setColorAt(0, s.skyTop);
    sky.setColorAt(0.75, s.skyBottom);
    p.fillRect(f.r, sky);
}

void drawSun(QPainter &p, const PhotoFrame &f, const PhotoStyle &s)
{
    const QPointF sun = f.pt(s.sunX, s.sunY);
    const qreal sunR = qMax(1.2, f.h * 0.12);
    if (f.h > 30) {
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
}

// A couple of soft clouds on the larger pictures.
void drawClouds(QPainter &p, const PhotoFrame &f)
{
    if (f.h > 24) {
        p.setBrush(QColor(255, 255, 255, 170));
        const QPointF c = f.pt(0.42, 0.2);
        p.drawEllipse(c, f.w * 0.09, f.h * 0.05);
        p.drawEllipse(c + QPointF(f.w * 0.06 * (f.mirror ? -1 : 1), -f.h * 0.02), f.w * 0.06,
                      f.h * 0.05);
    }
}

// The far hill, or a snowy peak.
void drawFarHill(QPainter &p, const PhotoFrame &f, const PhotoStyle &s)
{
    QPainterPath far;
    if (s.mountain) {
        far.moveTo(f.pt(0, 0.78));
        far.lineTo(f.pt(0.30, 0.50));
        far.lineTo(f.pt(0.55, 0.28));
        far.lineTo(f.pt(0.78, 0.52));
        far.lineTo(f.pt(1, 0.62));
    } else {
        far.moveTo(f.pt(0, 0.68));
        far.cubicTo(f.pt(0.22, 0.46), f.pt(0.42, 0.48), f.pt(0.60, 0.62));
        far.cubicTo(f.pt(0.74, 0.72), f.pt(0.86, 0.52), f.pt(1, 0.56));
    }
    far.lineTo(f.pt(1, 1));
    far.lineTo(f.pt(0, 1));
    far.closeSubpath();
    if (s.mountain) {
        QLinearGradient g(f.pt(0, 0.28), f.pt(0, 0.8));
        g.setColorAt(0, s.farHill);
        g.setColorAt(0.35, s.farHill);
        g.setColorAt(0.36, QColor(0x8e, 0xa4, 0xc0));
        g.setColorAt(1, QColor(0x6a, 0x80, 0xa0));
        p.setBrush(g);
    } else {
        p.setBrush(s.farHill);
    }
    p.drawPath(far);
}

void drawSea(QPainter &p, const PhotoFrame &f, const PhotoStyle &s)
{
    const QRectF sea(f.r.left(), f.r.top() + f.h * 0.70, f.w, f.h * 0.30);
    QLinearGradient g(sea.topLeft(), sea.bottomLeft());
    g.setColorAt(0, s.nearHill.lighter(115));
    g.setColorAt(1, s.nearHill.darker(130));
    p.fillRect(sea, g);
    if (f.h > 16) {
        p.setPen(QPen(QColor(255, 255, 255, 150), qMax(0.6, f.h / 60.0)));
        p.drawLine(f.pt(0.15, 0.80), f.pt(0.35, 0.80));
        p.drawLine(f.pt(0.55, 0.88), f.pt(0.80, 0.88));
        p.setPen(Qt::NoPen);
    }
}

void drawNearHill(QPainter &p, const PhotoFrame &f, const PhotoStyle &s)
{
    QPainterPath nearHill;
    nearHill.moveTo(f.pt(0, 0.84));
    nearHill.cubicTo(f.pt(0.30, 0.66), f.pt(0.62, 0.94), f.pt(1, 0.74));
    nearHill.lineTo(f.pt(1, 1));
    nearHill.lineTo(f.pt(0, 1));
    nearHill.closeSubpath();
    p.setBrush(s.nearHill);
    p.drawPath(nearHill);
    if (f.h > 20) {
        // A little tree on the near hill.
        const QPointF base = f.pt(0.22, 0.80);
        p.setBrush(s.nearHill.darker(140));
        p.drawRect(QRectF(base.x() - f.w * 0.008, base.y() - f.h * 0.08, qMax(0.8, f.w * 0.016),
                          f.h * 0.08));
        p.drawEllipse(QPointF(base.x(), base.y() - f.h * 0.11), f.w * 0.045, f.h * 0.07);
    }
}

} // namespace

void drawPhoto(QPainter &p, const QRectF &r, int variant)
{
    const PhotoStyle &s = photoStyles[variant % photoStyleCount];
    const PhotoFrame f{r, (variant / photoStyleCount) % 2 == 1, r.width(), r.height()};

    p.save();
    p.setClipRect(r);
    p.setPen(Qt::NoPen);
    drawSky(p, f, s);
    drawSun(p, f, s);
    drawClouds(p, f);
    drawFarHill(p, f, s);
    if (s.water)
        drawSea(p, f, s);
    else
        drawNearHill(p, f, s);
    p.restore();
}

void drawPrint(QPainter &p, const QRectF &r, int variant, qreal border)
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

} // namespace resgen
