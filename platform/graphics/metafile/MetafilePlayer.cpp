#include "platform/graphics/metafile/MetafilePlayer.h"

#include "platform/base/Exception.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/PictureLimits.h"
#include "platform/text/CharSetText.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace
{
// Deeper nesting than this is refused like a device out of memory refuses it.
constexpr size_t MaxSavedStates = 1024;
constexpr size_t MaxObjects = 65536;
// Painter coordinates beyond this are outside any picture the program draws.
constexpr double CoordinateLimit = 1 << 20;
// A monochrome pattern is recoloured each time it paints; patterns are a few pixels wide, so
// wider ones are damaged files.
constexpr qint64 MaxPatternSide = 1024;

bool finite(const QTransform &t)
{
    return std::isfinite(t.m11()) && std::isfinite(t.m12()) && std::isfinite(t.m21()) &&
           std::isfinite(t.m22()) && std::isfinite(t.dx()) && std::isfinite(t.dy()) &&
           t.isInvertible();
}

double xScale(const QTransform &t)
{
    return std::hypot(t.m11(), t.m12());
}

double yScale(const QTransform &t)
{
    return std::hypot(t.m21(), t.m22());
}

// Sweep from a to b counterclockwise, in (0, 360].
double ccwSweep(double a, double b)
{
    double s = std::fmod(b - a, 360.0);
    if (s <= 1e-9)
        s += 360.0;
    return s;
}

// The parametric angle of p on the ellipse of box, counterclockwise on a y-down plane.
double ellipseAngle(const QRectF &box, QPointF p)
{
    const QPointF c = box.center();
    const double rx = box.width() / 2, ry = box.height() / 2;
    if (rx <= 0 || ry <= 0)
        return 0;
    return qRadiansToDegrees(std::atan2(-(p.y() - c.y()) / ry, (p.x() - c.x()) / rx));
}

QPainterPath rectsPath(const QVector<QRectF> &rects, const QTransform &t)
{
    QPainterPath p;
    for (const QRectF &r : rects)
        p.addPolygon(t.map(QPolygonF(r.normalized())));
    return p.simplified();
}

QPainterPath combine(const QPainterPath &a, const QPainterPath &b, int mode)
{
    switch (mode) {
    case 1: // RGN_AND
        return a.intersected(b);
    case 2: // RGN_OR
        return a.united(b);
    case 3: // RGN_XOR
        return a.united(b).subtracted(a.intersected(b));
    case 4: // RGN_DIFF
        return a.subtracted(b);
    default: // RGN_COPY
        return b;
    }
}

} // namespace

void PlayMetafile(const QByteArray &Data, const TMetafileHeader &Header, QPainter &Painter,
                  const QRectF &Rect)
{
    if (!Painter.isActive() || Rect.width() <= 0 || Rect.height() <= 0)
        return;
    Painter.save();
    {
        TMetafilePlayer player(Header, Painter, Rect);
        player.Play(Data);
    }
    Painter.restore();
}

