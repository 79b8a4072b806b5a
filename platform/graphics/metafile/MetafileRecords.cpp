#include "platform/graphics/metafile/MetafileRecords.h"

#include "platform/graphics/GraphicsErrors.h"
#include "platform/graphics/metafile/MetafileRecordNumbers.h"

#include <cmath>
#include <cstdlib>

namespace
{
constexpr quint32 EmfSignature = 0x464D4520; // " EMF"
constexpr quint32 PlaceableKey = 0x9AC6CDD7;
constexpr qsizetype EmfHeaderMinimum = 88;
constexpr qsizetype PlaceableSize = 22;
constexpr qsizetype WmfHeaderSize = 18;

[[noreturn]] void damaged(const char *why)
{
    throw EInvalidGraphic(QStringLiteral("Metafile is not valid (%1)").arg(QLatin1String(why)));
}

// Rounded like Windows' MulDiv; 64-bit so that no 32-bit header value overflows.
int mulDiv(qint64 value, qint64 numerator, qint64 denominator)
{
    const double r = std::round(double(value) * double(numerator) / double(denominator));
    return r > 2147483647.0 ? 2147483647 : int(r);
}

TMetafileHeader readEnhanced(const QByteArray &data)
{
    const TMetafileRecord head(EMR_HEADER, QByteArrayView(data));
    const quint32 size = head.U32(4);
    if (size < EmfHeaderMinimum || size % 4 != 0 || size > quint32(data.size()))
        damaged("header size");
    if (head.U32(40) != EmfSignature)
        damaged("signature");
    TMetafileHeader h;
    h.Kind = TMetafileKind::Enhanced;
    h.Bounds = QRect(QPoint(head.I32(8), head.I32(12)), QPoint(head.I32(16), head.I32(20)));
    const qint64 left = head.I32(24), top = head.I32(28), right = head.I32(32),
                 bottom = head.I32(36);
    if (right <= left || bottom <= top)
        damaged("empty frame");
    h.Frame = QRect(QPoint(int(left), int(top)), QPoint(int(right), int(bottom)));
    h.HandleCount = head.U16(56);
    h.DevicePixels = QSize(head.I32(72), head.I32(76));
    h.DeviceMillimeters = QSize(head.I32(80), head.I32(84));
    // A reference device without a size is taken as a 96 dpi screen.
    if (h.DevicePixels.width() <= 0 || h.DevicePixels.height() <= 0 ||
        h.DeviceMillimeters.width() <= 0 || h.DeviceMillimeters.height() <= 0) {
        h.DevicePixels = QSize(1920, 1080);
        h.DeviceMillimeters = QSize(508, 285);
    }
    // The frame is in 0.01 mm; 2540 of them make an inch.
    h.Width = mulDiv(right - left, 96, 2540);
    h.Height = mulDiv(bottom - top, 96, 2540);
    h.FirstRecord = size;
    return h;
}

// A plain WMF says nothing of its size in the header; the window that its records set is its
// picture area.
void findWindow(const QByteArray &data, TMetafileHeader &h)
{
    TMetafileRecords records(data, h);
    TMetafileRecord r;
    QPoint origin;
    while (records.Next(r)) {
        if (r.Type() == META_SETWINDOWORG && r.Has(6, 4))
            origin = QPoint(r.I16(8), r.I16(6));
        if (r.Type() == META_SETWINDOWEXT && r.Has(6, 4)) {
            h.Window = QRect(origin, QSize(r.I16(8), r.I16(6)));
            return;
        }
    }
    damaged("no window extent");
}

TMetafileHeader readWindows(const QByteArray &data)
{
    TMetafileHeader h;
    h.Kind = TMetafileKind::Windows;
    const TMetafileRecord all(0, QByteArrayView(data));
    qsizetype at = 0;
    if (all.U32(0) == PlaceableKey) {
        if (!all.Has(0, PlaceableSize))
            damaged("placeable header cut short");
        const int left = all.I16(6), top = all.I16(8), right = all.I16(10), bottom = all.I16(12);
        h.UnitsPerInch = all.U16(14);
        if (h.UnitsPerInch == 0 || right == left || bottom == top)
            damaged("placeable header");
        h.Window = QRect(left, top, right - left, bottom - top);
        h.Width = mulDiv(std::abs(right - left), 96, h.UnitsPerInch);
        h.Height = mulDiv(std::abs(bottom - top), 96, h.UnitsPerInch);
        at = PlaceableSize;
    }
    if (!all.Has(at, WmfHeaderSize))
        damaged("header cut short");
    const quint16 type = all.U16(at), headerWords = all.U16(at + 2);
    if ((type != 1 && type != 2) || headerWords != WmfHeaderSize / 2)
        damaged("header");
    h.ObjectCount = all.U16(at + 10);
    h.FirstRecord = at + WmfHeaderSize;
    if (h.UnitsPerInch == 0) {
        findWindow(data, h);
        h.Width = std::abs(h.Window.width());
        h.Height = std::abs(h.Window.height());
    }
    if (h.Width <= 0 || h.Height <= 0)
        damaged("empty picture");
    return h;
}

} // namespace

TMetafileHeader ReadMetafileHeader(const QByteArray &Data)
{
    const TMetafileRecord all(0, QByteArrayView(Data));
    if (all.U32(0) == EMR_HEADER && all.U32(40) == EmfSignature)
        return readEnhanced(Data);
    const quint32 first = all.U32(0);
    if (first == PlaceableKey || (first & 0xFFFF) == 1 || (first & 0xFFFF) == 2)
        return readWindows(Data);
    damaged("unknown kind");
}

TMetafileRecords::TMetafileRecords(const QByteArray &Data, const TMetafileHeader &Header)
    : data(Data), kind(Header.Kind), offset(Header.FirstRecord)
{
}

bool TMetafileRecords::Next(TMetafileRecord &Record)
{
    if (done)
        return false;
    const qsizetype left = data.size() - offset;
    const TMetafileRecord rest(0, data.sliced(qMin(offset, data.size())));
    quint32 type = 0;
    qint64 size = 0;
    if (kind == TMetafileKind::Enhanced) {
        if (left >= 8) {
            type = rest.U32(0);
            size = rest.U32(4);
        }
        if (left < 8 || size < 8 || size % 4 != 0 || size > left)
            damaged = left > 0;
    } else {
        if (left >= 6) {
            size = qint64(rest.U32(0)) * 2;
            type = rest.U16(4);
        }
        if (left < 6 || size < 6 || size > left)
            damaged = left > 0;
    }
    if (damaged || left <= 0 ||
        type == (kind == TMetafileKind::Enhanced ? quint32(EMR_EOF) : quint32(META_EOF))) {
        done = true;
        return false;
    }
    Record = TMetafileRecord(type, rest.Bytes().first(size));
    offset += size;
    return true;
}
