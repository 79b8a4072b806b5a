#include "platform/graphics/Graphic.h"

#include "platform/graphics/GraphicsErrors.h"
#include "platform/system/LocalFile.h"

#include <QFile>
#include <QPainter>

void TGraphic::LoadFromFile(const QString &FileName)
{
    LoadFromLocalFile(QFile::encodeName(FileName));
}

void TGraphic::LoadFromLocalFile(const QByteArray &Path)
{
    // Opened so that a pipe or device never blocks; only a regular file is read.
    TLocalFile file(Path);
    LoadFromStream(file.Device());
}

void TGraphic::SaveToStream(QIODevice &) const
{
    throw EInvalidGraphic(QStringLiteral("This picture cannot be saved"));
}

void TGraphic::Assign(const TGraphic &)
{
    throw EConvertError(QStringLiteral("Cannot assign this picture"));
}

void TGraphic::SetWidth(int) {}

void TGraphic::SetHeight(int) {}

void TGraphic::SetPalette(const QList<QRgb> &) {}

QImage TGraphic::ToImage() const
{
    if (Empty() || Width() <= 0 || Height() <= 0)
        return {};
    QImage image(Width(), Height(), QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        throw EInvalidGraphic(
            QStringLiteral("Out of memory for a %1 x %2 picture").arg(Width()).arg(Height()));
    image.fill(Qt::transparent);
    QPainter painter(&image);
    Draw(painter, QRect(0, 0, Width(), Height()));
    return image;
}

void TGraphic::Changed()
{
    if (OnChange)
        OnChange(this);
}

void TGraphic::Progress(TGraphic *Sender, TProgressStage Stage, int PercentDone, bool RedrawNow,
                        const QRect &R, const QString &Msg)
{
    if (OnProgress)
        OnProgress(Sender, Stage, PercentDone, RedrawNow, R, Msg);
}
