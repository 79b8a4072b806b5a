#include "tests/test_metafile_support.h"

#include "platform/base/Exception.h"
#include "platform/graphics/metafile/Metafile.h"

#include <QBuffer>
#include <QPainter>
#include <gtest/gtest.h>

namespace
{
void appendWord(QByteArray &b, int w)
{
    b.append(char(w & 0xFF));
    b.append(char((w >> 8) & 0xFF));
}

void appendDword(QByteArray &b, quint32 d)
{
    appendWord(b, int(d & 0xFFFF));
    appendWord(b, int(d >> 16));
}
} // namespace

QByteArray Words(std::initializer_list<int> words)
{
    QByteArray b;
    for (int w : words)
        appendWord(b, w);
    return b;
}

QByteArray Fields(std::initializer_list<qint64> values)
{
    QByteArray b;
    for (qint64 v : values) {
        const quint32 u = quint32(v);
        b.append(reinterpret_cast<const char *>(&u), 4);
    }
    return b;
}

QByteArray EmfRecord(quint32 type, const QByteArray &body, qint64 claimed)
{
    return Fields({type, claimed >= 0 ? claimed : 8 + body.size()}) + body;
}

QByteArray EmfFile(const QByteArray &records, int handles, int frameRight, int frameBottom)
{
    QByteArray head = Fields({0, 0, 99, 99, 0, 0, frameRight, frameBottom, 0x464D4520, 0x10000,
                              0 /* bytes */, 0 /* records */});
    head += Fields({handles, 0, 0, 0, 1024, 768, 320, 240});
    return EmfRecord(1, head) + records + EmfRecord(14, Fields({0, 0, 20}));
}

int ColorLow(QRgb c)
{
    return qRed(c) | (qGreen(c) << 8);
}

int ColorHigh(QRgb c)
{
    return qBlue(c);
}

WmfWriter &WmfWriter::Record(quint16 function, std::initializer_list<int> words)
{
    return Record(function, Words(words));
}

WmfWriter &WmfWriter::Record(quint16 function, const QByteArray &params)
{
    QByteArray p = params;
    if (p.size() % 2)
        p.append('\0');
    const int words = 3 + int(p.size() / 2);
    appendDword(records, quint32(words));
    appendWord(records, function);
    records.append(p);
    maxWords = std::max(maxWords, words);
    return *this;
}

QByteArray WmfWriter::Plain() const
{
    QByteArray file;
    appendWord(file, 1);      // in memory
    appendWord(file, 9);      // header words
    appendWord(file, 0x0300); // version
    appendDword(file, quint32(9 + records.size() / 2 + 3));
    appendWord(file, 16); // object slots
    appendDword(file, quint32(maxWords));
    appendWord(file, 0);
    file.append(records);
    appendDword(file, 3);
    appendWord(file, 0);
    return file;
}

QByteArray WmfWriter::Placeable(const QRect &box, int unitsPerInch) const
{
    QByteArray head;
    appendDword(head, 0x9AC6CDD7);
    appendWord(head, 0);
    appendWord(head, box.left());
    appendWord(head, box.top());
    appendWord(head, box.left() + box.width());
    appendWord(head, box.top() + box.height());
    appendWord(head, unitsPerInch);
    appendDword(head, 0);
    quint16 sum = 0;
    for (int i = 0; i < 10; ++i)
        sum ^= quint16(quint8(head[2 * i]) | (quint8(head[2 * i + 1]) << 8));
    appendWord(head, sum);
    return head + Plain();
}

QImage RenderMetafile(const QByteArray &bytes, QSize size)
{
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    TMetafile metafile;
    try {
        metafile.LoadFromStream(buffer);
    } catch (const Exception &e) {
        ADD_FAILURE() << "metafile did not load: " << e.what();
        return {};
    }
    if (size.isEmpty())
        size = QSize(metafile.Width(), metafile.Height());
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    metafile.Draw(painter, QRect(QPoint(0, 0), size));
    painter.end();
    return image;
}

void ExpectPixels(const QImage &image, const std::vector<Probe> &probes, const std::string &what)
{
    ASSERT_FALSE(image.isNull()) << what;
    for (const Probe &p : probes) {
        const QRgb got = image.pixel(p.x, p.y) & 0xFFFFFF;
        EXPECT_EQ(got, p.color & 0xFFFFFF) << what << " at " << p.x << "," << p.y << ": got "
                                           << std::hex << got << " want " << (p.color & 0xFFFFFF);
    }
}

int InkedPixels(const QImage &image, const QRect &area)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) != 0xFFFFFF)
                ++n;
    return n;
}
