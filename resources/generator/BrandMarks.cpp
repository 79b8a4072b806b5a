#include "BrandMarks.h"

#include "Painting.h"
#include "Photo.h"

#include <QFile>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRegularExpression>
#include <QSvgGenerator>

namespace resgen
{
namespace
{

// The window icon is designed on a 256 grid: a blue tile, a tilted print behind a white camera.
// line is the camera's outline width; small sizes get bolder outlines.

void drawTile(QPainter &p)
{
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
}

// The print, tilted, behind the camera.
void drawTiltedPrint(QPainter &p)
{
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
}

void drawCameraBody(QPainter &p, qreal line)
{
    const QRectF body(30, 108, 196, 118);
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
}

void drawLens(QPainter &p, qreal line)
{
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

// size is the pixel size the icon is drawn for.
void paintAppIcon(QPainter &p, int size)
{
    smooth(p);
    p.scale(size / 256.0, size / 256.0);
    drawTile(p);
    drawTiltedPrint(p);
    const qreal line = size >= 128 ? 6 : 9;
    drawCameraBody(p, line);
    drawLens(p, line);
}

} // namespace

QImage appIcon(int size)
{
    QImage img = canvas(size, size);
    QPainter p(&img);
    paintAppIcon(p, size);
    p.end();
    return img;
}

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

} // namespace resgen
