#include "platform/Metafile.h"

#include "platform/GraphicsErrors.h"

namespace
{
// SEAM(metafile rendering): replace with a WMF/EMF renderer. Until then no metafile decodes.
[[noreturn]] void MetafileRenderingSeam(QIODevice &)
{
    throw EInvalidGraphic(QStringLiteral("Metafile is not valid"));
}
} // namespace

void TMetafile::LoadFromStream(QIODevice &Stream)
{
    MetafileRenderingSeam(Stream);
}

void TMetafile::Draw(QPainter &, const QRect &) const {}
