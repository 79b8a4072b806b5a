#include "Shapes.h"

#include <QLinearGradient>

namespace resgen
{

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

} // namespace resgen
