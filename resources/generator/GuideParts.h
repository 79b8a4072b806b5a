#pragma once
// The mock interface the guide pages are drawn from: the page's background, a window, the
// folder tree's rows, the thumbnail list's cells, a key cap, the mouse pointer and an arrow.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QRectF>
#include <QString>

namespace resgen
{

// A guide page's background (200 x 150), a soft blue from top to bottom.
QImage guideCanvas();

void whitePane(QPainter &p, const QRectF &r);

// A row of the folder tree: the folder, its name, the open triangle when expanded.
void treeRow(QPainter &p, const QRectF &row, int indent, const QString &name, bool selected,
             bool expanded);

// A mock application window with a blue caption; returns the client rectangle.
// A window's shadow and rounded frame filled with face.
void drawWindowFrame(QPainter &p, const QRectF &r, const QColor &face);
QRectF drawWindow(QPainter &p, const QRectF &r, const QString &caption);

// One cell of the thumbnail list: a photo with a file name bar, framed when selected.
void drawThumbCell(QPainter &p, const QRectF &cell, int variant, bool selected, qreal opacity = 1);

// The index-th cell of a grid of cols columns filling area's width, cellH high.
QRectF gridCell(const QRectF &area, int cols, qreal cellH, int index);

void drawKeyCap(QPainter &p, const QRectF &r, const QString &label);

void drawPointer(QPainter &p, const QPointF &tip, qreal scale = 1.0);

// An arrow from a to b along a gentle curve bending by `bend` pixels.
void drawCurvedArrow(QPainter &p, QPointF a, QPointF b, qreal bend, const QColor &c, qreal width);

} // namespace resgen
