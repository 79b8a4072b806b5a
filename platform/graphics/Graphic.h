#pragma once
// The abstract picture: something that can load itself, tell its size and draw itself into a
// rectangle of a painter. Bitmaps, icons, JPEG pictures, metafiles and the plug-in pictures
// all derive from it; the picture container (TPicture) picks the class by file extension.
#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRect>
#include <QRgb>
#include <QString>
#include <functional>

class QIODevice;
class QPainter;
class TGraphic;

enum class TProgressStage { psStarting, psRunning, psEnding };

using TProgressEvent = std::function<void(TGraphic *Sender, TProgressStage Stage, int PercentDone,
                                          bool RedrawNow, const QRect &R, const QString &Msg)>;
using TGraphicNotifyEvent = std::function<void(TGraphic *Sender)>;

class TGraphic
{
public:
    TGraphic() = default;
    TGraphic(const TGraphic &) = delete;
    TGraphic &operator=(const TGraphic &) = delete;
    virtual ~TGraphic() = default;

    // Opens the file and reads it with LoadFromStream. A failed load keeps the old content.
    virtual void LoadFromFile(const QString &FileName);
    // The same for a path given as the file system's bytes (a name need not be UTF-8). Only a
    // regular file is opened, so a pipe or device never blocks. A kind whose decoders read
    // the file by its name themselves passes the bytes on unchanged.
    virtual void LoadFromLocalFile(const QByteArray &Path);
    virtual void LoadFromStream(QIODevice &Stream) = 0;
    // Graphics that cannot write themselves raise EInvalidGraphic.
    virtual void SaveToStream(QIODevice &Stream) const;
    // Makes this graphic a copy of Source; raises EConvertError when the kinds do not mix.
    virtual void Assign(const TGraphic &Source);

    // Draws the picture into Rect (stretched, unless the kind says otherwise).
    virtual void Draw(QPainter &Painter, const QRect &Rect) const = 0;

    virtual bool Empty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual void SetWidth(int Value);
    virtual void SetHeight(int Value);
    // The colour table of a palette picture; empty when the picture has none.
    virtual QList<QRgb> Palette() const { return {}; }
    virtual void SetPalette(const QList<QRgb> &Colors);

    // The picture at its own size as a 32-bit image (transparent where it draws nothing).
    virtual QImage ToImage() const;

    TGraphicNotifyEvent OnChange;
    TProgressEvent OnProgress;

protected:
    void Changed();
    void Progress(TGraphic *Sender, TProgressStage Stage, int PercentDone, bool RedrawNow,
                  const QRect &R, const QString &Msg);
};
