#include "GuideParts.h"

#include "Painting.h"
#include "Photo.h"
#include "Shapes.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>

namespace resgen
{

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

void drawWindowFrame(QPainter &p, const QRectF &r, const QColor &face)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 35));
    p.drawRoundedRect(r.translated(1.5, 1.5), 3, 3);
    p.setPen(QPen(QColor(0x6a, 0x7e, 0x9a), 1));
    p.setBrush(face);
    p.drawRoundedRect(r, 3, 3);
}

QRectF drawWindow(QPainter &p, const QRectF &r, const QString &caption)
{
    p.save();
    drawWindowFrame(p, r, QColor(0xf0, 0xf2, 0xf5));
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

void drawThumbCell(QPainter &p, const QRectF &cell, int variant, bool selected, qreal opacity)
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

void drawPointer(QPainter &p, const QPointF &tip, qreal scale)
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

} // namespace resgen
