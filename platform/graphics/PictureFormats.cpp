#include "platform/graphics/PictureFormats.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/Icon.h"
#include "platform/graphics/JpegImage.h"
#include "platform/graphics/metafile/Metafile.h"

#include <algorithm>

namespace
{

QString normalised(const QString &extension)
{
    QString ext = extension.startsWith(QLatin1Char('.')) ? extension.mid(1) : extension;
    return ext.toLower();
}

// Oldest first; the built-ins are the first entries.
QList<TFileFormat> &registry()
{
    static QList<TFileFormat> formats{
        {QStringLiteral("bmp"), QStringLiteral("Bitmaps"), &BitmapClass()},
        {QStringLiteral("ico"), QStringLiteral("Icons"), &IconClass()},
        {QStringLiteral("wmf"), QStringLiteral("Metafiles"), &MetafileClass()},
        {QStringLiteral("emf"), QStringLiteral("Enhanced Metafiles"), &MetafileClass()},
        {QStringLiteral("jpg"), QStringLiteral("JPEG Image File"), &JPEGImageClass()},
        {QStringLiteral("jpeg"), QStringLiteral("JPEG Image File"), &JPEGImageClass()},
    };
    return formats;
}

} // namespace

const TGraphicClass &BitmapClass()
{
    return GraphicClassOf<TBitmap>("TBitmap");
}
const TGraphicClass &IconClass()
{
    return GraphicClassOf<TIcon>("TIcon");
}
const TGraphicClass &MetafileClass()
{
    return GraphicClassOf<TMetafile>("TMetafile");
}
const TGraphicClass &JPEGImageClass()
{
    return GraphicClassOf<TJPEGImage>("TJPEGImage");
}

void RegisterFileFormat(const QString &Extension, const QString &Description,
                        const TGraphicClass &GraphicClass)
{
    registry().append({normalised(Extension), Description, &GraphicClass});
}

void UnregisterGraphicClass(const TGraphicClass &GraphicClass)
{
    registry().removeIf([&](const TFileFormat &f) { return f.GraphicClass == &GraphicClass; });
}

const TGraphicClass *FindGraphicClass(const QString &Extension)
{
    const QString ext = normalised(Extension);
    const QList<TFileFormat> &formats = registry();
    for (qsizetype i = formats.size() - 1; i >= 0; --i)
        if (formats[i].Extension == ext)
            return formats[i].GraphicClass;
    return nullptr;
}

QList<TFileFormat> FileFormats()
{
    QList<TFileFormat> newestFirst = registry();
    std::reverse(newestFirst.begin(), newestFirst.end());
    return newestFirst;
}
