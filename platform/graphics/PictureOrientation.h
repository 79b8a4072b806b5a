#pragma once
// A picture's orientation as its maker recorded it: the eight EXIF values (1 upright, 2 mirrored
// left to right, 3 turned half round, 4 mirrored top to bottom, 5 mirrored along the main
// diagonal, 6 to be turned a quarter clockwise, 7 mirrored along the other diagonal, 8 to be
// turned a quarter anticlockwise). The stored pixels never change: a picture keeps them as
// stored and maps them through OrientationTransform when it draws, so that what is shown is
// upright while the file's bytes stay as they are.
#include <QImage>
#include <QSize>
#include <QTransform>
#include <cstddef>
#include <cstdint>

// The orientation that an EXIF block (the payload of a JPEG APP1 marker, starting "Exif\0\0")
// records for the main picture, read through libexif; 1 when it records none or a value
// outside 1 to 8, and when the block is no EXIF block.
int ExifOrientation(const uint8_t *block, size_t size);

// The size a stored picture has once upright: its sides swap for 5 to 8.
QSize UprightSize(QSize stored, int orientation);

// Maps the stored picture's pixel area (0, 0, stored) onto the upright one (0, 0, UprightSize).
QTransform OrientationTransform(int orientation, QSize stored);

// The stored pixels turned upright: a new image, except for orientation 1 (shared as it is).
QImage UprightImage(const QImage &stored, int orientation);
