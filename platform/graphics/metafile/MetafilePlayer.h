#pragma once
// Playing a metafile onto a QPainter: the drawing state of the device the records talk to
// (mapping, pens, brushes, fonts, colours, modes, clipping, the saved states, the current
// position and path) and the drawing primitives the record kinds call. The record kinds
// themselves are small functions in EmfRecordKinds.cpp and WmfRecordKinds.cpp; this file
// knows nothing of their layout.
#include "platform/graphics/metafile/MetafileRecords.h"
#include "platform/graphics/metafile/MetafileStyles.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>
#include <QTransform>
#include <QVector>
#include <array>
#include <optional>
#include <variant>
#include <vector>

// Plays the records of Data (whose header is Header) into Rect of Painter: the picture's frame
// (EMF) or window (WMF) fills Rect. The painter's state is left as it was.
void PlayMetafile(const QByteArray &Data, const TMetafileHeader &Header, QPainter &Painter,
                  const QRectF &Rect);

struct TMetafilePen {
    quint32 Style = 0; // PS_* with end cap and join bits
    double Width = 0;  // logical units; 0 is one device pixel
    QRgb Color = qRgb(0, 0, 0);
    bool Geometric = false;
    QVector<double> Dashes; // PS_USERSTYLE entries, logical units
};

struct TMetafileBrush {
    quint32 Style = 0; // BS_SOLID, BS_NULL, BS_HATCHED, BS_PATTERN / BS_DIBPATTERN
    QRgb Color = qRgb(255, 255, 255);
    quint32 Hatch = 0;
    // A BS_PATTERN brush whose pattern is a QImage::Format_Mono picture is monochrome: its
    // 0 bits paint in the text colour and its 1 bits in the background colour current when
    // it paints. Every other pattern keeps its own colours.
    QImage Pattern;
};

// A corner of a shaded triangle: a logical point and its colour in 16-bit channels.
struct TMetafileVertex {
    QPointF Point;
    quint16 Red = 0, Green = 0, Blue = 0;
};
using TMetafileTriangle = std::array<TMetafileVertex, 3>;

struct TMetafileFont {
    int Height = 0; // logical units: < 0 character height, > 0 cell height, 0 default
    int Width = 0;
    int Escapement = 0; // tenths of a degree, counterclockwise
    int Weight = 400;
    bool Italic = false;
    bool Underline = false;
    bool StrikeOut = false;
    int CharSet = 1;
    QString FaceName;
};

// A slot of the object table: empty, a drawing object, or an object kind that is kept only so
// that the slot numbers stay right (palettes, regions).
struct TMetafilePlaceholder {
};
using TMetafileObject =
    std::variant<std::monostate, TMetafilePen, TMetafileBrush, TMetafileFont, TMetafilePlaceholder>;

class TMetafilePlayer;

// One record of each format onto the player; defined in EmfRecordKinds.cpp and
// WmfRecordKinds.cpp. Kinds they do not know are skipped.
void PlayEmfRecord(TMetafilePlayer &Player, const TMetafileRecord &Record);
void PlayWmfRecord(TMetafilePlayer &Player, const TMetafileRecord &Record);

class TMetafilePlayer
{
public:
    TMetafilePlayer(const TMetafileHeader &Header, QPainter &Painter, const QRectF &Rect);
    ~TMetafilePlayer();
    TMetafilePlayer(const TMetafilePlayer &) = delete;
    TMetafilePlayer &operator=(const TMetafilePlayer &) = delete;

    void Play(const QByteArray &Data);

    // The record kinds' view of the device.
    // Mapping: window and viewport of the page space, the mapping mode, the world transform.
    void SetMapMode(int Mode);
    void SetWindowOrg(QPointF P);
    void SetWindowExt(QSizeF S);
    void SetViewportOrg(QPointF P);
    void SetViewportExt(QSizeF S);
    QPointF WindowOrg() const { return state.WindowOrg; }
    QSizeF WindowExt() const { return state.WindowExt; }
    QSizeF ViewportExt() const { return state.ViewportExt; }
    void SetWorldTransform(const QTransform &T);
    const QTransform &WorldTransform() const { return state.World; }

    // Objects. EMF names the slot; WMF takes the lowest free one.
    void CreateObject(quint32 Index, TMetafileObject Object);
    void CreateObjectInFreeSlot(TMetafileObject Object);
    void SelectObject(quint32 Index);
    void SelectStockObject(quint32 Stock);
    void DeleteObject(quint32 Index);

    // Attributes.
    void SetTextColor(QRgb C) { state.TextColor = C; }
    void SetBkColor(QRgb C) { state.BkColor = C; }
    void SetBkMode(int Mode) { state.BkOpaque = Mode == OPAQUE; }
    void SetPolyFillMode(int Mode)
    {
        state.FillRule = Mode == WINDING ? Qt::WindingFill : Qt::OddEvenFill;
    }
    void SetTextAlign(quint32 Align) { state.TextAlign = Align; }
    void SetArcDirection(int Direction) { state.Clockwise = Direction == AD_CLOCKWISE; }
    void SetRop2(int Rop) { state.Rop2 = Rop; }
    void SetMiterLimit(double Limit) { state.MiterLimit = Limit; }

    // Saved states: Relative < 0 counts back from the newest, > 0 names an absolute level.
    void SaveDC();
    void RestoreDC(int Level);

