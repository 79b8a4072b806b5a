#pragma once
// Where a W x H picture goes on the 100 x 100 thumbnail square. The ratios are divided in
// extended precision and stored as doubles, every later quotient is formed in extended
// precision and truncated; so the long side of a 640 x 480 picture comes out at 99 pixels.
#include <QRect>

struct TThumbnailPlacement {
    QRect Rect;  // the target (right and bottom exclusive through width and height)
    bool Scaled; // false: the picture is drawn unscaled with its top-left at Rect's
};

TThumbnailPlacement ThumbnailPlacement(int W, int H);

// The square's side in device pixels on a screen of the given pixel ratio.
int ThumbnailSide(qreal Ratio);

// A rectangle of the 100 x 100 square in the device pixels of a square of ThumbnailSide(Ratio);
// edges are rounded, so neighbouring rectangles stay adjacent. Ratio 1 gives Rect itself.
QRect ScaledToDevice(const QRect &Rect, qreal Ratio);
