#pragma once
// Helpers of the metafile tests: Windows metafiles written word by word, rendering a metafile
// into a white picture, and checking pixels at given places.
#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>
#include <initializer_list>
#include <string>
#include <vector>

// Records of a Windows metafile; params are 16-bit words in file order.
class WmfWriter
{
public:
    WmfWriter &Record(quint16 function, std::initializer_list<int> words);
    WmfWriter &Record(quint16 function, const QByteArray &params);
    // A plain metafile (header, records, end record).
    QByteArray Plain() const;
    // The same after a placeable header with that bounding box and units per inch.
    QByteArray Placeable(const QRect &box, int unitsPerInch) const;

private:
    QByteArray records;
    int maxWords = 0;
};

// Words of a colour reference (low, high).
int ColorLow(QRgb c);
int ColorHigh(QRgb c);
// Little-endian words of bytes, padded to a whole word.
QByteArray Words(std::initializer_list<int> words);

// Little-endian 32-bit fields.
QByteArray Fields(std::initializer_list<qint64> values);
// An EMF record with the size it really has, or with the size it claims.
QByteArray EmfRecord(quint32 type, const QByteArray &body, qint64 claimed = -1);
// An EMF around the records: a frame of 3125 x 3125 (0.01 mm) unless given, on a reference
// device of 1024 x 768 pixels and 320 x 240 mm (3.2 pixels a millimetre).
QByteArray EmfFile(const QByteArray &records, int handles = 8, int frameRight = 3125,
                   int frameBottom = 3125);

// Loads the bytes as a metafile and draws it into a white picture of that size (the
// picture's own size when empty). Adds a test failure and returns a null image when the
// bytes do not load.
QImage RenderMetafile(const QByteArray &bytes, QSize size = {});

struct Probe {
    int x, y;
    QRgb color;
};
// Expects each probe's pixel to have exactly its colour.
void ExpectPixels(const QImage &image, const std::vector<Probe> &probes, const std::string &what);
// Pixels in the rectangle that differ from white.
int InkedPixels(const QImage &image, const QRect &area);
