#include "platform/graphics/Canvas.h"

#include "platform/graphics/Graphic.h"
#include "platform/graphics/GraphicsErrors.h"

QPainter &TCanvas::Painter()
{
    if (!painter) {
        if (target->isNull())
            throw EInvalidGraphic(QStringLiteral("Cannot draw on an empty bitmap"));
        painter = std::make_unique<QPainter>(target);
        painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    }
    return *painter;
}

void TCanvas::StretchDraw(const QRect &Rect, const TGraphic &Graphic)
{
    Graphic.Draw(Painter(), Rect);
}

void TCanvas::Draw(int X, int Y, const TGraphic &Graphic)
{
    Graphic.Draw(Painter(), QRect(X, Y, Graphic.Width(), Graphic.Height()));
}

void TCanvas::FillRect(const QRect &Rect, const QColor &Color)
{
    Painter().fillRect(Rect, Color);
}

void TCanvas::Release()
{
    painter.reset();
}
