#pragma once
// Window geometry taken from outside the program (the settings file) is kept on numbers a
// window system can place: X11 carries positions and sizes as 16-bit numbers, and Qt's own
// geometry arithmetic overflows on values near the 32-bit limits.
#include <algorithm>

constexpr int ScreenCoordinateLimit = 32767;

// A window position, within [-32768, 32767].
constexpr int ScreenCoordinate(int value)
{
    return std::clamp(value, -ScreenCoordinateLimit - 1, ScreenCoordinateLimit);
}

// A window or pane size, within [0, 32767].
constexpr int ScreenExtent(int value)
{
    return std::clamp(value, 0, ScreenCoordinateLimit);
}
