// The record kinds of Windows metafiles: 16-bit parameters after the six bytes of size and
// function, most of them in reverse order (y before x, bottom before top). Each kind reads
// its parameters and calls the player; a record too short for them is skipped.
#include "platform/graphics/metafile/MetafilePlayer.h"
#include "platform/graphics/metafile/MetafileRecordNumbers.h"

#include <QHash>
#include <cstring>

namespace
{
using R = const TMetafileRecord &;
using P = TMetafilePlayer &;

// The i-th parameter word.
qint16 w(R r, qint64 i)
{
    return r.I16(6 + 2 * i);
}

quint16 uw(R r, qint64 i)
{
    return r.U16(6 + 2 * i);
}

bool has(R r, qint64 words)
{
    return r.Has(6, words * 2);
}

QRgb colorRef(R r, qint64 i)
{
    const quint32 c = r.U32(6 + 2 * i);
    return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// Four words bottom, right, top, left from word i on.
QRectF box(R r, qint64 i)
{
    return QRectF(QPointF(w(r, i + 3), w(r, i + 2)), QPointF(w(r, i + 1), w(r, i)));
}

void setWindowOrg(R r, P p)
{
    if (has(r, 2))
        p.SetWindowOrg(QPointF(w(r, 1), w(r, 0)));
}

void setWindowExt(R r, P p)
{
    if (has(r, 2))
        p.SetWindowExt(QSizeF(w(r, 1), w(r, 0)));
}

void offsetWindowOrg(R r, P p)
{
    if (has(r, 2))
        p.SetWindowOrg(p.WindowOrg() + QPointF(w(r, 1), w(r, 0)));
}

void scaleWindowExt(R r, P p)
{
    if (!has(r, 4) || w(r, 0) == 0 || w(r, 2) == 0)
        return;
    const double sy = double(w(r, 1)) / w(r, 0), sx = double(w(r, 3)) / w(r, 2);
    p.SetWindowExt(QSizeF(p.WindowExt().width() * sx, p.WindowExt().height() * sy));
}

// The viewport belongs to the device the picture is played on: the window alone decides
// where things go, so viewport and mapping-mode records change nothing here.
void ignored(R, P) {}

void setBkColor(R r, P p)
{
    if (has(r, 2))
        p.SetBkColor(colorRef(r, 0));
}

void setTextColor(R r, P p)
{
    if (has(r, 2))
        p.SetTextColor(colorRef(r, 0));
}

void setBkMode(R r, P p)
{
    if (has(r, 1))
        p.SetBkMode(uw(r, 0));
}

void setPolyFillMode(R r, P p)
{
    if (has(r, 1))
        p.SetPolyFillMode(uw(r, 0));
}

void setRop2(R r, P p)
{
    if (has(r, 1))
        p.SetRop2(uw(r, 0));
}

void setTextAlign(R r, P p)
{
    if (has(r, 1))
        p.SetTextAlign(uw(r, 0));
}

void moveTo(R r, P p)
{
    if (has(r, 2))
        p.MoveTo(QPointF(w(r, 1), w(r, 0)));
}

void lineTo(R r, P p)
{
    if (has(r, 2))
        p.LineTo(QPointF(w(r, 1), w(r, 0)));
}

void saveDC(R, P p)
{
    p.SaveDC();
}

void restoreDC(R r, P p)
{
    if (has(r, 1))
        p.RestoreDC(w(r, 0));
}

// A count, then that many x, y pairs from word `first` on.
bool points(R r, qint64 count, qint64 first, QPolygonF &out)
{
    if (count < 0 || !has(r, first + count * 2))
        return false;
    out.resize(qsizetype(count));
    for (qint64 i = 0; i < count; ++i)
        out[qsizetype(i)] = QPointF(w(r, first + 2 * i), w(r, first + 2 * i + 1));
    return true;
}

void polygon(R r, P p)
{
    QPolygonF pts;
    if (has(r, 1) && points(r, w(r, 0), 1, pts))
        p.Polygon(pts);
}

void polyline(R r, P p)
{
    QPolygonF pts;
    if (has(r, 1) && points(r, w(r, 0), 1, pts))
        p.Polyline(pts);
}

void polyPolygon(R r, P p)
{
    if (!has(r, 1))
        return;
    const qint64 n = uw(r, 0);
    if (!has(r, 1 + n))
        return;
    std::vector<QPolygonF> polys;
    qint64 at = 1 + n;
    for (qint64 i = 0; i < n; ++i) {
        QPolygonF poly;
        const qint64 count = uw(r, 1 + i);
        if (!points(r, count, at, poly))
            return;
        at += count * 2;
        polys.push_back(std::move(poly));
    }
    p.PolyPolygon(polys);
}

void rectangle(R r, P p)
{
    if (has(r, 4))
        p.Rectangle(box(r, 0));
}

void ellipse(R r, P p)
{
    if (has(r, 4))
        p.Ellipse(box(r, 0));
}

void roundRect(R r, P p)
{
    if (has(r, 6))
        p.RoundRect(box(r, 2), QSizeF(w(r, 1), w(r, 0)));
}

template <TMetafilePlayer::TArcKind Kind> void arcKind(R r, P p)
{
    if (has(r, 8))
        p.ArcShape(Kind, box(r, 4), QPointF(w(r, 3), w(r, 2)), QPointF(w(r, 1), w(r, 0)));
}

void setPixel(R r, P p)
{
    if (has(r, 4))
        p.SetPixel(QPointF(w(r, 3), w(r, 2)), colorRef(r, 0));
}

void textOut(R r, P p)
{
    if (!has(r, 1))
        return;
    const qint64 count = uw(r, 0), words = (count + 1) / 2;
    if (!has(r, 1 + words + 2))
        return;
    const QString text = p.DecodeText(r.Slice(8, count));
    p.TextOut(QPointF(w(r, 2 + words), w(r, 1 + words)), text, {}, 0, QRectF());
}

void extTextOut(R r, P p)
{
    if (!has(r, 4))
        return;
    const QPointF at(w(r, 1), w(r, 0));
    const qint64 count = uw(r, 2);
    const quint16 options = uw(r, 3);
    qint64 next = 4;
    QRectF clip;
    // Opaque and clipped text carries a rectangle: left, top, right, bottom.
    if (options & (ETO_OPAQUE | ETO_CLIPPED)) {
        if (!has(r, 8))
            return;
        clip = QRectF(QPointF(w(r, 4), w(r, 5)), QPointF(w(r, 6), w(r, 7)));
        next = 8;
    }
    const QByteArrayView bytes = r.Slice(6 + next * 2, count);
    if (bytes.size() != count)
        return;
    const qint64 dx = next + (count + 1) / 2;
    if (count == 0 || !has(r, dx + count)) {
        p.TextOut(at, p.DecodeText(bytes), {}, options, clip);
        return;
    }
    // Spacing is per byte: a double-byte character takes the sum of its two entries.
    QString text;
    QVector<double> advances;
    const bool doubleBytes = p.DecodeText(QByteArrayView("\x82\xa0", 2)).size() == 1;
    for (qint64 k = 0; k < count;) {
        const quint8 b = quint8(bytes[k]);
        const qint64 n =
            doubleBytes && ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) && k + 1 < count
                ? 2
                : 1;
        const QString piece = p.DecodeText(bytes.sliced(k, n));
        double a = 0;
        for (qint64 j = 0; j < n; ++j)
            a += w(r, dx + k + j);
        for (qsizetype j = 0; j < piece.size(); ++j)
            advances.append(j == 0 ? a : 0);
        text += piece;
        k += n;
    }
    p.TextOut(at, text, advances, options, clip);
}

void selectObject(R r, P p)
{
    if (has(r, 1))
        p.SelectObject(uw(r, 0));
}

void deleteObject(R r, P p)
{
    if (has(r, 1))
        p.DeleteObject(uw(r, 0));
}

void createPen(R r, P p)
{
    if (!has(r, 5))
        return;
    p.CreateObjectInFreeSlot(TMetafilePen{
        uw(r, 0), double(w(r, 1)), colorRef(r, 3), (uw(r, 0) & PS_ENDCAP_MASK) != 0, {}});
}

void createBrush(R r, P p)
{
    if (!has(r, 4))
        return;
    p.CreateObjectInFreeSlot(TMetafileBrush{uw(r, 0), colorRef(r, 1), uw(r, 3), {}});
}

void createFont(R r, P p)
{
    if (!has(r, 9))
        return;
    TMetafileFont font;
    font.Height = w(r, 0);
    font.Width = w(r, 1);
    font.Escapement = w(r, 2);
    font.Weight = w(r, 4);
    font.Italic = r.U8(16);
    font.Underline = r.U8(17);
    font.StrikeOut = r.U8(18);
    font.CharSet = r.U8(19);
    QByteArray face = r.Slice(24, std::min<qint64>(32, r.Size() - 24)).toByteArray();
    face.truncate(face.indexOf('\0') < 0 ? face.size() : face.indexOf('\0'));
    font.FaceName =
        (font.CharSet == 128 || font.CharSet == 1) ? p.DecodeText(face) : QString::fromLatin1(face);
    p.CreateObjectInFreeSlot(font);
}

void createPlaceholder(R, P p)
{
    p.CreateObjectInFreeSlot(TMetafilePlaceholder{});
}

// A BS_PATTERN brush was made from a device bitmap: a 1-bit one paints in the text and
// background colours current when it paints. Other patterns keep the DIB's own colours.
void dibCreatePatternBrush(R r, P p)
{
    if (!has(r, 2))
        return;
    TMetafileBrush brush{BS_DIBPATTERNPT, qRgb(0, 0, 0), 0, {}};
    const QByteArrayView dib = r.Slice(10, r.Size() - 10);
    const qsizetype info = TMetafilePlayer::DibInfoSize(dib);
    // A pattern brush's colours are RGB whatever the usage says.
    const bool pattern = uw(r, 0) == BS_PATTERN;
    if (pattern && info > 0)
        brush.Pattern = TMetafilePlayer::DecodeMonoDib(dib.first(info), dib.sliced(info));
    if (!brush.Pattern.isNull())
        brush.Style = BS_PATTERN;
    else if ((pattern || uw(r, 1) == 0) && info > 0)
        brush.Pattern = TMetafilePlayer::DecodeDib(dib.first(info), dib.sliced(info));
    p.CreateObjectInFreeSlot(brush);
}

// The older pattern brush carries a device bitmap: its header (type, width, height, bytes a
// row, planes, bits a pixel, a pointer), 18 reserved bytes, then the rows, top row first.
// Only 1-bit bitmaps mean the same on every device; a deeper one keeps its slot only.
void createPatternBrush(R r, P p)
{
    const qint64 width = w(r, 1), height = w(r, 2), rowBytes = w(r, 3);
    const bool mono = r.U8(14) == 1 && r.U8(15) == 1;
    if (!has(r, 16) || !mono || width <= 0 || height <= 0 || rowBytes < (width + 7) / 8 ||
        width > 1024 || height > 1024 || !r.Has(38, rowBytes * height)) {
        p.CreateObjectInFreeSlot(TMetafilePlaceholder{});
        return;
    }
    QImage image(int(width), int(height), QImage::Format_Mono);
    if (image.isNull()) {
        p.CreateObjectInFreeSlot(TMetafilePlaceholder{});
        return;
    }
    image.setColorTable({0xFF000000u, 0xFFFFFFFFu});
    for (qint64 y = 0; y < height; ++y)
        std::memcpy(image.scanLine(int(y)), r.Bytes().data() + 38 + y * rowBytes,
                    size_t((width + 7) / 8));
    p.CreateObjectInFreeSlot(TMetafileBrush{BS_PATTERN, qRgb(0, 0, 0), 0, image});
}

void intersectClipRect(R r, P p)
{
    if (has(r, 4))
        p.IntersectClipRect(box(r, 0));
}

void excludeClipRect(R r, P p)
{
    if (has(r, 4))
        p.ExcludeClipRect(box(r, 0));
}

void offsetClipRgn(R r, P p)
{
    if (has(r, 2))
        p.OffsetClip(QPointF(w(r, 1), w(r, 0)));
}

void selectClipRegion(R, P p)
{
    // Regions are kept only as slots, so selecting one leaves the whole picture drawable.
    p.ResetClip();
}

void patBlt(R r, P p)
{
    if (has(r, 6))
        p.PatBlt(QRectF(w(r, 5), w(r, 4), w(r, 3), w(r, 2)), r.U32(6));
}

QImage packedDib(R r, qint64 word)
{
    const QByteArrayView dib = r.Slice(6 + word * 2, r.Size() - 6 - word * 2);
    const qsizetype info = TMetafilePlayer::DibInfoSize(dib);
    if (info <= 0)
        return {};
    return TMetafilePlayer::DecodeDib(dib.first(info), dib.sliced(info));
}

bool bottomUp(R r, qint64 word)
{
    const qint64 at = 6 + word * 2;
    return r.U32(at) == 12 ? true : r.I32(at + 8) > 0;
}

// StretchDIB: rop, usage, source h, w, y, x, destination h, w, y, x, then the bitmap.
void stretchDib(R r, P p)
{
    if (!has(r, 11) || uw(r, 2) != 0)
        return;
    const QImage image = packedDib(r, 11);
    const double sh = w(r, 3), sw = w(r, 4), sy = w(r, 5), sx = w(r, 6);
    const QRectF source(sx, bottomUp(r, 11) ? image.height() - sy - sh : sy, sw, sh);
    p.StretchBits(QRectF(w(r, 10), w(r, 9), w(r, 8), w(r, 7)), image, source, r.U32(6));
}

// DibStretchBlt: rop, source h, w, y, x, destination h, w, y, x, the bitmap. Without a
// bitmap one reserved word stands before the destination and the brush paints.
void dibStretchBlt(R r, P p)
{
    if (!has(r, 10))
        return;
    if (r.Size() == 6 + 11 * 2) {
        p.PatBlt(QRectF(w(r, 10), w(r, 9), w(r, 8), w(r, 7)), r.U32(6));
        return;
    }
    const QImage image = packedDib(r, 10);
    const QRectF source(w(r, 5), w(r, 4), w(r, 3), w(r, 2));
    p.StretchBits(QRectF(w(r, 9), w(r, 8), w(r, 7), w(r, 6)), image, source, r.U32(6));
}

// SetDIBitsToDevice: usage, scan count, start scan, source y, x, height, width, destination
// y, x, then the bitmap, copied unscaled.
void setDibToDevice(R r, P p)
{
    if (!has(r, 9) || uw(r, 0) != 0)
        return;
    const QImage image = packedDib(r, 9);
    const double height = w(r, 5), width = w(r, 6), sy = w(r, 3), sx = w(r, 4);
    const QRectF source(sx, bottomUp(r, 9) ? image.height() - sy - height : sy, width, height);
    p.StretchBits(QRectF(w(r, 8), w(r, 7), width, height), image, source, SRCCOPY);
}

// DibBitBlt: rop, source y, x, height, width, destination y, x, the bitmap.
void dibBitBlt(R r, P p)
{
    if (!has(r, 8))
        return;
    if (r.Size() == 6 + 9 * 2) {
        p.PatBlt(QRectF(w(r, 8), w(r, 7), w(r, 6), w(r, 5)), r.U32(6));
        return;
    }
    const QImage image = packedDib(r, 8);
    const double height = w(r, 4), width = w(r, 5);
    p.StretchBits(QRectF(w(r, 7), w(r, 6), width, height), image,
                  QRectF(w(r, 3), w(r, 2), width, height), r.U32(6));
}

using TKind = void (*)(R, P);

const QHash<quint32, TKind> &kinds()
{
    using A = TMetafilePlayer::TArcKind;
    static const QHash<quint32, TKind> table{
        {META_SETBKCOLOR, setBkColor},
        {META_SETBKMODE, setBkMode},
        {META_SETMAPMODE, ignored},
        {META_SETROP2, setRop2},
        {META_SETPOLYFILLMODE, setPolyFillMode},
        {META_SETTEXTCOLOR, setTextColor},
        {META_SETTEXTALIGN, setTextAlign},
        {META_SETWINDOWORG, setWindowOrg},
        {META_SETWINDOWEXT, setWindowExt},
        {META_SETVIEWPORTORG, ignored},
        {META_SETVIEWPORTEXT, ignored},
        {META_OFFSETWINDOWORG, offsetWindowOrg},
        {META_SCALEWINDOWEXT, scaleWindowExt},
        {META_OFFSETVIEWPORTORG, ignored},
        {META_SCALEVIEWPORTEXT, ignored},
        {META_LINETO, lineTo},
        {META_MOVETO, moveTo},
        {META_EXCLUDECLIPRECT, excludeClipRect},
        {META_INTERSECTCLIPRECT, intersectClipRect},
        {META_ARC, arcKind<A::Arc>},
        {META_ELLIPSE, ellipse},
        {META_PIE, arcKind<A::Pie>},
        {META_RECTANGLE, rectangle},
        {META_ROUNDRECT, roundRect},
        {META_PATBLT, patBlt},
        {META_SAVEDC, saveDC},
        {META_SETPIXEL, setPixel},
        {META_OFFSETCLIPRGN, offsetClipRgn},
        {META_TEXTOUT, textOut},
        {META_POLYGON, polygon},
        {META_POLYLINE, polyline},
        {META_RESTOREDC, restoreDC},
        {META_SELECTCLIPREGION, selectClipRegion},
        {META_SELECTOBJECT, selectObject},
        {META_CHORD, arcKind<A::Chord>},
        {META_EXTTEXTOUT, extTextOut},
        {META_POLYPOLYGON, polyPolygon},
        {META_DIBBITBLT, dibBitBlt},
        {META_DIBSTRETCHBLT, dibStretchBlt},
        {META_DIBCREATEPATTERNBRUSH, dibCreatePatternBrush},
        {META_STRETCHDIB, stretchDib},
        {META_SETDIBTODEV, setDibToDevice},
        {META_DELETEOBJECT, deleteObject},
        {META_CREATEPALETTE, createPlaceholder},
        {META_CREATEPATTERNBRUSH, createPatternBrush},
        {META_CREATEPENINDIRECT, createPen},
        {META_CREATEFONTINDIRECT, createFont},
        {META_CREATEBRUSHINDIRECT, createBrush},
        {META_CREATEREGION, createPlaceholder},
    };
    return table;
}

} // namespace

void PlayWmfRecord(TMetafilePlayer &Player, const TMetafileRecord &Record)
{
    if (const TKind kind = kinds().value(Record.Type()))
        kind(Record, Player);
}
