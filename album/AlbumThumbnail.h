#pragma once
// An album thumbnail as the list shows it: a white 100 x 100 square with the picture drawn
// unscaled and centred; a larger picture loses its excess on both sides (one pixel more on
// the right or at the bottom when the excess is odd). On a screen of pixel ratio `ratio` the
// square holds ratio times the pixels, still 100 x 100 in the list's layout.
#include <QImage>

class TGraphic;

QImage CentredThumbnail(const TGraphic &picture, qreal ratio = 1);
