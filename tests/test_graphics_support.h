#pragma once
// Pictures made by the tests: JPEG files written with libjpeg's own compressor (RGB, grey,
// CMYK), patterned pictures, and djpeg's decoding of a file for pixel comparisons.
#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>
#include <gtest/gtest.h>

enum class JpegKind { Color, Gray, CmykAdobe, CmykPlain, Ycck };

struct JpegWriteOptions {
    JpegKind Kind = JpegKind::Color;
    int Quality = 90;
    bool Progressive = false;
};

// A deterministic picture with gradients, edges and noise (so that the entropy data is real).
QImage TestPattern(int width, int height);
// A picture of one colour.
QImage SolidPicture(int width, int height, QRgb color);
// Compresses the picture's pixels. For the CMYK kinds, the values written are C = 255 - R,
// M = 255 - G, Y = 255 - B, K = 0 in plain form, inverted when the Adobe marker is written.
QByteArray EncodeJpeg(const QImage &picture, const JpegWriteOptions &options = {});
// Writes bytes to dir/name and returns the path.
QString WriteTestFile(const QString &dir, const QString &name, const QByteArray &bytes);
// djpeg -ppm's pixels for the file (grey files come out as grey RGB). Adds a test failure and
// returns a null image when /usr/bin/djpeg is missing or fails.
QImage DjpegPixels(const QString &path);
// The largest difference of one channel between two images of the same size, -1 if sizes differ.
int MaxChannelDifference(const QImage &a, const QImage &b);

// An upright picture of four quadrants in the colours below (top-left, top-right, bottom-left,
// bottom-right): every turn and mirror of it looks different.
extern const QRgb SceneColors[4];
QImage OrientationScene(int width, int height);
// A JPEG of OrientationScene at the upright size, stored turned so that its EXIF orientation
// (1 to 8) turns it back upright, as a camera writes it. Made by other programs than this
// one: cjpeg, jpegtran (turning without loss) and the exif tool.
QByteArray TurnedJpeg(QSize upright, int orientation);
// Whether image shows OrientationScene upright inside rect: each quadrant's inner part is its
// colour within tolerance per channel.
::testing::AssertionResult ShowsUprightScene(const QImage &image, const QRect &rect,
                                             int tolerance = 12);