    // Clipping. Rectangles are logical; region rectangles are device units of the picture.
    void IntersectClipRect(const QRectF &R);
    void ExcludeClipRect(const QRectF &R);
    void SelectClipRegion(const QVector<QRectF> &DeviceRects, int Mode);
    void ResetClip();
    void OffsetClip(QPointF Logical);

    // Drawing, in logical coordinates.
    void MoveTo(QPointF P);
    void LineTo(QPointF P);
    void Polyline(const QPolygonF &Points);
    void PolylineTo(const QPolygonF &Points);
    void PolyBezier(const QPolygonF &Points);
    void PolyBezierTo(const QPolygonF &Points);
    void Polygon(const QPolygonF &Points);
    void PolyPolygon(const std::vector<QPolygonF> &Polygons);
    void PolyPolyline(const std::vector<QPolygonF> &Polylines);
    void Rectangle(const QRectF &R);
    void RoundRect(const QRectF &R, QSizeF Corner);
    void Ellipse(const QRectF &R);
    enum class TArcKind { Arc, ArcTo, Chord, Pie };
    void ArcShape(TArcKind Kind, const QRectF &Box, QPointF Start, QPointF End);
    void AngleArc(QPointF Center, double Radius, double StartDegrees, double SweepDegrees);
    void SetPixel(QPointF P, QRgb Color);
    // ETO_OPAQUE fills Box with the background colour, ETO_CLIPPED clips the text to it.
    // Advances are logical distances from one character to the next (empty: the font's).
    void TextOut(QPointF Reference, const QString &Text, const QVector<double> &Advances,
                 quint32 Options, const QRectF &Box);
    // A bitmap record: the source part of Picture stretched into the logical destination.
    void StretchBits(const QRectF &Dest, const QImage &Picture, const QRectF &Source, quint32 Rop);
    void AlphaBlend(const QRectF &Dest, const QImage &Picture, const QRectF &Source, quint32 Blend);
    // A raster operation without a source: the brush, black or white over the rectangle.
    void PatBlt(const QRectF &Dest, quint32 Rop);
    // Region rectangles filled with a brush of the object table (or, without one, the
    // selected brush), in logical units.
    void FillRegion(const QVector<QRectF> &Rects, std::optional<quint32> BrushIndex);
    // Triangles whose colour runs linearly between their corners, each pixel taking the
    // colour at its centre (MetafileGradient.cpp).
    void ShadeTriangles(const std::vector<TMetafileTriangle> &Triangles);

    // Paths.
    void BeginPath();
    void EndPath();
    void AbortPath();
    void CloseFigure();
    void FillPath();
    void StrokePath();
    void StrokeAndFillPath();
    void SelectClipPath(int Mode);

    // Text of 8-bit records in the selected font's character set.
    QString DecodeText(QByteArrayView Bytes) const;
    // A packed device-independent bitmap (header, colours, rows) as a picture; null when the
    // bitmap is damaged or cannot be read.
    // WithAlpha keeps the fourth byte of 32-bit rows as premultiplied alpha.
    static QImage DecodeDib(QByteArrayView Info, QByteArrayView Bits, bool WithAlpha = false);
    // The size of a packed bitmap's header with its colour table; -1 when it is damaged.
    static qsizetype DibInfoSize(QByteArrayView Packed);
    // The bits of a 1-bit bitmap (header, then rows) as a QImage::Format_Mono picture, top
    // row first, whatever its colour table says; null when it is not 1-bit or is damaged.
    static QImage DecodeMonoDib(QByteArrayView Info, QByteArrayView Bits);

private:
    struct TState {
        int MapMode = MM_TEXT;
        QPointF WindowOrg, ViewportOrg;
        QSizeF WindowExt{1, 1}, ViewportExt{1, 1};
        QTransform World;
        TMetafilePen Pen;
        TMetafileBrush Brush;
        TMetafileFont Font;
        QRgb TextColor = qRgb(0, 0, 0);
        QRgb BkColor = qRgb(255, 255, 255);
        bool BkOpaque = true;
        Qt::FillRule FillRule = Qt::OddEvenFill;
        quint32 TextAlign = 0;
        bool Clockwise = false;
        int Rop2 = R2_COPYPEN;
        double MiterLimit = 10;
        QPointF Position;
        std::optional<QPainterPath> Clip; // device pixels of the painter, none = whole picture
    };

    QTransform pageTransform() const;
    void updateTransform();
    void applyClip();
    QPen qtPen() const;
    QBrush qtBrush(const TMetafileBrush &Brush) const;
    bool drawable(const QRectF &DeviceBounds) const;
    // Draws (or, inside a path bracket, collects) a shape in logical coordinates.
    void shape(const QPainterPath &Path, bool Fill, bool Stroke);
    QPainterPath arcPath(TArcKind Kind, const QRectF &Box, QPointF Start, QPointF End) const;
    void blit(const QRectF &Dest, const QImage &Picture, const QRectF &Source,
              QPainter::CompositionMode Mode, double Opacity);
    bool composition(QPainter::CompositionMode &Mode) const;
    QFont qtFont(double PixelSize) const;

    TMetafileHeader header;
    QPainter &painter;
    QRectF rect;
    QTransform toRect; // device units of the picture -> the painter's coordinates
    QTransform full;   // logical -> the painter's coordinates
    QTransform base;   // the painter's own transform when playing began
    std::optional<QPainterPath> baseClip;
    TState state;
    std::vector<TState> saved;
    std::vector<TMetafileObject> objects;
    std::optional<QPainterPath> path; // set while a path bracket is open
    std::optional<QPainterPath> finishedPath;
};
