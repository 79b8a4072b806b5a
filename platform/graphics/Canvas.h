#pragma once
// The drawing surface of a bitmap: a QPainter on the bitmap's QImage, begun on first use and
// ended by the bitmap before its picture changes (resize, load, assign, read-out).
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <memory>

class TGraphic;

class TCanvas
{
public:
    explicit TCanvas(QImage &Target) : target(&Target) {}
    TCanvas(const TCanvas &) = delete;
    TCanvas &operator=(const TCanvas &) = delete;

    // The painter, active on the target. Stretching uses smooth filtering.
    QPainter &Painter();
    // Draws Graphic stretched into Rect.
    void StretchDraw(const QRect &Rect, const TGraphic &Graphic);
    // Draws Graphic at its own size with its top-left corner at (X, Y).
    void Draw(int X, int Y, const TGraphic &Graphic);
    void FillRect(const QRect &Rect, const QColor &Color);
    // Ends painting so the target can be changed or read.
    void Release();
    bool Active() const { return painter != nullptr; }

private:
    QImage *target;
    std::unique_ptr<QPainter> painter;
};
