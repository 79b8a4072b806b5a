#include "platform/graphics/metafile/Metafile.h"

#include "platform/graphics/GraphicsErrors.h"
#include "platform/graphics/PictureLimits.h"
#include "platform/graphics/metafile/MetafilePlayer.h"

#include <QIODevice>

namespace
{
// Larger files are refused unread: no drawing needs a quarter of a gigabyte of records.
constexpr qint64 MaxMetafileBytes = qint64(256) << 20;
} // namespace

void TMetafile::LoadFromStream(QIODevice &Stream)
{
    // Read what the stream holds; a buffer of the largest size is never reserved up front.
    const qint64 available = Stream.isSequential() ? -1 : Stream.size() - Stream.pos();
    if (available > MaxMetafileBytes)
        throw EInvalidGraphic(QStringLiteral("Metafile is too large"));
    QByteArray bytes = available >= 0 ? Stream.read(available) : Stream.readAll();
    if (bytes.size() > MaxMetafileBytes)
        throw EInvalidGraphic(QStringLiteral("Metafile is too large"));
    const TMetafileHeader read = ReadMetafileHeader(bytes);
    CheckPictureSize(read.Width, read.Height);
    data = std::move(bytes);
    header = read;
    Changed();
}

void TMetafile::SaveToStream(QIODevice &Stream) const
{
    if (data.isEmpty() || Stream.write(data) != data.size())
        throw EInvalidGraphic(QStringLiteral("Metafile could not be written"));
}

void TMetafile::Assign(const TGraphic &Source)
{
    if (&Source == this)
        return;
    auto *metafile = dynamic_cast<const TMetafile *>(&Source);
    if (!metafile)
        TGraphic::Assign(Source);
    data = metafile->data;
    header = metafile->header;
    Changed();
}

void TMetafile::Draw(QPainter &Painter, const QRect &Rect) const
{
    if (!data.isEmpty())
        PlayMetafile(data, header, Painter, Rect);
}
