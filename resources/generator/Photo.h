#pragma once
// The small landscape that stands for a photograph in every picture, bare or as a bordered print.
#include <QPainter>
#include <QRectF>

namespace resgen
{

// A small landscape (sky, sun, hills or sea) that reads as a photograph even at 20 pixels.
void drawPhoto(QPainter &p, const QRectF &r, int variant);

// A photo with a white border and a soft shadow, as a print or a list thumbnail.
void drawPrint(QPainter &p, const QRectF &r, int variant, qreal border = 1.5);

} // namespace resgen
