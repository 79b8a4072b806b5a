#include "SmallIcons.h"

#include "Painting.h"
#include "Photo.h"
#include "Shapes.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace resgen
{

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

} // namespace resgen
