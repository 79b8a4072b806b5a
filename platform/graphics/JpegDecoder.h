#pragma once
// Full-size JPEG decoding through libjpeg's own decompressor, with the library's default
// settings (integer slow DCT, fancy upsampling, block smoothing): the pixels are those that
// libjpeg-turbo's djpeg writes for the same file.
//
// Every libjpeg error becomes EJPEG carrying the library's message; the library never prints
// and never ends the process. Warnings do not fail the decode. In particular a file that ends
// early still decodes: libjpeg fills the missing rows grey, as image viewers show a partly
// copied photograph. A file that ends before its first scan has no picture and fails.
#include <QImage>

class QIODevice;

struct TJpegDecodeResult {
    QImage Image;           // Format_RGB32, the picture's full size, rows as stored
    int Warnings = 0;       // libjpeg warnings met while decoding
    bool Truncated = false; // the data ended before the picture did
    int Orientation = 1;    // the EXIF orientation of the first EXIF block, 1 to 8
};

// Colour handling: YCbCr and RGB as stored; grayscale replicated into RGB; CMYK and YCCK
// converted with C x K / 255 per channel when the file carries the Adobe marker (which means
// inverted CMYK), and with (255 - C) x (255 - K) / 255 when it does not.
TJpegDecodeResult DecodeJpeg(QIODevice &Source);
