#pragma once
// The icon picture ("ico"), read by Qt's ICO reader: the largest image the file holds. Like any
// picture it is stretched into the rectangle it is drawn into.
#include "platform/graphics/Graphic.h"

class TIcon : public TGraphic
{
public:
    void LoadFromStream(QIODevice &Stream) override;
    void Assign(const TGraphic &Source) override;
    void Draw(QPainter &Painter, const QRect &Rect) const override;
    bool Empty() const override { return image.isNull(); }
    int Width() const override { return image.width(); }
    int Height() const override { return image.height(); }
    QImage ToImage() const override { return image; }

private:
    QImage image;
};
