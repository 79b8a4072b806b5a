#include "StockThumbnails.h"

#include "Painting.h"
#include "Shapes.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

namespace resgen
{

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

} // namespace resgen
