#pragma once
// The plain bitmap: a QImage with a drawing surface. It reads and writes BMP files only,
// through Qt's BMP reader and writer; other kinds of picture reach it through Assign.
#include "platform/graphics/Canvas.h"
#include "platform/graphics/Graphic.h"

#include <memory>

class TBitmap : public TGraphic
{
public:
    TBitmap();
    ~TBitmap() override;

    void LoadFromStream(QIODevice &Stream) override;
    void SaveToStream(QIODevice &Stream) const override;
    // Copies any graphic: a bitmap with its palette, anything else as it draws at its size.
    void Assign(const TGraphic &Source) override;

    void Draw(QPainter &Painter, const QRect &Rect) const override;
    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    // Resizes; the kept part stays, new pixels are white.
    void SetSize(int NewWidth, int NewHeight);
    QList<QRgb> Palette() const override;
    void SetPalette(const QList<QRgb> &Colors) override;
    QImage ToImage() const override;

    // The drawing surface; a palette picture becomes 32-bit when it is drawn on.
    TCanvas *Canvas();
    // The picture itself (painting on the canvas is finished first).
    const QImage &Image() const;
    // Replaces the picture.
    void SetImage(const QImage &Picture);

private:
    void releaseCanvas() const;

    QImage image;
    QList<QRgb> palette;
    mutable std::unique_ptr<TCanvas> canvas;
};
