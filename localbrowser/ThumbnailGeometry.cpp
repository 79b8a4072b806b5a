#include "localbrowser/ThumbnailGeometry.h"

static_assert(sizeof(long double) > sizeof(double) && __LDBL_MANT_DIG__ == 64,
              "thumbnail geometry needs the x87 extended format (64-bit significand)");

namespace
{
int truncated(long double value)
{
    return static_cast<int>(value);
}
} // namespace

TThumbnailPlacement ThumbnailPlacement(int W, int H)
{
    const double RW = static_cast<double>(static_cast<long double>(W) / 100.0L);
    const double RH = static_cast<double>(static_cast<long double>(H) / 100.0L);
    if (RW > 1 || RH > 1) {
        const double R = RW >= RH ? RW : RH;
        const int w = truncated(static_cast<long double>(W) / static_cast<long double>(R));
        const int h = truncated(static_cast<long double>(H) / static_cast<long double>(R));
        const int x = truncated(static_cast<long double>(100 - w) / 2.0L);
        const int y = truncated(static_cast<long double>(100 - h) / 2.0L);
        return {QRect(x, y, w, h), true};
    }
    const int x = truncated(static_cast<long double>(100 - W) / 2.0L);
    const int y = truncated(static_cast<long double>(100 - H) / 2.0L);
    return {QRect(x, y, W, H), false};
}

int ThumbnailSide(qreal Ratio)
{
    return qRound(100 * Ratio);
}

QRect ScaledToDevice(const QRect &Rect, qreal Ratio)
{
    const int left = qRound(Rect.x() * Ratio), top = qRound(Rect.y() * Ratio);
    const int right = qRound((Rect.x() + Rect.width()) * Ratio);
    const int bottom = qRound((Rect.y() + Rect.height()) * Ratio);
    return QRect(left, top, right - left, bottom - top);
}
