#pragma once
// Checks and measures the metafile player's drawing steps share: painter coordinates beyond
// CoordinateLimit are outside any picture the program draws.
#include <QRectF>
#include <QTransform>
#include <cmath>

constexpr double CoordinateLimit = 1 << 20;

inline bool finite(const QTransform &t)
{
    return std::isfinite(t.m11()) && std::isfinite(t.m12()) && std::isfinite(t.m21()) &&
           std::isfinite(t.m22()) && std::isfinite(t.dx()) && std::isfinite(t.dy()) &&
           t.isInvertible();
}

inline double xScale(const QTransform &t)
{
    return std::hypot(t.m11(), t.m12());
}

inline double yScale(const QTransform &t)
{
    return std::hypot(t.m21(), t.m22());
}

// Also true for lines, whose bounds have no width or height.
inline bool withinLimit(const QRectF &B)
{
    return B.left() >= -CoordinateLimit && B.top() >= -CoordinateLimit &&
           B.right() <= CoordinateLimit && B.bottom() <= CoordinateLimit;
}