TMetafilePlayer::TMetafilePlayer(const TMetafileHeader &Header, QPainter &Painter,
                                 const QRectF &Rect)
    : header(Header), painter(Painter), rect(Rect), base(Painter.transform())
{
    if (Painter.hasClipping())
        baseClip = Painter.clipPath() * base;
    if (header.Kind == TMetafileKind::Enhanced) {
        // The frame, in pixels of the reference device, fills the rectangle.
        const double pxX =
            double(header.DevicePixels.width()) / (header.DeviceMillimeters.width() * 100.0);
        const double pxY =
            double(header.DevicePixels.height()) / (header.DeviceMillimeters.height() * 100.0);
        const QRectF frame(header.Frame.left() * pxX, header.Frame.top() * pxY,
                           (double(header.Frame.right()) - header.Frame.left()) * pxX,
                           (double(header.Frame.bottom()) - header.Frame.top()) * pxY);
        toRect =
            QTransform::fromTranslate(-frame.left(), -frame.top()) *
            QTransform::fromScale(rect.width() / frame.width(), rect.height() / frame.height()) *
            QTransform::fromTranslate(rect.left(), rect.top());
        objects.resize(size_t(header.HandleCount));
    } else {
        state.WindowOrg = header.Window.topLeft();
        state.WindowExt = header.Window.size();
        objects.resize(size_t(header.ObjectCount));
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    updateTransform();
    applyClip();
}

TMetafilePlayer::~TMetafilePlayer() = default;

void TMetafilePlayer::Play(const QByteArray &Data)
{
    TMetafileRecords records(Data, header);
    TMetafileRecord record;
    const bool enhanced = header.Kind == TMetafileKind::Enhanced;
    while (records.Next(record)) {
        try {
            if (enhanced)
                PlayEmfRecord(*this, record);
            else
                PlayWmfRecord(*this, record);
        } catch (const Exception &) {
            // A record that cannot be drawn (a damaged bitmap, say) is left out.
        }
    }
}

// ---- mapping ----

QTransform TMetafilePlayer::pageTransform() const
{
    const QPointF wo = state.WindowOrg, vo = state.ViewportOrg;
    if (header.Kind == TMetafileKind::Windows) {
        // The window the records set fills the rectangle; there is no device of its own.
        const double w = state.WindowExt.width(), h = state.WindowExt.height();
        const double sx = w != 0 ? rect.width() / w : 1, sy = h != 0 ? rect.height() / h : 1;
        return QTransform::fromTranslate(-wo.x(), -wo.y()) * QTransform::fromScale(sx, sy) *
               QTransform::fromTranslate(rect.left(), rect.top());
    }
    const double mmX = double(header.DevicePixels.width()) / header.DeviceMillimeters.width();
    const double mmY = double(header.DevicePixels.height()) / header.DeviceMillimeters.height();
    double sx = 1, sy = 1;
    switch (state.MapMode) {
    case 2: // MM_LOMETRIC, 0.1 mm
        sx = 0.1 * mmX, sy = -0.1 * mmY;
        break;
    case 3: // MM_HIMETRIC, 0.01 mm
        sx = 0.01 * mmX, sy = -0.01 * mmY;
        break;
    case 4: // MM_LOENGLISH, 0.01 inch
        sx = 0.254 * mmX, sy = -0.254 * mmY;
        break;
    case 5: // MM_HIENGLISH, 0.001 inch
        sx = 0.0254 * mmX, sy = -0.0254 * mmY;
        break;
    case 6: // MM_TWIPS
        sx = 25.4 / 1440 * mmX, sy = -25.4 / 1440 * mmY;
        break;
    case 7: // MM_ISOTROPIC
    case 8: // MM_ANISOTROPIC
        if (state.WindowExt.width() != 0 && state.WindowExt.height() != 0) {
            sx = state.ViewportExt.width() / state.WindowExt.width();
            sy = state.ViewportExt.height() / state.WindowExt.height();
            if (state.MapMode == 7) {
                const double m = std::min(std::abs(sx), std::abs(sy));
                sx = std::copysign(m, sx), sy = std::copysign(m, sy);
            }
        }
        break;
    default: // MM_TEXT
        break;
    }
    return QTransform::fromTranslate(-wo.x(), -wo.y()) * QTransform::fromScale(sx, sy) *
           QTransform::fromTranslate(vo.x(), vo.y()) * toRect;
}

void TMetafilePlayer::updateTransform()
{
    full = state.World * pageTransform();
    if (finite(full))
        painter.setTransform(full * base);
}

void TMetafilePlayer::SetMapMode(int Mode)
{
    if (Mode >= 1 && Mode <= 8) {
        state.MapMode = Mode;
        updateTransform();
    }
}

void TMetafilePlayer::SetWindowOrg(QPointF P)
{
    state.WindowOrg = P;
    updateTransform();
}

void TMetafilePlayer::SetWindowExt(QSizeF S)
{
    // Extents of zero are refused, as the device refuses them.
    if (S.width() == 0 || S.height() == 0)
        return;
    state.WindowExt = S;
    updateTransform();
}

void TMetafilePlayer::SetViewportOrg(QPointF P)
{
    state.ViewportOrg = P;
    updateTransform();
}

void TMetafilePlayer::SetViewportExt(QSizeF S)
{
    if (S.width() == 0 || S.height() == 0)
        return;
    state.ViewportExt = S;
    updateTransform();
}

void TMetafilePlayer::SetWorldTransform(const QTransform &T)
{
    if (!finite(T))
        return;
    state.World = T;
    updateTransform();
}

// ---- objects ----

void TMetafilePlayer::CreateObject(quint32 Index, TMetafileObject Object)
{
    if (Index >= MaxObjects)
        return;
    if (Index >= objects.size())
        objects.resize(size_t(Index) + 1);
    objects[Index] = std::move(Object);
}

void TMetafilePlayer::CreateObjectInFreeSlot(TMetafileObject Object)
{
    for (TMetafileObject &slot : objects)
        if (std::holds_alternative<std::monostate>(slot)) {
            slot = std::move(Object);
            return;
        }
    if (objects.size() < MaxObjects)
        objects.push_back(std::move(Object));
}

void TMetafilePlayer::SelectObject(quint32 Index)
{
    if (header.Kind == TMetafileKind::Enhanced && (Index & 0x80000000u)) {
        SelectStockObject(Index & 0x7FFFFFFFu);
        return;
    }
    if (Index >= objects.size())
        return;
    const TMetafileObject &o = objects[Index];
    if (auto *pen = std::get_if<TMetafilePen>(&o))
        state.Pen = *pen;
    else if (auto *brush = std::get_if<TMetafileBrush>(&o))
        state.Brush = *brush;
    else if (auto *font = std::get_if<TMetafileFont>(&o))
        state.Font = *font;
}

void TMetafilePlayer::SelectStockObject(quint32 Stock)
{
    const int grey[] = {255, 192, 128, 64, 0};
    if (Stock <= 4) {
        state.Brush = TMetafileBrush{0, qRgb(grey[Stock], grey[Stock], grey[Stock]), 0, {}};
    } else if (Stock == 5) {
        state.Brush = TMetafileBrush{1, 0, 0, {}};
    } else if (Stock == 6 || Stock == 7) {
        state.Pen = TMetafilePen{0, 0, Stock == 6 ? qRgb(255, 255, 255) : qRgb(0, 0, 0), false, {}};
    } else if (Stock == 8) {
        state.Pen = TMetafilePen{5, 0, 0, false, {}};
    } else if (Stock >= 10 && Stock <= 17 && Stock != 15) {
        state.Font = TMetafileFont{};
    } else if (Stock == 18) {
        state.Brush = TMetafileBrush{};
    } else if (Stock == 19) {
        state.Pen = TMetafilePen{};
    }
}

void TMetafilePlayer::DeleteObject(quint32 Index)
{
    if (Index < objects.size())
        objects[Index] = std::monostate();
}

// ---- saved states ----

void TMetafilePlayer::SaveDC()
{
    if (saved.size() < MaxSavedStates)
        saved.push_back(state);
}

void TMetafilePlayer::RestoreDC(int Level)
{
    const qint64 size = qint64(saved.size());
    const qint64 keep = Level < 0 ? size + Level : qint64(Level) - 1;
    if (Level == 0 || keep < 0 || keep >= size)
        return;
    state = saved[size_t(keep)];
    saved.resize(size_t(keep));
    updateTransform();
    applyClip();
}

// ---- clipping ----

void TMetafilePlayer::applyClip()
{
    painter.setTransform(QTransform());
    if (baseClip)
        painter.setClipPath(*baseClip);
    else
        painter.setClipping(false);
    painter.setClipRect(base.mapRect(rect), baseClip ? Qt::IntersectClip : Qt::ReplaceClip);
    if (state.Clip)
        painter.setClipPath(*state.Clip * base, Qt::IntersectClip);
    if (finite(full))
        painter.setTransform(full * base);
}

void TMetafilePlayer::IntersectClipRect(const QRectF &R)
{
    if (!finite(full))
        return;
    QPainterPath r;
    r.addPolygon(full.map(QPolygonF(R.normalized())));
    r.closeSubpath();
    state.Clip = state.Clip ? state.Clip->intersected(r) : r;
    applyClip();
}

void TMetafilePlayer::ExcludeClipRect(const QRectF &R)
{
    if (!finite(full))
        return;
    QPainterPath r;
    r.addPolygon(full.map(QPolygonF(R.normalized())));
    r.closeSubpath();
    QPainterPath whole;
    whole.addRect(rect);
    state.Clip = (state.Clip ? *state.Clip : whole).subtracted(r);
    applyClip();
}

void TMetafilePlayer::SelectClipRegion(const QVector<QRectF> &DeviceRects, int Mode)
{
    if (Mode == 5 && DeviceRects.isEmpty()) {
        ResetClip();
        return;
    }
    // Region rectangles are in device units: only the frame's mapping applies.
    const QTransform device = header.Kind == TMetafileKind::Enhanced ? toRect : full;
    const QPainterPath region = rectsPath(DeviceRects, device);
    QPainterPath whole;
    whole.addRect(rect);
    state.Clip = combine(state.Clip ? *state.Clip : whole, region, Mode);
    applyClip();
}

void TMetafilePlayer::ResetClip()
{
    state.Clip.reset();
    applyClip();
}

void TMetafilePlayer::OffsetClip(QPointF Logical)
{
    if (!state.Clip || !finite(full))
        return;
    const QPointF d = full.map(Logical) - full.map(QPointF(0, 0));
    state.Clip->translate(d);
    applyClip();
}

// ---- pens, brushes, shapes ----

QPen TMetafilePlayer::qtPen() const
{
    const TMetafilePen &p = state.Pen;
    const quint32 style = p.Style & 0x0F;
    if (style == 5) // PS_NULL
        return Qt::NoPen;
    QColor color = QColor::fromRgb(p.Color);
    if (state.Rop2 == 1)
        color = Qt::black;
    else if (state.Rop2 == 16)
        color = Qt::white;
    QPen pen(color);
    const double scale = (xScale(full) + yScale(full)) / 2;
    const double device = p.Width * scale;
    const bool cosmetic = device < 1.5 || (!p.Geometric && p.Width <= 1);
    // A wide pen is held to what the target could show; an empty target has room for none.
    const double limit = 4.0 * (std::abs(rect.width()) + std::abs(rect.height()));
    const double width = device > limit ? limit / scale : p.Width;
    // Qt refuses widths of 2^15 and more, and a refused width would leave a hairline; such a
    // pen, only possible under a tiny mapping, is given its width on the device instead.
    constexpr double MaxPenWidth = 32767;
    if (cosmetic || !(width > 0) || !std::isfinite(width)) {
        pen.setWidth(0);
    } else if (width < MaxPenWidth) {
        pen.setWidthF(width);
    } else {
        pen.setCosmetic(true);
        pen.setWidthF(std::min({device, limit, MaxPenWidth}));
    }
    // Thin pens end round, as the device draws them; geometric pens say how.
    const quint32 cap = p.Style & 0x0F00, join = p.Style & 0xF000;
    pen.setCapStyle(!p.Geometric || cap == 0 ? Qt::RoundCap
                    : cap == 0x100           ? Qt::SquareCap
                                             : Qt::FlatCap);
    pen.setJoinStyle(!p.Geometric || join == 0 ? Qt::RoundJoin
                     : join == 0x1000          ? Qt::BevelJoin
                                               : Qt::MiterJoin);
    pen.setMiterLimit(state.MiterLimit);
    // Dashes of thin pens are device pixels; of wide pens, multiples of the width.
    QVector<qreal> dashes;
    switch (style) {
    case 1:
        dashes = cosmetic ? QVector<qreal>{18, 6} : QVector<qreal>{3, 1};
        break;
    case 2:
    case 8:
        dashes = cosmetic ? QVector<qreal>{3, 3} : QVector<qreal>{1, 1};
        break;
    case 3:
        dashes = cosmetic ? QVector<qreal>{9, 6, 3, 6} : QVector<qreal>{3, 1, 1, 1};
        break;
    case 4:
        dashes = cosmetic ? QVector<qreal>{9, 3, 3, 3, 3, 3} : QVector<qreal>{3, 1, 1, 1, 1, 1};
        break;
    case 7:
        for (double d : p.Dashes)
            dashes.append(std::max(d / std::max(p.Width, 1.0), 0.1));
        if (dashes.size() % 2)
            dashes.append(dashes.back());
        break;
    default:
        break;
    }
    if (!dashes.isEmpty()) {
        pen.setCapStyle(Qt::FlatCap);
        pen.setDashPattern(dashes);
    }
    return pen;
}

QBrush TMetafilePlayer::qtBrush(const TMetafileBrush &B) const
{
    QColor color = QColor::fromRgb(B.Color);
    if (state.Rop2 == 1)
        color = Qt::black;
    else if (state.Rop2 == 16)
        color = Qt::white;
    QBrush brush;
    switch (B.Style) {
    case 1: // BS_NULL
        return Qt::NoBrush;
    case 2: { // BS_HATCHED
        const Qt::BrushStyle hatch[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                        Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
        brush = QBrush(color, B.Hatch < 6 ? hatch[B.Hatch] : Qt::SolidPattern);
        break;
    }
    case 3: // BS_PATTERN
    case 5: // BS_DIBPATTERN
    case 6: // BS_DIBPATTERNPT
        if (B.Pattern.isNull())
            return QBrush(color);
        if (B.Style == 3 && B.Pattern.format() == QImage::Format_Mono) {
            // The colours are the device's when the brush paints, not when it was made.
            QImage mono = B.Pattern;
            mono.setColorTable({state.TextColor | 0xFF000000u, state.BkColor | 0xFF000000u});
            brush = QBrush(mono.convertToFormat(QImage::Format_RGB32));
        } else {
            brush = QBrush(B.Pattern);
        }
        break;
    default:
        return QBrush(color);
    }
    // Hatches and patterns are laid in device pixels, whatever the mapping, from the
    // picture's top-left corner.
    if (finite(full))
        brush.setTransform(QTransform::fromTranslate(rect.left(), rect.top()) * full.inverted());
    return brush;
}

bool TMetafilePlayer::composition(QPainter::CompositionMode &Mode) const
{
    switch (state.Rop2) {
    case 11: // R2_NOP
        return false;
    case 6: // R2_NOT
        Mode = QPainter::RasterOp_NotDestination;
        break;
    case 7: // R2_XORPEN
        Mode = QPainter::RasterOp_SourceXorDestination;
        break;
    case 9: // R2_MASKPEN
        Mode = QPainter::RasterOp_SourceAndDestination;
        break;
    case 15: // R2_MERGEPEN
        Mode = QPainter::RasterOp_SourceOrDestination;
        break;
    default:
        Mode = QPainter::CompositionMode_SourceOver;
        break;
    }
    return true;
}

bool TMetafilePlayer::drawable(const QRectF &B) const
{
    return std::isfinite(B.left()) && std::isfinite(B.top()) && std::isfinite(B.right()) &&
           std::isfinite(B.bottom());
}

namespace
{
// Also true for lines, whose bounds have no width or height.
bool withinLimit(const QRectF &B)
{
    return B.left() >= -CoordinateLimit && B.top() >= -CoordinateLimit &&
           B.right() <= CoordinateLimit && B.bottom() <= CoordinateLimit;
}
} // namespace

void TMetafilePlayer::shape(const QPainterPath &Path, bool Fill, bool Stroke)
{
    if (path) {
        path->addPath(Path);
        return;
    }
    QPainter::CompositionMode mode;
    if (!finite(full) || !composition(mode))
        return;
    QPainterPath p = Path;
    const QRectF bounds = full.mapRect(p.controlPointRect());
    if (!drawable(bounds))
        return;
    const QRectF limit(-CoordinateLimit, -CoordinateLimit, 2 * CoordinateLimit,
                       2 * CoordinateLimit);
    if (!withinLimit(bounds)) {
        // Far outside every picture: only the part near the picture is drawn, filled.
        QPainterPath near;
        near.addRect(full.inverted().mapRect(limit));
        p = p.intersected(near);
        Stroke = false;
    }
    p.setFillRule(state.FillRule);
    painter.setCompositionMode(mode);
    painter.setBackgroundMode(state.BkOpaque ? Qt::OpaqueMode : Qt::TransparentMode);
    painter.setBackground(QColor::fromRgb(state.BkColor));
    painter.setPen(Stroke ? qtPen() : QPen(Qt::NoPen));
    painter.setBrush(Fill ? qtBrush(state.Brush) : QBrush(Qt::NoBrush));
    painter.drawPath(p);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TMetafilePlayer::MoveTo(QPointF P)
{
    state.Position = P;
    if (path)
        path->moveTo(P);
}

void TMetafilePlayer::LineTo(QPointF P)
{
    if (path) {
        if (path->elementCount() == 0)
            path->moveTo(state.Position);
        path->lineTo(P);
    } else {
        QPainterPath p(state.Position);
        p.lineTo(P);
        shape(p, false, true);
    }
    state.Position = P;
}

void TMetafilePlayer::Polyline(const QPolygonF &Points)
{
    if (Points.isEmpty())
        return;
    QPainterPath p;
    p.addPolygon(Points);
    shape(p, false, true);
}

void TMetafilePlayer::PolylineTo(const QPolygonF &Points)
{
    if (Points.isEmpty())
        return;
    if (path) {
        if (path->elementCount() == 0)
            path->moveTo(state.Position);
        for (const QPointF &pt : Points)
            path->lineTo(pt);
    } else {
        QPainterPath p(state.Position);
        for (const QPointF &pt : Points)
            p.lineTo(pt);
        shape(p, false, true);
    }
    state.Position = Points.back();
}

void TMetafilePlayer::PolyBezier(const QPolygonF &Points)
{
    if (Points.size() < 4)
        return;
    QPainterPath p(Points[0]);
    for (qsizetype i = 1; i + 2 < Points.size(); i += 3)
        p.cubicTo(Points[i], Points[i + 1], Points[i + 2]);
    shape(p, false, true);
}

void TMetafilePlayer::PolyBezierTo(const QPolygonF &Points)
{
    if (Points.size() < 3)
        return;
    const bool inPath = bool(path);
    QPainterPath p(state.Position);
    QPainterPath &target = inPath ? *path : p;
    if (inPath && target.elementCount() == 0)
        target.moveTo(state.Position);
    qsizetype i = 0;
    for (; i + 2 < Points.size(); i += 3)
        target.cubicTo(Points[i], Points[i + 1], Points[i + 2]);
    state.Position = Points[i - 1];
    if (!inPath)
        shape(p, false, true);
}

void TMetafilePlayer::Polygon(const QPolygonF &Points)
{
    if (Points.size() < 2)
        return;
    QPainterPath p;
    p.addPolygon(Points);
    p.closeSubpath();
    shape(p, true, true);
}

void TMetafilePlayer::PolyPolygon(const std::vector<QPolygonF> &Polygons)
{
    QPainterPath p;
    for (const QPolygonF &poly : Polygons)
        if (poly.size() >= 2) {
            p.addPolygon(poly);
            p.closeSubpath();
        }
    shape(p, true, true);
}

void TMetafilePlayer::PolyPolyline(const std::vector<QPolygonF> &Polylines)
{
    QPainterPath p;
    for (const QPolygonF &line : Polylines)
        p.addPolygon(line);
    shape(p, false, true);
}

void TMetafilePlayer::Rectangle(const QRectF &R)
{
    QPainterPath p;
    p.addRect(R.normalized());
    shape(p, true, true);
}

void TMetafilePlayer::RoundRect(const QRectF &R, QSizeF Corner)
{
    QPainterPath p;
    p.addRoundedRect(R.normalized(), std::abs(Corner.width()) / 2, std::abs(Corner.height()) / 2);
    shape(p, true, true);
}

void TMetafilePlayer::Ellipse(const QRectF &R)
{
    QPainterPath p;
    p.addEllipse(R.normalized());
    shape(p, true, true);
}

QPainterPath TMetafilePlayer::arcPath(TArcKind Kind, const QRectF &Box, QPointF Start,
                                      QPointF End) const
{
    const QRectF box = Box.normalized();
    const double a1 = ellipseAngle(box, Start), a2 = ellipseAngle(box, End);
    // The direction holds on the device: a mapping that mirrors reverses it logically.
    const bool mirrored = full.determinant() < 0;
    const double sweep = (state.Clockwise != mirrored) ? -ccwSweep(a2, a1) : ccwSweep(a1, a2);
    QPainterPath p;
    if (Kind == TArcKind::Pie) {
        p.moveTo(box.center());
        p.arcTo(box, a1, sweep);
        p.closeSubpath();
    } else {
        if (Kind == TArcKind::ArcTo)
            p.moveTo(state.Position);
        else
            p.arcMoveTo(box, a1);
        p.arcTo(box, a1, sweep);
        if (Kind == TArcKind::Chord)
            p.closeSubpath();
    }
    return p;
}

void TMetafilePlayer::ArcShape(TArcKind Kind, const QRectF &Box, QPointF Start, QPointF End)
{
    const QPainterPath p = arcPath(Kind, Box, Start, End);
    const bool closed = Kind == TArcKind::Chord || Kind == TArcKind::Pie;
    shape(p, closed, true);
    if (Kind == TArcKind::ArcTo)
        state.Position = p.currentPosition();
}

void TMetafilePlayer::AngleArc(QPointF Center, double Radius, double StartDegrees,
                               double SweepDegrees)
{
    if (!std::isfinite(StartDegrees) || !std::isfinite(SweepDegrees))
        return;
    const QRectF box(Center.x() - Radius, Center.y() - Radius, 2 * Radius, 2 * Radius);
    QPainterPath p(state.Position);
    p.arcTo(box, StartDegrees, std::clamp(SweepDegrees, -3600.0, 3600.0));
    shape(p, false, true);
    state.Position = p.currentPosition();
}

void TMetafilePlayer::SetPixel(QPointF P, QRgb Color)
{
    if (!finite(full) || path)
        return;
    const QPointF d = full.map(P);
    if (!drawable(QRectF(d, d)) || !rect.adjusted(-1, -1, 1, 1).contains(d))
        return;
    painter.setTransform(base);
    painter.fillRect(QRectF(std::floor(d.x()), std::floor(d.y()), 1, 1), QColor::fromRgb(Color));
    painter.setTransform(full * base);
}

void TMetafilePlayer::FillRegion(const QVector<QRectF> &Rects, std::optional<quint32> BrushIndex)
{
    if (path)
        return;
    const TMetafileBrush keep = state.Brush;
    if (BrushIndex) {
        if (*BrushIndex >= objects.size())
            return;
        auto *brush = std::get_if<TMetafileBrush>(&objects[*BrushIndex]);
        if (!brush)
            return;
        state.Brush = *brush;
    }
    QPainterPath p;
    for (const QRectF &r : Rects)
        p.addRect(r.normalized());
    shape(p, true, false);
    state.Brush = keep;
}

// ---- text ----

QFont TMetafilePlayer::qtFont(double PixelSize) const
{
    QFont font(state.Font.FaceName.isEmpty() ? QStringLiteral("sans-serif") : state.Font.FaceName);
    font.setPixelSize(std::max(1, int(std::lround(PixelSize))));
    font.setWeight(
        QFont::Weight(std::clamp(state.Font.Weight <= 0 ? 400 : state.Font.Weight, 1, 1000)));
    font.setItalic(state.Font.Italic);
    font.setUnderline(state.Font.Underline);
    font.setStrikeOut(state.Font.StrikeOut);
    font.setKerning(false);
    return font;
}

QString TMetafilePlayer::DecodeText(QByteArrayView Bytes) const
{
    return DecodeCharSet(Bytes, state.Font.CharSet);
}

void TMetafilePlayer::TextOut(QPointF Reference, const QString &Text,
                              const QVector<double> &Advances, quint32 Options, const QRectF &Box)
{
    QPainter::CompositionMode mode;
    if (path || !finite(full) || !composition(mode))
        return;
    const bool updateCp = state.TextAlign & 1;
    const QPointF at = full.map(updateCp ? state.Position : Reference);
    const double sx = xScale(full), sy = yScale(full);
    const double limit = std::min(16384.0, 4.0 * (rect.width() + rect.height()) + 64);
    double size = state.Font.Height == 0 ? 12.0 : std::abs(double(state.Font.Height)) * sy;
    if (!drawable(QRectF(at, at)) || size > limit || size < 0.5)
        return;
    QFont font = qtFont(size);
    if (state.Font.Height > 0) {
        // A positive height is the cell (ascent and descent), not the character.
        const QFontMetricsF cell(font);
        if (cell.ascent() + cell.descent() > 0)
            font = qtFont(size * size / (cell.ascent() + cell.descent()));
    }
    // The font's width is left alone: writers measure it with fonts of their own (LibreOffice
    // writes the height there), so glyphs keep their natural proportions.
    const QFontMetricsF fm(font);
    double width = 0;
    if (!Advances.isEmpty())
        for (double a : Advances)
            width += a * sx;
    else
        width = fm.horizontalAdvance(Text);

    painter.setTransform(base);
    painter.setCompositionMode(mode);
    if ((Options & 0x2) && drawable(full.mapRect(Box))) // ETO_OPAQUE
        painter.fillRect(full.mapRect(Box.normalized()), QColor::fromRgb(state.BkColor));
    if (Options & 0x4) // ETO_CLIPPED
        painter.setClipRect(full.mapRect(Box.normalized()), Qt::IntersectClip);

    painter.translate(at);
    painter.rotate(-(state.Font.Escapement / 10.0));
    const quint32 h = state.TextAlign & 6, v = state.TextAlign & 24;
    const double x0 = h == 6 ? -width / 2 : h == 2 ? -width : 0;
    const double baseline = v == 24 ? 0 : v == 8 ? -fm.descent() : fm.ascent();
    if (state.BkOpaque)
        painter.fillRect(QRectF(x0, baseline - fm.ascent(), width, fm.ascent() + fm.descent()),
                         QColor::fromRgb(state.BkColor));
    painter.setFont(font);
    painter.setPen(QColor::fromRgb(state.TextColor));
    // The background behind the text is filled above, as the mode says; Qt would otherwise
    // fill it again whenever the last shape left the painter opaque.
    painter.setBackgroundMode(Qt::TransparentMode);
    if (Advances.isEmpty()) {
        painter.drawText(QPointF(x0, baseline), Text);
    } else {
        double x = x0;
        for (qsizetype i = 0; i < Text.size(); ++i) {
            const bool pair = Text[i].isHighSurrogate() && i + 1 < Text.size();
            painter.drawText(QPointF(x, baseline), Text.mid(i, pair ? 2 : 1));
            x += (i < Advances.size() ? Advances[i] : 0) * sx;
            if (pair)
                x += (++i < Advances.size() ? Advances[i] : 0) * sx;
        }
    }
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (Options & 0x4)
        applyClip();
    else
        painter.setTransform(full * base);
    if (updateCp && sx > 0)
        state.Position += QPointF(width / sx * (full.m11() < 0 ? -1 : 1), 0);
}

// ---- bitmaps ----

qsizetype TMetafilePlayer::DibInfoSize(QByteArrayView Packed)
{
    const TMetafileRecord dib(0, Packed);
    const quint32 headerSize = dib.U32(0);
    if (headerSize == 12) {
        const quint16 bits = dib.U16(10);
        return 12 + (bits <= 8 ? qsizetype(3) << bits : 0);
    }
    if (headerSize < 40 || headerSize > quint32(Packed.size()))
        return -1;
    const quint16 bits = dib.U16(14);
    const quint32 compression = dib.U32(16);
    const quint32 used = dib.U32(32);
    const qint64 colors = used ? qint64(used) : bits <= 8 ? qint64(1) << bits : 0;
    if (colors > 256 && bits <= 8)
        return -1;
    qint64 size = headerSize + colors * 4;
    if ((compression == 3 || compression == 6) && headerSize == 40)
        size += compression == 3 ? 12 : 16;
    return size <= Packed.size() ? qsizetype(size) : -1;
}

QImage TMetafilePlayer::DecodeMonoDib(QByteArrayView Info, QByteArrayView Bits)
{
    const TMetafileRecord dib(0, Info);
    const quint32 headerSize = dib.U32(0);
    if (!dib.Has(0, 12) || (headerSize != 12 && (headerSize < 40 || !dib.Has(0, 20))))
        return {};
    const bool core = headerSize == 12;
    const qint64 width = core ? dib.U16(4) : dib.I32(4);
    const qint64 height = core ? dib.U16(6) : dib.I32(8);
    const int bits = core ? dib.U16(10) : dib.U16(14);
    const quint32 compression = core ? 0 : dib.U32(16);
    if (bits != 1 || compression != 0 || width <= 0 || height == 0 ||
        height == std::numeric_limits<qint32>::min())
        return {};
    const qint64 rows = std::abs(height), stride = (width + 31) / 32 * 4;
    if (width > MaxPatternSide || rows > MaxPatternSide || stride * rows > Bits.size())
        return {};
    QImage image(int(width), int(rows), QImage::Format_Mono);
    if (image.isNull())
        return {};
    image.setColorTable({0xFF000000u, 0xFFFFFFFFu});
    for (qint64 y = 0; y < rows; ++y) {
        const qint64 row = height > 0 ? rows - 1 - y : y; // bottom-up unless the height is < 0
        std::memcpy(image.scanLine(int(y)), Bits.data() + row * stride,
                    size_t(std::min<qint64>(stride, image.bytesPerLine())));
    }
    return image;
}

QImage TMetafilePlayer::DecodeDib(QByteArrayView Info, QByteArrayView Bits, bool WithAlpha)
{
    const TMetafileRecord dib(0, Info);
    const quint32 headerSize = dib.U32(0);
    if (!dib.Has(0, 12) || Info.size() < qsizetype(headerSize))
        return {};
    const bool core = headerSize == 12;
    const qint64 width = core ? dib.U16(4) : dib.I32(4);
    const qint64 height = core ? dib.U16(6) : dib.I32(8);
    const int bits = core ? dib.U16(10) : dib.U16(14);
    const quint32 compression = core ? 0 : dib.U32(16);
    if (width <= 0 || height == 0 || height == std::numeric_limits<qint32>::min())
        return {};
    if (compression == 0 || compression == 3) {
        // Uncompressed rows must all be there.
        const qint64 stride = (width * bits + 31) / 32 * 4;
        if (bits <= 0 || stride > (qint64(1) << 31) / std::abs(height) ||
            stride * std::abs(height) > Bits.size())
            return {};
        if (WithAlpha && bits == 32 && compression == 0) {
            CheckPictureSize(width, std::abs(height));
            QImage image(int(width), int(std::abs(height)), QImage::Format_ARGB32_Premultiplied);
            if (image.isNull())
                return {};
            for (int y = 0; y < image.height(); ++y) {
                const int row = height > 0 ? image.height() - 1 - y : y;
                std::memcpy(image.scanLine(y), Bits.data() + qint64(row) * stride,
                            size_t(width) * 4);
            }
            return image;
        }
    }
    QByteArray file("BM");
    const quint32 offset = quint32(14 + Info.size());
    const quint32 total = quint32(offset + Bits.size());
    file.append(reinterpret_cast<const char *>(&total), 4);
    file.append(4, '\0');
    file.append(reinterpret_cast<const char *>(&offset), 4);
    file.append(Info.data(), Info.size());
    file.append(Bits.data(), Bits.size());
    QBuffer buffer(&file);
    buffer.open(QIODevice::ReadOnly);
    TBitmap bitmap;
    bitmap.LoadFromStream(buffer);
    return bitmap.Image();
}

void TMetafilePlayer::blit(const QRectF &Dest, const QImage &Picture, const QRectF &Source,
                           QPainter::CompositionMode Mode, double Opacity)
{
    if (Picture.isNull() || path || !finite(full))
        return;
    const QRectF bounds = full.mapRect(Dest.normalized());
    if (!drawable(bounds) || bounds.isEmpty() || !withinLimit(bounds))
        return;
    // A negative extent mirrors the picture.
    const bool flipX = (Dest.width() < 0) != (Source.width() < 0);
    const bool flipY = (Dest.height() < 0) != (Source.height() < 0);
    const QImage picture = Picture.mirrored(flipX, flipY);
    QRectF source = Source.normalized();
    if (flipX)
        source.moveLeft(picture.width() - source.right());
    if (flipY)
        source.moveTop(picture.height() - source.bottom());
    painter.setCompositionMode(Mode);
    painter.setOpacity(Opacity);
    painter.drawImage(Dest.normalized(), picture, source);
    painter.setOpacity(1);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void TMetafilePlayer::StretchBits(const QRectF &Dest, const QImage &Picture, const QRectF &Source,
                                  quint32 Rop)
{
    QPainter::CompositionMode mode = QPainter::CompositionMode_SourceOver;
    switch (Rop) {
    case 0x008800C6: // SRCAND
        mode = QPainter::RasterOp_SourceAndDestination;
        break;
    case 0x00EE0086: // SRCPAINT
        mode = QPainter::RasterOp_SourceOrDestination;
        break;
    case 0x00660046: // SRCINVERT
        mode = QPainter::RasterOp_SourceXorDestination;
        break;
    case 0x00330008: // NOTSRCCOPY
        mode = QPainter::RasterOp_NotSource;
        break;
    case 0x00AA0029: // the destination itself
        return;
    default:
        break;
    }
    blit(Dest, Picture, Source, mode, 1);
}

void TMetafilePlayer::AlphaBlend(const QRectF &Dest, const QImage &Picture, const QRectF &Source,
                                 quint32 Blend)
{
    blit(Dest, Picture, Source, QPainter::CompositionMode_SourceOver,
         ((Blend >> 16) & 0xFF) / 255.0);
}

void TMetafilePlayer::PatBlt(const QRectF &Dest, quint32 Rop)
{
    if (path || !finite(full))
        return;
    const QRectF bounds = full.mapRect(Dest.normalized());
    if (!drawable(bounds))
        return;
    QPainterPath p;
    p.addRect(Dest.normalized());
    const TMetafileBrush keep = state.Brush;
    const int keepRop = state.Rop2;
    switch (Rop) {
    case 0x00000042: // BLACKNESS
        state.Brush = TMetafileBrush{0, qRgb(0, 0, 0), 0, {}};
        break;
    case 0x00FF0062: // WHITENESS
        state.Brush = TMetafileBrush{0, qRgb(255, 255, 255), 0, {}};
        break;
    case 0x00550009: // DSTINVERT
        state.Rop2 = 6;
        break;
    case 0x005A0049: // PATINVERT
        state.Rop2 = 7;
        break;
    case 0x00AA0029:
        return;
    default: // PATCOPY and the rest
        break;
    }
    shape(p, true, false);
    state.Brush = keep;
    state.Rop2 = keepRop;
}

// ---- paths ----

void TMetafilePlayer::BeginPath()
{
    path = QPainterPath();
}

void TMetafilePlayer::EndPath()
{
    if (path) {
        finishedPath = *path;
        path.reset();
    }
}

void TMetafilePlayer::AbortPath()
{
    path.reset();
    finishedPath.reset();
}

void TMetafilePlayer::CloseFigure()
{
    if (path)
        path->closeSubpath();
}

void TMetafilePlayer::FillPath()
{
    if (!finishedPath)
        return;
    const QPainterPath p = *finishedPath;
    finishedPath.reset();
    shape(p, true, false);
}

void TMetafilePlayer::StrokePath()
{
    if (!finishedPath)
        return;
    const QPainterPath p = *finishedPath;
    finishedPath.reset();
    shape(p, false, true);
}

void TMetafilePlayer::StrokeAndFillPath()
{
    if (!finishedPath)
        return;
    const QPainterPath p = *finishedPath;
    finishedPath.reset();
    shape(p, true, true);
}

void TMetafilePlayer::SelectClipPath(int Mode)
{
    if (!finishedPath || !finite(full))
        return;
    QPainterPath p = full.map(*finishedPath);
    finishedPath.reset();
    p.setFillRule(state.FillRule);
    QPainterPath whole;
    whole.addRect(rect);
    state.Clip = combine(state.Clip ? *state.Clip : whole, p, Mode);
    applyClip();
}
