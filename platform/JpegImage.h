#pragma once
// The JPEG picture ("jpg", "jpeg"): decoded in full, at full size, when it is loaded, and
// scaled only while it is drawn. A failed load keeps the previous picture.
#include "platform/Graphic.h"

class TJPEGImage : public TGraphic
{
public:
    void LoadFromStream(QIODevice &Stream) override;
    void Assign(const TGraphic &Source) override;
    void Draw(QPainter &Painter, const QRect &Rect) const override;
    bool Empty() const override { return image.isNull(); }
    int Width() const override { return image.width(); }
    int Height() const override { return image.height(); }
    QImage ToImage() const override { return image; }

    // The decoded pixels (32-bit, opaque).
    const QImage &Image() const { return image; }
    // The last load met libjpeg warnings / ran out of data (the missing rows are grey).
    int Warnings() const { return warnings; }
    bool Truncated() const { return truncated; }

private:
    QImage image;
    int warnings = 0;
    bool truncated = false;
};
