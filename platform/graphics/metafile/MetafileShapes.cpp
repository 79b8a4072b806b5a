// The metafile player's pens, brushes and shapes: lines, polygons, rectangles, ellipses,
// arcs, pixels and regions, drawn with the current pen and brush in the current mix mode.
#include "platform/graphics/metafile/MetafilePlayer.h"

#include "platform/graphics/metafile/MetafileGeometry.h"

#include <QHash>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace
{
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

} // namespace

QPen TMetafilePlayer::qtPen() const
{
    const TMetafilePen &p = state.Pen;
    const quint32 style = p.Style & PS_STYLE_MASK;
    if (style == PS_NULL)
        return Qt::NoPen;
    QColor color = QColor::fromRgb(p.Color);
    if (state.Rop2 == R2_BLACK)
        color = Qt::black;
    else if (state.Rop2 == R2_WHITE)
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
    const quint32 cap = p.Style & PS_ENDCAP_MASK, join = p.Style & PS_JOIN_MASK;
    pen.setCapStyle(!p.Geometric || cap == PS_ENDCAP_ROUND ? Qt::RoundCap
                    : cap == PS_ENDCAP_SQUARE              ? Qt::SquareCap
                                                           : Qt::FlatCap);
    pen.setJoinStyle(!p.Geometric || join == PS_JOIN_ROUND ? Qt::RoundJoin
                     : join == PS_JOIN_BEVEL               ? Qt::BevelJoin
                                                           : Qt::MiterJoin);
    pen.setMiterLimit(state.MiterLimit);
    // Dashes of thin pens are device pixels; of wide pens, multiples of the width.
    QVector<qreal> dashes;
    switch (style) {
    case PS_DASH:
        dashes = cosmetic ? QVector<qreal>{18, 6} : QVector<qreal>{3, 1};
        break;
    case PS_DOT:
    case PS_ALTERNATE:
        dashes = cosmetic ? QVector<qreal>{3, 3} : QVector<qreal>{1, 1};
        break;
    case PS_DASHDOT:
        dashes = cosmetic ? QVector<qreal>{9, 6, 3, 6} : QVector<qreal>{3, 1, 1, 1};
        break;
    case PS_DASHDOTDOT:
        dashes = cosmetic ? QVector<qreal>{9, 3, 3, 3, 3, 3} : QVector<qreal>{3, 1, 1, 1, 1, 1};
        break;
    case PS_USERSTYLE:
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
    if (state.Rop2 == R2_BLACK)
        color = Qt::black;
    else if (state.Rop2 == R2_WHITE)
        color = Qt::white;
    QBrush brush;
    switch (B.Style) {
    case BS_NULL:
        return Qt::NoBrush;
    case BS_HATCHED: {
        const Qt::BrushStyle hatch[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                        Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
        brush = QBrush(color, B.Hatch < HatchStyleCount ? hatch[B.Hatch] : Qt::SolidPattern);
        break;
    }
    case BS_PATTERN:
    case BS_DIBPATTERN:
    case BS_DIBPATTERNPT:
        if (B.Pattern.isNull())
            return QBrush(color);
        if (B.Style == BS_PATTERN && B.Pattern.format() == QImage::Format_Mono) {
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
    // The mix modes Qt has a composition mode for; any other paints over.
    static const QHash<int, QPainter::CompositionMode> modes{
        {R2_NOT, QPainter::RasterOp_NotDestination},
        {R2_XORPEN, QPainter::RasterOp_SourceXorDestination},
        {R2_MASKPEN, QPainter::RasterOp_SourceAndDestination},
        {R2_MERGEPEN, QPainter::RasterOp_SourceOrDestination},
    };
    if (state.Rop2 == R2_NOP)
        return false;
    Mode = modes.value(state.Rop2, QPainter::CompositionMode_SourceOver);
    return true;
}

bool TMetafilePlayer::drawable(const QRectF &B) const
{
    return std::isfinite(B.left()) && std::isfinite(B.top()) && std::isfinite(B.right()) &&
           std::isfinite(B.bottom());
}

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
