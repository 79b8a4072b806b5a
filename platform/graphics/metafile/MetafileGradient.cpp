// Shaded triangles of the metafile player: each pixel whose centre lies in a triangle takes
// the colour interpolated linearly between the corners at that centre, from 16-bit channels
// whose high bytes are the 8-bit colour. The triangles are drawn on the device, in bands of
// rows held to the target, so a hostile file can neither take memory beyond one band nor
// make the player visit more pixels than a budget allows.
#include "platform/graphics/metafile/MetafilePlayer.h"

#include <QPaintDevice>
#include <algorithm>
#include <cmath>

namespace
{
// Pixels of one band's picture.
constexpr qint64 BandPixels = qint64(1) << 20;
// Pixel visits one record may cost; triangles beyond the budget are left out.
constexpr qint64 VisitBudget = qint64(1) << 26;

struct TDeviceTriangle {
    QPointF P[3];
    double C[3][3]; // red, green, blue of each corner, 16-bit
    QRect Bounds;   // the pixels whose centres may lie inside, clipped to the target
};

quint8 channel(double value)
{
    return quint8(std::clamp(int(std::lround(value)), 0, 65535) >> 8);
}

// The triangles on the device, each with the pixels it may cover inside target; all is the
// union of those. Triangles with points off the number line or outside the target are
// dropped, and so is every triangle past the visit budget.
std::vector<TDeviceTriangle> deviceTriangles(const std::vector<TMetafileTriangle> &Triangles,
                                             const QTransform &toDevice, const QRect &target,
                                             QRect &all)
{
    std::vector<TDeviceTriangle> shapes;
    qint64 visits = 0;
    for (const TMetafileTriangle &t : Triangles) {
        TDeviceTriangle d;
        bool ok = true;
        for (int i = 0; i < 3; ++i) {
            d.P[i] = toDevice.map(t[size_t(i)].Point);
            ok = ok && std::isfinite(d.P[i].x()) && std::isfinite(d.P[i].y());
            d.C[i][0] = t[size_t(i)].Red;
            d.C[i][1] = t[size_t(i)].Green;
            d.C[i][2] = t[size_t(i)].Blue;
        }
        if (!ok)
            continue;
        const double left = std::min({d.P[0].x(), d.P[1].x(), d.P[2].x()});
        const double right = std::max({d.P[0].x(), d.P[1].x(), d.P[2].x()});
        const double top = std::min({d.P[0].y(), d.P[1].y(), d.P[2].y()});
        const double bottom = std::max({d.P[0].y(), d.P[1].y(), d.P[2].y()});
        // Pixel x is covered when its centre x + 0.5 lies inside.
        const double x0 = std::max(std::floor(left - 0.5), double(target.left()));
        const double x1 = std::min(std::ceil(right - 0.5), double(target.right()));
        const double y0 = std::max(std::floor(top - 0.5), double(target.top()));
        const double y1 = std::min(std::ceil(bottom - 0.5), double(target.bottom()));
        if (x0 > x1 || y0 > y1)
            continue;
        d.Bounds = QRect(QPoint(int(x0), int(y0)), QPoint(int(x1), int(y1)));
        visits += qint64(d.Bounds.width()) * d.Bounds.height();
        if (visits > VisitBudget)
            break;
        all |= d.Bounds;
        shapes.push_back(d);
    }
    return shapes;
}

// Shades the part of one triangle inside band into picture, whose top-left pixel is the
// band's; true when a pixel was set.
bool shadeInBand(const TDeviceTriangle &d, const QRect &band, QImage &picture)
{
    const QRect area = d.Bounds & band;
    if (area.isEmpty())
        return false;
    // Edge functions: w_i is the weight of corner i, 1 there and 0 on its far edge.
    const QPointF a = d.P[0], b = d.P[1], c = d.P[2];
    const double det = (b.x() - a.x()) * (c.y() - a.y()) - (c.x() - a.x()) * (b.y() - a.y());
    if (std::abs(det) < 1e-12)
        return false;
    bool inked = false;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(picture.scanLine(y - band.top()));
        const double py = y + 0.5;
        for (int x = area.left(); x <= area.right(); ++x) {
            const double px = x + 0.5;
            const double w1 = ((c.x() - px) * (a.y() - py) - (a.x() - px) * (c.y() - py)) / det;
            const double w2 = ((a.x() - px) * (b.y() - py) - (b.x() - px) * (a.y() - py)) / det;
            const double w0 = 1 - w1 - w2;
            constexpr double Edge = -1e-9;
            if (w0 < Edge || w1 < Edge || w2 < Edge)
                continue;
            double rgb[3];
            for (int k = 0; k < 3; ++k)
                rgb[k] = w0 * d.C[0][k] + w1 * d.C[1][k] + w2 * d.C[2][k];
            line[x - band.left()] = qRgb(channel(rgb[0]), channel(rgb[1]), channel(rgb[2]));
            inked = true;
        }
    }
    return inked;
}
} // namespace

void TMetafilePlayer::ShadeTriangles(const std::vector<TMetafileTriangle> &Triangles)
{
    if (path || Triangles.empty())
        return;
    const QTransform toDevice = full * base;
    if (!std::isfinite(toDevice.m11()) || !toDevice.isInvertible())
        return;
    const QPaintDevice *device = painter.device();
    QRect target = base.mapRect(rect).toAlignedRect();
    if (device)
        target &= QRect(0, 0, device->width(), device->height());
    if (target.isEmpty())
        return;

    QRect all;
    const std::vector<TDeviceTriangle> shapes = deviceTriangles(Triangles, toDevice, target, all);
    if (shapes.empty())
        return;

    const int bandRows = int(std::clamp<qint64>(BandPixels / all.width(), 1, all.height()));
    painter.setTransform(QTransform());
    for (int bandTop = all.top(); bandTop <= all.bottom(); bandTop += bandRows) {
        const QRect band(all.left(), bandTop, all.width(),
                         std::min(bandRows, all.bottom() + 1 - bandTop));
        QImage picture(band.size(), QImage::Format_ARGB32_Premultiplied);
        if (picture.isNull())
            break;
        picture.fill(Qt::transparent);
        bool inked = false;
        for (const TDeviceTriangle &d : shapes)
            inked = shadeInBand(d, band, picture) || inked;
        if (inked)
            painter.drawImage(band.topLeft(), picture);
    }
    painter.setTransform(toDevice);
}
