#pragma once
// A picture stored turned or mirrored, with the orientation its file records (the values of
// the EXIF and TIFF Orientation tag, 1 to 8), made upright before it goes to the host: the
// plug-in interface has no way to say how a picture lies.
#include "Dib.h"
#include "Format.h"

#include <memory>

namespace spi
{

// 1 upright, 2 mirrored left to right, 3 turned half round, 4 mirrored top to bottom,
// 5 mirrored along the main diagonal, 6 stored a quarter turn anticlockwise (shown turned
// clockwise), 7 mirrored along the other diagonal, 8 stored a quarter turn clockwise. Anything
// else is taken as upright.
constexpr int UprightOrientation = 1;
constexpr int normalisedOrientation(long value)
{
    return value >= 1 && value <= 8 ? int(value) : UprightOrientation;
}

// Whether an orientation swaps width and height.
constexpr bool swapsSides(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

// The facts of the picture as shown: width and height (and densities) swapped where needed.
PictureFacts uprightFacts(PictureFacts stored, int orientation);

// The stored picture made upright: mirrored in place where the sides stay, or copied into a new
// DIB of the swapped size (the stored one is freed).
std::unique_ptr<Dib> upright(std::unique_ptr<Dib> stored, int orientation);

} // namespace spi
