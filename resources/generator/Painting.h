#pragma once
// The service's colours and the few helpers every drawing of the generator shares: the canvas
// at the density being drawn, the painter's smoothing, the interface font and a text line.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>

namespace resgen
{

// The service's colours: a clear blue for the frame of things, orange for "do this".
extern const QColor brand;
extern const QColor brandDark;
extern const QColor accent;
extern const QColor selectBlue;
extern const QColor selectFill;
extern const QColor ink;

// The pixel density of the pictures being drawn: 1, or 2 for the "@2x" set. Every drawing is
// laid out in the plain picture's pixels; the canvas carries the density to the painter.
extern qreal pixelRatio;

QImage canvas(int w, int h, const QColor &fill = Qt::transparent);
void smooth(QPainter &p);
QFont uiFont(qreal pixels, bool bold = false);
void drawText(QPainter &p, const QRectF &r, const QString &text, const QFont &f, const QColor &c,
              int flags = Qt::AlignLeft | Qt::AlignVCenter);

} // namespace resgen
