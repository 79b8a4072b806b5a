// The record kinds of enhanced metafiles: each reads its fields (offsets from the record's
// start) and calls the player. A record too short for its fields is skipped; counts are
// checked against the record's size before anything is read or allocated.
#include "platform/graphics/metafile/MetafilePlayer.h"
#include "platform/graphics/metafile/MetafileRecordNumbers.h"

#include <QHash>

namespace
{
using R = const TMetafileRecord &;
using P = TMetafilePlayer &;

QPointF point32(R r, qint64 at)
{
    return QPointF(r.I32(at), r.I32(at + 4));
}

QRectF box(R r, qint64 at)
{
    // Boxes are inclusive-exclusive: right and bottom are the first points outside.
    const double l = r.I32(at), t = r.I32(at + 4), rt = r.I32(at + 8), b = r.I32(at + 12);
    return QRectF(QPointF(l, t), QPointF(rt, b));
}

QRgb colorRef(quint32 c)
{
    return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// Points after a bounds rectangle and a count: 16- or 32-bit pairs.
bool points(R r, qint64 countAt, qint64 at, bool small, QPolygonF &out)
{
    const qint64 n = r.U32(countAt), each = small ? 4 : 8;
    if (!r.Has(countAt, 4) || n > (r.Size() - at) / each)
        return false;
    out.resize(qsizetype(n));
    for (qint64 i = 0; i < n; ++i)
        out[qsizetype(i)] =
            small ? QPointF(r.I16(at + i * 4), r.I16(at + i * 4 + 2)) : point32(r, at + i * 8);
    return true;
}

// Poly-polygons: bounds, the number of polygons, the number of points, the counts, points.
bool polyPoints(R r, bool small, std::vector<QPolygonF> &out)
{
    if (!r.Has(24, 8))
        return false;
    const qint64 polys = r.U32(24), total = r.U32(28), each = small ? 4 : 8;
    if (polys > (r.Size() - 32) / 4 || total > (r.Size() - 32 - polys * 4) / each)
        return false;
    qint64 at = 32 + polys * 4, used = 0;
    for (qint64 i = 0; i < polys; ++i) {
        const qint64 n = r.U32(32 + i * 4);
        if (n > total - used)
            return false;
        QPolygonF poly;
        poly.resize(qsizetype(n));
        for (qint64 k = 0; k < n; ++k, at += each)
            poly[qsizetype(k)] = small ? QPointF(r.I16(at), r.I16(at + 2)) : point32(r, at);
        used += n;
        out.push_back(std::move(poly));
    }
    return true;
}

// Records that carry nothing but their kind: one step of the player.
template <void (TMetafilePlayer::*Step)()> void step(R, P p)
{
    (p.*Step)();
}

// Records that carry one mode number.
template <void (TMetafilePlayer::*Set)(int)> void mode(R r, P p)
{
    (p.*Set)(int(r.U32(8)));
}

template <void (TMetafilePlayer::*Draw)(const QPolygonF &), bool Small> void polyKind(R r, P p)
{
    QPolygonF pts;
    if (points(r, 24, 28, Small, pts))
        (p.*Draw)(pts);
}

template <bool Small> void polyPolygon(R r, P p)
{
    std::vector<QPolygonF> polys;
    if (polyPoints(r, Small, polys))
        p.PolyPolygon(polys);
}

template <bool Small> void polyPolyline(R r, P p)
{
    std::vector<QPolygonF> polys;
    if (polyPoints(r, Small, polys))
        p.PolyPolyline(polys);
}

void setWindowExt(R r, P p)
{
    if (r.Has(8, 8))
        p.SetWindowExt(QSizeF(r.I32(8), r.I32(12)));
}

void setWindowOrg(R r, P p)
{
    if (r.Has(8, 8))
        p.SetWindowOrg(point32(r, 8));
}

void setViewportExt(R r, P p)
{
    if (r.Has(8, 8))
        p.SetViewportExt(QSizeF(r.I32(8), r.I32(12)));
}

void setViewportOrg(R r, P p)
{
    if (r.Has(8, 8))
        p.SetViewportOrg(point32(r, 8));
}

// Scaling records: (x num, x denom, y num, y denom).
bool scale(R r, double &sx, double &sy)
{
    if (!r.Has(8, 16) || r.I32(12) == 0 || r.I32(20) == 0)
        return false;
    sx = double(r.I32(8)) / r.I32(12);
    sy = double(r.I32(16)) / r.I32(20);
    return true;
}

void scaleViewportExt(R r, P p)
{
    double sx, sy;
    if (scale(r, sx, sy))
        p.SetViewportExt(QSizeF(p.ViewportExt().width() * sx, p.ViewportExt().height() * sy));
}

void scaleWindowExt(R r, P p)
{
    double sx, sy;
    if (scale(r, sx, sy))
        p.SetWindowExt(QSizeF(p.WindowExt().width() * sx, p.WindowExt().height() * sy));
}

void setRop2(R r, P p)
{
    if (r.Has(8, 4))
        p.SetRop2(int(r.U32(8)));
}

void setTextAlign(R r, P p)
{
    p.SetTextAlign(r.U32(8));
}

void setTextColor(R r, P p)
{
    if (r.Has(8, 4))
        p.SetTextColor(colorRef(r.U32(8)));
}

void setBkColor(R r, P p)
{
    if (r.Has(8, 4))
        p.SetBkColor(colorRef(r.U32(8)));
}

void setMiterLimit(R r, P p)
{
    if (r.Has(8, 4))
        p.SetMiterLimit(std::clamp(double(r.U32(8)), 1.0, 100.0));
}

void moveTo(R r, P p)
{
    if (r.Has(8, 8))
        p.MoveTo(point32(r, 8));
}

void lineTo(R r, P p)
{
    if (r.Has(8, 8))
        p.LineTo(point32(r, 8));
}

void restoreDC(R r, P p)
{
    if (r.Has(8, 4))
        p.RestoreDC(r.I32(8));
}

QTransform xform(R r, qint64 at)
{
    return QTransform(r.F32(at), r.F32(at + 4), r.F32(at + 8), r.F32(at + 12), r.F32(at + 16),
                      r.F32(at + 20));
}

void setWorldTransform(R r, P p)
{
    if (r.Has(8, 24))
        p.SetWorldTransform(xform(r, 8));
}

void modifyWorldTransform(R r, P p)
{
    if (!r.Has(8, 28))
        return;
    const QTransform x = xform(r, 8);
    switch (r.U32(32)) {
    case MWT_IDENTITY:
        p.SetWorldTransform(QTransform());
        break;
    case MWT_LEFTMULTIPLY:
        p.SetWorldTransform(x * p.WorldTransform());
        break;
    case MWT_RIGHTMULTIPLY:
        p.SetWorldTransform(p.WorldTransform() * x);
        break;
    case MWT_SET:
        p.SetWorldTransform(x);
        break;
    default:
        break;
    }
}

void selectObject(R r, P p)
{
    if (r.Has(8, 4))
        p.SelectObject(r.U32(8));
}

void deleteObject(R r, P p)
{
    if (r.Has(8, 4))
        p.DeleteObject(r.U32(8));
}

void createPen(R r, P p)
{
    if (!r.Has(8, 20))
        return;
    const quint32 style = r.U32(12);
    p.CreateObject(
        r.U32(8),
        TMetafilePen{style & PS_STYLE_MASK, double(r.I32(16)), colorRef(r.U32(24)), false, {}});
}

void extCreatePen(R r, P p)
{
    if (!r.Has(8, 44))
        return;
    TMetafilePen pen;
    pen.Style = r.U32(28);
    pen.Geometric = (pen.Style & PS_GEOMETRIC) != 0;
    pen.Width = r.U32(32);
    pen.Color = colorRef(r.U32(40));
    if (r.U32(36) == BS_NULL) // a pen whose brush is hollow draws nothing
        pen.Style = (pen.Style & ~PS_STYLE_MASK) | PS_NULL;
    const qint64 entries = r.U32(48);
    if ((pen.Style & PS_STYLE_MASK) == PS_USERSTYLE && entries <= (r.Size() - 52) / 4)
        for (qint64 i = 0; i < entries && i < 16; ++i)
            pen.Dashes.append(r.U32(52 + i * 4));
    p.CreateObject(r.U32(8), pen);
}

void createBrushIndirect(R r, P p)
{
    if (!r.Has(8, 16))
        return;
    p.CreateObject(r.U32(8), TMetafileBrush{r.U32(12), colorRef(r.U32(16)), r.U32(20), {}});
}

// A bitmap stored in a record: the header with colours at offBmi, the rows at offBits.
QImage recordDib(R r, qint64 offBmi, qint64 cbBmi, qint64 offBits, qint64 cbBits,
                 bool alpha = false)
{
    const QByteArrayView info = r.Slice(offBmi, cbBmi), bits = r.Slice(offBits, cbBits);
    if (info.isEmpty() || bits.isEmpty())
        return {};
    return TMetafilePlayer::DecodeDib(info, bits, alpha);
}

void createDibPatternBrush(R r, P p)
{
    if (!r.Has(8, 24))
        return;
    TMetafileBrush brush{BS_DIBPATTERNPT, qRgb(0, 0, 0), 0, {}};
    if (r.U32(12) == 0) // colours, not palette indexes
        brush.Pattern = recordDib(r, r.U32(16), r.U32(20), r.U32(24), r.U32(28));
    p.CreateObject(r.U32(8), brush);
}

// A monochrome brush takes its colours from the device when it paints, whatever the
// bitmap's colour table (often left out) says.
void createMonoBrush(R r, P p)
{
    if (!r.Has(8, 24))
        return;
    TMetafileBrush brush{BS_PATTERN, qRgb(0, 0, 0), 0, {}};
    brush.Pattern = TMetafilePlayer::DecodeMonoDib(r.Slice(r.U32(16), r.U32(20)),
                                                   r.Slice(r.U32(24), r.U32(28)));
    if (brush.Pattern.isNull()) { // not 1-bit after all: a pattern of its own colours
        createDibPatternBrush(r, p);
        return;
    }
    p.CreateObject(r.U32(8), brush);
}

void extCreateFont(R r, P p)
{
    if (!r.Has(12, 92))
        return;
    TMetafileFont font;
    font.Height = r.I32(12);
    font.Width = r.I32(16);
    font.Escapement = r.I32(20);
    font.Weight = r.I32(28);
    font.Italic = r.U8(32);
    font.Underline = r.U8(33);
    font.StrikeOut = r.U8(34);
    font.CharSet = r.U8(35);
    const QByteArrayView face = r.Slice(40, 64);
    font.FaceName = QString::fromUtf16(reinterpret_cast<const char16_t *>(face.data()), 32);
    font.FaceName.truncate(font.FaceName.indexOf(QChar(0)) < 0 ? 32
                                                               : font.FaceName.indexOf(QChar(0)));
    p.CreateObject(r.U32(8), font);
}

void createPalette(R r, P p)
{
    if (r.Has(8, 4))
        p.CreateObject(r.U32(8), TMetafilePlaceholder{});
}

void rectangle(R r, P p)
{
    if (r.Has(8, 16))
        p.Rectangle(box(r, 8));
}

void ellipse(R r, P p)
{
    if (r.Has(8, 16))
        p.Ellipse(box(r, 8));
}

void roundRect(R r, P p)
{
    if (r.Has(8, 24))
        p.RoundRect(box(r, 8), QSizeF(r.I32(24), r.I32(28)));
}

template <TMetafilePlayer::TArcKind Kind> void arcKind(R r, P p)
{
    if (r.Has(8, 32))
        p.ArcShape(Kind, box(r, 8), point32(r, 24), point32(r, 32));
}

void angleArc(R r, P p)
{
    if (r.Has(8, 20))
        p.AngleArc(point32(r, 8), r.U32(16), r.F32(20), r.F32(24));
}

void setPixel(R r, P p)
{
    if (r.Has(8, 12))
        p.SetPixel(point32(r, 8), colorRef(r.U32(16)));
}

void polyBezier(R r, P p)
{
    polyKind<&TMetafilePlayer::PolyBezier, false>(r, p);
}

// ExtTextOutW / ExtTextOutA: bounds, graphics mode, scales, then the text record.
template <bool Wide> void extTextOut(R r, P p)
{
    if (!r.Has(36, 40))
        return;
    const QPointF reference = point32(r, 36);
    const qint64 chars = r.U32(44), offString = r.U32(48), offDx = r.U32(72);
    const quint32 options = r.U32(52);
    const QRectF clip = box(r, 56);
    const QByteArrayView text = r.Slice(offString, chars * (Wide ? 2 : 1));
    if (chars == 0 || text.isEmpty())
        return;
    const QString s =
        Wide ? QString::fromUtf16(reinterpret_cast<const char16_t *>(text.data()), qsizetype(chars))
             : p.DecodeText(text);
    QVector<double> advances;
    // ETO_PDY doubles the spacing entries (x and y); only x is used.
    const qint64 step = (options & 0x2000) ? 8 : 4;
    if (offDx != 0 && r.Has(offDx, chars * step)) {
        advances.resize(s.size());
        for (qsizetype i = 0; i < s.size() && i < chars; ++i)
            advances[i] = r.I32(offDx + i * step);
    }
    p.TextOut(reference, s, advances, options, clip);
}

void intersectClipRect(R r, P p)
{
    if (r.Has(8, 16))
        p.IntersectClipRect(box(r, 8));
}

void excludeClipRect(R r, P p)
{
    if (r.Has(8, 16))
        p.ExcludeClipRect(box(r, 8));
}

void offsetClipRgn(R r, P p)
{
    if (r.Has(8, 8))
        p.OffsetClip(point32(r, 8));
}

// Region data: a 32-byte header whose count says how many rectangles follow. False when the
// data is damaged; the record is then left out.
bool regionRects(R r, qint64 at, qint64 cb, QVector<QRectF> &rects)
{
    if (cb < 32 || !r.Has(at, cb))
        return false;
    const qint64 n = r.U32(at + 8);
    if (n > (cb - 32) / 16)
        return false;
    for (qint64 i = 0; i < n; ++i)
        rects.append(box(r, at + 32 + i * 16));
    return true;
}

void extSelectClipRgn(R r, P p)
{
    if (!r.Has(8, 8))
        return;
    QVector<QRectF> rects;
    // No region data at all resets the clipping (with RGN_COPY).
    if (r.U32(8) == 0 || regionRects(r, 16, r.U32(8), rects))
        p.SelectClipRegion(rects, int(r.U32(12)));
}

void fillRgn(R r, P p)
{
    QVector<QRectF> rects;
    if (r.Has(24, 8) && regionRects(r, 32, r.U32(24), rects))
        p.FillRegion(rects, r.U32(28));
}

void paintRgn(R r, P p)
{
    QVector<QRectF> rects;
    if (r.Has(24, 4) && regionRects(r, 28, r.U32(24), rects))
        p.FillRegion(rects, std::nullopt);
}

// More rectangles or triangles than any drawing needs in one record; a file that claims
// more is damaged, and is refused before the shapes take memory.
constexpr qint64 MaxGradientGroups = qint64(1) << 18;

// Gradient fill: bounds, the number of vertexes, of rectangles or triangles and the mode,
// then the vertexes (x, y and 16-bit red, green, blue, alpha) and the index groups.
// Rectangles are drawn as two triangles whose colours run across (GRADIENT_FILL_RECT_H) or
// down (GRADIENT_FILL_RECT_V); an index beyond the vertexes makes the whole record damaged.
void gradientFill(R r, P p)
{
    if (!r.Has(24, 12))
        return;
    const qint64 vertexes = r.U32(24), groups = r.U32(28);
    const quint32 mode = r.U32(32);
    if (mode > 2)
        return;
    const qint64 each = mode == 2 ? 12 : 8;
    if (vertexes > (r.Size() - 36) / 16 || groups > (r.Size() - 36 - vertexes * 16) / each ||
        groups > MaxGradientGroups)
        return;
    const auto vertex = [&](quint32 i) {
        const qint64 at = 36 + qint64(i) * 16;
        return TMetafileVertex{point32(r, at), r.U16(at + 8), r.U16(at + 10), r.U16(at + 12)};
    };
    std::vector<TMetafileTriangle> triangles;
    triangles.reserve(size_t(mode == 2 ? groups : groups * 2));
    for (qint64 g = 0; g < groups; ++g) {
        const qint64 at = 36 + vertexes * 16 + g * each;
        const quint32 a = r.U32(at), b = r.U32(at + 4), c = mode == 2 ? r.U32(at + 8) : 0;
        if (a >= vertexes || b >= vertexes || c >= vertexes)
            return;
        if (mode == 2) {
            triangles.push_back({vertex(a), vertex(b), vertex(c)});
            continue;
        }
        // The corners between the two given ones take the colour of the one they share
        // an edge of constant colour with.
        const TMetafileVertex ul = vertex(a), lr = vertex(b);
        TMetafileVertex ur = mode == 0 ? lr : ul, ll = mode == 0 ? ul : lr;
        ur.Point = QPointF(lr.Point.x(), ul.Point.y());
        ll.Point = QPointF(ul.Point.x(), lr.Point.y());
        triangles.push_back({ul, ur, lr});
        triangles.push_back({ul, lr, ll});
    }
    p.ShadeTriangles(triangles);
}

// StretchDIBits measures the source from the bottom row of a bottom-up bitmap.
QRectF dibSource(const QImage &image, R r, qint64 at, bool bottomUp)
{
    const double x = r.I32(at), y = r.I32(at + 4), w = r.I32(at + 8), h = r.I32(at + 12);
    return QRectF(x, bottomUp ? image.height() - y - h : y, w, h);
}

bool bottomUp(R r, qint64 offBmi)
{
    return r.U32(offBmi) == 12 ? true : r.I32(offBmi + 8) > 0;
}

void stretchDIBits(R r, P p)
{
    if (!r.Has(8, 72) || r.U32(64) != 0)
        return;
    const QImage image = recordDib(r, r.U32(48), r.U32(52), r.U32(56), r.U32(60));
    const QRectF dest(r.I32(24), r.I32(28), r.I32(72), r.I32(76));
    p.StretchBits(dest, image, dibSource(image, r, 32, bottomUp(r, r.U32(48))), r.U32(68));
}

void setDIBitsToDevice(R r, P p)
{
    if (!r.Has(8, 68) || r.U32(64) != 0)
        return;
    const QImage image = recordDib(r, r.U32(48), r.U32(52), r.U32(56), r.U32(60));
    const QRectF dest(r.I32(24), r.I32(28), r.I32(40), r.I32(44));
    p.StretchBits(dest, image, dibSource(image, r, 32, bottomUp(r, r.U32(48))), SRCCOPY);
}

// BitBlt and StretchBlt: without a bitmap they paint with the brush.
void blt(R r, P p, bool stretch)
{
    if (!r.Has(8, 92))
        return;
    const QRectF dest(r.I32(24), r.I32(28), r.I32(32), r.I32(36));
    const quint32 rop = r.U32(40);
    if (r.U32(88) == 0 || r.U32(96) == 0) {
        p.PatBlt(dest, rop);
        return;
    }
    if (r.U32(80) != 0 || (stretch && !r.Has(100, 8)))
        return;
    const QImage image = recordDib(r, r.U32(84), r.U32(88), r.U32(92), r.U32(96));
    const QSizeF size = stretch ? QSizeF(r.I32(100), r.I32(104)) : dest.size();
    p.StretchBits(dest, image, QRectF(QPointF(r.I32(44), r.I32(48)), size), rop);
}

void bitBlt(R r, P p)
{
    blt(r, p, false);
}

void stretchBlt(R r, P p)
{
    blt(r, p, true);
}

void alphaBlend(R r, P p)
{
    if (!r.Has(8, 100) || r.U32(80) != 0)
        return;
    const quint32 blend = r.U32(40);
    const QImage image = recordDib(r, r.U32(84), r.U32(88), r.U32(92), r.U32(96),
                                   (blend >> 24) & 1); // AC_SRC_ALPHA
    const QRectF dest(r.I32(24), r.I32(28), r.I32(32), r.I32(36));
    p.AlphaBlend(dest, image, QRectF(QPointF(r.I32(44), r.I32(48)), QSizeF(r.I32(100), r.I32(104))),
                 blend);
}

using TKind = void (*)(R, P);

const QHash<quint32, TKind> &kinds()
{
    using A = TMetafilePlayer::TArcKind;
    static const QHash<quint32, TKind> table{
        {EMR_POLYBEZIER, polyBezier},
        {EMR_POLYGON, polyKind<&TMetafilePlayer::Polygon, false>},
        {EMR_POLYLINE, polyKind<&TMetafilePlayer::Polyline, false>},
        {EMR_POLYBEZIERTO, polyKind<&TMetafilePlayer::PolyBezierTo, false>},
        {EMR_POLYLINETO, polyKind<&TMetafilePlayer::PolylineTo, false>},
        {EMR_POLYPOLYLINE, polyPolyline<false>},
        {EMR_POLYPOLYGON, polyPolygon<false>},
        {EMR_SETWINDOWEXTEX, setWindowExt},
        {EMR_SETWINDOWORGEX, setWindowOrg},
        {EMR_SETVIEWPORTEXTEX, setViewportExt},
        {EMR_SETVIEWPORTORGEX, setViewportOrg},
        {EMR_SETPIXELV, setPixel},
        {EMR_SETMAPMODE, mode<&TMetafilePlayer::SetMapMode>},
        {EMR_SETBKMODE, mode<&TMetafilePlayer::SetBkMode>},
        {EMR_SETPOLYFILLMODE, mode<&TMetafilePlayer::SetPolyFillMode>},
        {EMR_SETROP2, setRop2},
        {EMR_SETTEXTALIGN, setTextAlign},
        {EMR_SETTEXTCOLOR, setTextColor},
        {EMR_SETBKCOLOR, setBkColor},
        {EMR_OFFSETCLIPRGN, offsetClipRgn},
        {EMR_MOVETOEX, moveTo},
        {EMR_EXCLUDECLIPRECT, excludeClipRect},
        {EMR_INTERSECTCLIPRECT, intersectClipRect},
        {EMR_SCALEVIEWPORTEXTEX, scaleViewportExt},
        {EMR_SCALEWINDOWEXTEX, scaleWindowExt},
        {EMR_SAVEDC, step<&TMetafilePlayer::SaveDC>},
        {EMR_RESTOREDC, restoreDC},
        {EMR_SETWORLDTRANSFORM, setWorldTransform},
        {EMR_MODIFYWORLDTRANSFORM, modifyWorldTransform},
        {EMR_SELECTOBJECT, selectObject},
        {EMR_CREATEPEN, createPen},
        {EMR_CREATEBRUSHINDIRECT, createBrushIndirect},
        {EMR_DELETEOBJECT, deleteObject},
        {EMR_ANGLEARC, angleArc},
        {EMR_ELLIPSE, ellipse},
        {EMR_RECTANGLE, rectangle},
        {EMR_ROUNDRECT, roundRect},
        {EMR_ARC, arcKind<A::Arc>},
        {EMR_CHORD, arcKind<A::Chord>},
        {EMR_PIE, arcKind<A::Pie>},
        {EMR_CREATEPALETTE, createPalette},
        {EMR_LINETO, lineTo},
        {EMR_ARCTO, arcKind<A::ArcTo>},
        {EMR_SETARCDIRECTION, mode<&TMetafilePlayer::SetArcDirection>},
        {EMR_SETMITERLIMIT, setMiterLimit},
        {EMR_BEGINPATH, step<&TMetafilePlayer::BeginPath>},
        {EMR_ENDPATH, step<&TMetafilePlayer::EndPath>},
        {EMR_CLOSEFIGURE, step<&TMetafilePlayer::CloseFigure>},
        {EMR_FILLPATH, step<&TMetafilePlayer::FillPath>},
        {EMR_STROKEANDFILLPATH, step<&TMetafilePlayer::StrokeAndFillPath>},
        {EMR_STROKEPATH, step<&TMetafilePlayer::StrokePath>},
        {EMR_SELECTCLIPPATH, mode<&TMetafilePlayer::SelectClipPath>},
        {EMR_ABORTPATH, step<&TMetafilePlayer::AbortPath>},
        {EMR_FILLRGN, fillRgn},
        {EMR_PAINTRGN, paintRgn},
        {EMR_EXTSELECTCLIPRGN, extSelectClipRgn},
        {EMR_BITBLT, bitBlt},
        {EMR_STRETCHBLT, stretchBlt},
        {EMR_SETDIBITSTODEVICE, setDIBitsToDevice},
        {EMR_STRETCHDIBITS, stretchDIBits},
        {EMR_EXTCREATEFONTINDIRECTW, extCreateFont},
        {EMR_EXTTEXTOUTA, extTextOut<false>},
        {EMR_EXTTEXTOUTW, extTextOut<true>},
        {EMR_POLYBEZIER16, polyKind<&TMetafilePlayer::PolyBezier, true>},
        {EMR_POLYGON16, polyKind<&TMetafilePlayer::Polygon, true>},
        {EMR_POLYLINE16, polyKind<&TMetafilePlayer::Polyline, true>},
        {EMR_POLYBEZIERTO16, polyKind<&TMetafilePlayer::PolyBezierTo, true>},
        {EMR_POLYLINETO16, polyKind<&TMetafilePlayer::PolylineTo, true>},
        {EMR_POLYPOLYLINE16, polyPolyline<true>},
        {EMR_POLYPOLYGON16, polyPolygon<true>},
        {EMR_CREATEMONOBRUSH, createMonoBrush},
        {EMR_CREATEDIBPATTERNBRUSHPT, createDibPatternBrush},
        {EMR_EXTCREATEPEN, extCreatePen},
        {EMR_ALPHABLEND, alphaBlend},
        {EMR_GRADIENTFILL, gradientFill},
    };
    return table;
}

} // namespace

void PlayEmfRecord(TMetafilePlayer &Player, const TMetafileRecord &Record)
{
    if (const TKind kind = kinds().value(Record.Type()))
        kind(Record, Player);
}
