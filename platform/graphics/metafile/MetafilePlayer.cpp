// The metafile player: the device state (mapping, objects, saved states, clipping) and
// paths. Shapes, text and bitmaps are drawn in MetafileShapes.cpp, MetafileText.cpp and
// MetafileBitmaps.cpp.
#include "platform/graphics/metafile/MetafilePlayer.h"

#include "platform/base/Exception.h"
#include "platform/graphics/Bitmap.h"
#include "platform/graphics/PictureLimits.h"
#include "platform/graphics/metafile/MetafileGeometry.h"
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
    case RGN_AND:
        return a.intersected(b);
    case RGN_OR:
        return a.united(b);
    case RGN_XOR:
        return a.united(b).subtracted(a.intersected(b));
    case RGN_DIFF:
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
    case MM_LOMETRIC: // 0.1 mm
        sx = 0.1 * mmX, sy = -0.1 * mmY;
        break;
    case MM_HIMETRIC: // 0.01 mm
        sx = 0.01 * mmX, sy = -0.01 * mmY;
        break;
    case MM_LOENGLISH: // 0.01 inch
        sx = 0.254 * mmX, sy = -0.254 * mmY;
        break;
    case MM_HIENGLISH: // 0.001 inch
        sx = 0.0254 * mmX, sy = -0.0254 * mmY;
        break;
    case MM_TWIPS:
        sx = 25.4 / 1440 * mmX, sy = -25.4 / 1440 * mmY;
        break;
    case MM_ISOTROPIC:
    case MM_ANISOTROPIC:
        if (state.WindowExt.width() != 0 && state.WindowExt.height() != 0) {
            sx = state.ViewportExt.width() / state.WindowExt.width();
            sy = state.ViewportExt.height() / state.WindowExt.height();
            if (state.MapMode == MM_ISOTROPIC) {
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
    if (Mode >= MM_TEXT && Mode <= MM_ANISOTROPIC) {
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
    if (header.Kind == TMetafileKind::Enhanced && (Index & STOCK_OBJECT)) {
        SelectStockObject(Index & ~STOCK_OBJECT);
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
    // WHITE_BRUSH, LTGRAY_BRUSH, GRAY_BRUSH, DKGRAY_BRUSH, BLACK_BRUSH.
    const int grey[] = {255, 192, 128, 64, 0};
    if (Stock <= BLACK_BRUSH) {
        state.Brush = TMetafileBrush{BS_SOLID, qRgb(grey[Stock], grey[Stock], grey[Stock]), 0, {}};
    } else if (Stock == NULL_BRUSH) {
        state.Brush = TMetafileBrush{BS_NULL, 0, 0, {}};
    } else if (Stock == WHITE_PEN || Stock == BLACK_PEN) {
        state.Pen = TMetafilePen{
            PS_SOLID, 0, Stock == WHITE_PEN ? qRgb(255, 255, 255) : qRgb(0, 0, 0), false, {}};
    } else if (Stock == NULL_PEN) {
        state.Pen = TMetafilePen{PS_NULL, 0, 0, false, {}};
    } else if (Stock >= OEM_FIXED_FONT && Stock <= DEFAULT_GUI_FONT && Stock != DEFAULT_PALETTE) {
        state.Font = TMetafileFont{};
    } else if (Stock == DC_BRUSH) {
        state.Brush = TMetafileBrush{};
    } else if (Stock == DC_PEN) {
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
    if (Mode == RGN_COPY && DeviceRects.isEmpty()) {
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
