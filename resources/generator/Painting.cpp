#include "Painting.h"

namespace resgen
{

const QColor brand(0x2a, 0x6f, 0xc9);
const QColor brandDark(0x1b, 0x4a, 0x8f);
const QColor accent(0xf0, 0x8a, 0x24);
const QColor selectBlue(0x33, 0x80, 0xe0);
const QColor selectFill(0xd6, 0xe7, 0xfb);
const QColor ink(0x2a, 0x34, 0x42);

qreal pixelRatio = 1;

QImage canvas(int w, int h, const QColor &fill)
{
    QImage img(qRound(w * pixelRatio), qRound(h * pixelRatio), QImage::Format_ARGB32_Premultiplied);
    img.setDevicePixelRatio(pixelRatio);
    img.fill(fill);
    return img;
}

void smooth(QPainter &p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

QFont uiFont(qreal pixels, bool bold)
{
    QFont f(QStringLiteral("Noto Sans CJK JP"));
    f.setPixelSize(qRound(pixels));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    return f;
}

void drawText(QPainter &p, const QRectF &r, const QString &text, const QFont &f, const QColor &c,
              int flags)
{
    p.save();
    p.setFont(f);
    p.setPen(c);
    p.drawText(r, flags, text);
    p.restore();
}

} // namespace resgen
