#include "platform/graphics/Picture.h"

#include "platform/graphics/Bitmap.h"
#include "platform/graphics/GraphicsErrors.h"
#include "platform/graphics/PictureFormats.h"
#include "platform/system/FileNames.h"

TPicture::TPicture() = default;

TPicture::~TPicture() = default;

QString PictureFileExtension(const QString &FileName)
{
    const qsizetype dot = FileName.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash =
        qMax(FileName.lastIndexOf(QLatin1Char('/')), FileName.lastIndexOf(QLatin1Char('\\')));
    if (dot < 0 || dot < slash)
        return {};
    return FileName.mid(dot + 1);
}

void TPicture::LoadFromFile(const QString &FileName)
{
    const QString ext = PictureFileExtension(FileName);
    const TGraphicClass *cls = FindGraphicClass(ext);
    if (!cls)
        throw EInvalidGraphic(QStringLiteral("Unknown picture file extension (.%1)").arg(ext));
    std::unique_ptr<TGraphic> loaded = cls->Create();
    loaded->LoadFromFile(FileName);
    SetGraphic(std::move(loaded));
}

QString PictureFileExtension(const QByteArray &Path)
{
    // "." and "/" occur in neither Shift-JIS nor UTF-8 multi-byte characters, so the
    // extension is found in the bytes themselves.
    const qsizetype slash = Path.lastIndexOf('/');
    const qsizetype dot = Path.lastIndexOf('.');
    return dot < 0 || dot < slash ? QString() : FileNameText(Path.mid(dot + 1));
}

void TPicture::LoadFromLocalFile(const QByteArray &Path)
{
    const QString ext = PictureFileExtension(Path);
    const TGraphicClass *cls = FindGraphicClass(ext);
    if (!cls)
        throw EInvalidGraphic(QStringLiteral("Unknown picture file extension (.%1)").arg(ext));
    std::unique_ptr<TGraphic> loaded = cls->Create();
    loaded->LoadFromLocalFile(Path);
    SetGraphic(std::move(loaded));
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> NewGraphic)
{
    graphic = std::move(NewGraphic);
    if (graphic)
        graphic->OnChange = [this](TGraphic *) { changed(); };
    changed();
}

int TPicture::Width() const
{
    return graphic ? graphic->Width() : 0;
}

int TPicture::Height() const
{
    return graphic ? graphic->Height() : 0;
}

bool TPicture::Empty() const
{
    return !graphic || graphic->Empty();
}

TBitmap *TPicture::Bitmap()
{
    if (auto *bitmap = dynamic_cast<TBitmap *>(graphic.get()))
        return bitmap;
    auto bitmap = std::make_unique<TBitmap>();
    if (graphic)
        bitmap->Assign(*graphic);
    TBitmap *result = bitmap.get();
    SetGraphic(std::move(bitmap));
    return result;
}

void TPicture::changed()
{
    if (OnChange)
        OnChange(this);
}
