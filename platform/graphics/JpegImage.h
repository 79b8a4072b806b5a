#pragma once
// The JPEG picture ("jpg", "jpeg"): decoded in full, at full size, when it is loaded, and
// scaled only while it is drawn. A failed load keeps the previous picture.
//
// Shown upright: the pixels stay as the file stores them and the EXIF orientation is kept
// beside them. Width and Height give the upright size, so whatever is placed by the picture's
// size (the thumbnail square, the preview) is placed upright; Draw maps the stored pixels
// through the orientation on the painter, so a turned picture stretched into a thumbnail costs
// what an upright one does; ToImage turns the pixels once, for the one place that needs them
// upright at full size (the preview). The file itself is never changed.
#include "platform/graphics/Graphic.h"

class TJPEGImage : public TGraphic
{
public:
    void LoadFromStream(QIODevice &Stream) override;
    void Assign(const TGraphic &Source) override;
    void Draw(QPainter &Painter, const QRect &Rect) const override;
    bool Empty() const override { return image.isNull(); }
    int Width() const override;
    int Height() const override;
    // The picture upright at its full size.
    QImage ToImage() const override;

    // The decoded pixels as the file stores them (32-bit, opaque), before turning.
    const QImage &Image() const { return image; }
    // The EXIF orientation, 1 to 8; 1 (stored upright) also when the file records none.
    int Orientation() const { return orientation; }
    // The last load met libjpeg warnings / ran out of data (the missing rows are grey).
    int Warnings() const { return warnings; }
    bool Truncated() const { return truncated; }

private:
    QImage image;
    int orientation = 1;
    int warnings = 0;
    bool truncated = false;
};
