#pragma once
// The metafile picture ("wmf", "emf"): the file's records, kept as read, and its size in
// pixels at 96 dpi. Drawing plays the records into the rectangle asked for, so a metafile
// stretches without losing sharpness. A file that is no metafile, or whose header is damaged,
// fails to load (EInvalidGraphic) and leaves the picture as it was.
#include "platform/graphics/Graphic.h"
#include "platform/graphics/metafile/MetafileRecords.h"

#include <QByteArray>

class TMetafile : public TGraphic
{
public:
    void LoadFromStream(QIODevice &Stream) override;
    void SaveToStream(QIODevice &Stream) const override;
    void Assign(const TGraphic &Source) override;
    void Draw(QPainter &Painter, const QRect &Rect) const override;
    bool Empty() const override { return data.isEmpty(); }
    int Width() const override { return header.Width; }
    int Height() const override { return header.Height; }
    // True for an enhanced metafile (EMF), false for a Windows metafile (WMF).
    bool Enhanced() const { return header.Kind == TMetafileKind::Enhanced; }

private:
    QByteArray data;
    TMetafileHeader header;
};
