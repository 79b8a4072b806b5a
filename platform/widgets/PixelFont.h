#pragma once
// Fonts are sized in pixels, as the window layouts give them, so that text fits its control
// at any screen resolution. A family Linux lacks falls back through fontconfig.
#include <QFont>
#include <QString>

inline QFont PixelFont(const QString &family, int pixels, bool bold = false)
{
    QFont font(family);
    font.setPixelSize(pixels);
    if (bold)
        font.setBold(true);
    return font;
}
