#pragma once
// Shapes drawn at several sizes by more than one picture: the folder and the "up" arrow.
#include <QPainter>
#include <QPainterPath>
#include <QRectF>

namespace resgen
{

// Yellow manila folder filling r (back with a tab, a sheet peeking out, front flap).
void drawFolder(QPainter &p, const QRectF &r);

// A fat arrow pointing up with its tip at the top centre of r.
QPainterPath upArrow(const QRectF &r);

} // namespace resgen
