#pragma once
// Reading metafiles: the header of an enhanced (EMF) or Windows (WMF, placeable or plain)
// metafile, and a cursor over its records. Nothing here draws. Every read is bounds-checked
// against the file's bytes, so a hostile file can make a record useless but never make the
// reader look past the end.
#include <QByteArray>
#include <QByteArrayView>
#include <QRect>
#include <QSize>
#include <QtGlobal>
#include <cstring>

enum class TMetafileKind { Enhanced, Windows };

struct TMetafileHeader {
    TMetafileKind Kind = TMetafileKind::Enhanced;
    // The picture's size in pixels at 96 dpi.
    int Width = 0;
    int Height = 0;

    // EMF: the picture frame in 0.01 mm and the reference device (pixels and millimetres).
    QRect Frame;
    QRect Bounds;
    QSize DevicePixels;
    QSize DeviceMillimeters;
    int HandleCount = 0;

    // WMF: the logical rectangle that fills the picture (placeable bounding box, or the window
    // the records set), the placeable header's units per inch (0 when there is none), where
    // the records begin and how many object slots the file asks for.
    QRect Window;
    int UnitsPerInch = 0;
    int ObjectCount = 0;

    // Offset of the first record after the header(s).
    qsizetype FirstRecord = 0;
};

// Raises EInvalidGraphic when Data is no metafile or its header is damaged.
TMetafileHeader ReadMetafileHeader(const QByteArray &Data);

// One record: its kind and all its bytes (the kind and size fields included), so that offsets
// counted from the record's start (EMF) read directly. Reads outside the record yield 0.
class TMetafileRecord
{
public:
    TMetafileRecord() = default;
    TMetafileRecord(quint32 Type, QByteArrayView Bytes) : type(Type), bytes(Bytes) {}

    quint32 Type() const { return type; }
    qsizetype Size() const { return bytes.size(); }
    QByteArrayView Bytes() const { return bytes; }
    // True when Count bytes from Offset lie inside the record (no overflow for any argument).
    bool Has(qint64 Offset, qint64 Count) const
    {
        return Offset >= 0 && Count >= 0 && Offset <= bytes.size() &&
               Count <= bytes.size() - Offset;
    }
    quint8 U8(qint64 Offset) const { return read<quint8>(Offset); }
    quint16 U16(qint64 Offset) const { return read<quint16>(Offset); }
    qint16 I16(qint64 Offset) const { return read<qint16>(Offset); }
    quint32 U32(qint64 Offset) const { return read<quint32>(Offset); }
    qint32 I32(qint64 Offset) const { return read<qint32>(Offset); }
    float F32(qint64 Offset) const { return read<float>(Offset); }
    // Count bytes from Offset, empty when they do not all lie inside the record.
    QByteArrayView Slice(qint64 Offset, qint64 Count) const
    {
        return Has(Offset, Count) ? bytes.sliced(Offset, Count) : QByteArrayView();
    }

private:
    template <typename T> T read(qint64 Offset) const
    {
        T value{};
        if (Has(Offset, sizeof(T)))
            std::memcpy(&value, bytes.data() + Offset, sizeof(T)); // little-endian host
        return value;
    }

    quint32 type = 0;
    QByteArrayView bytes;
};

// Walks the records from the header on. It stops at the end-of-file record, at the end of the
// data, and at the first record whose size is impossible (too small, not whole, or reaching
// past the file); nothing after such a record is read.
class TMetafileRecords
{
public:
    TMetafileRecords(const QByteArray &Data, const TMetafileHeader &Header);
    bool Next(TMetafileRecord &Record);

private:
    QByteArrayView data;
    TMetafileKind kind;
    qsizetype offset;
    bool done = false;
    bool damaged = false;
};
