#pragma once
// The metafile picture ("wmf", "emf"). Its rendering comes with its own piece of work; until
// then every load fails as an undecodable picture does (EInvalidGraphic), through the one seam
// in Metafile.cpp, and the picture stays empty.
#include "platform/Graphic.h"

class TMetafile : public TGraphic
{
public:
    void LoadFromStream(QIODevice &Stream) override;
    void Draw(QPainter &Painter, const QRect &Rect) const override;
    bool Empty() const override { return true; }
    int Width() const override { return 0; }
    int Height() const override { return 0; }
};
