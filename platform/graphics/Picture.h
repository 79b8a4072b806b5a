#pragma once
// The picture container: holds one graphic of any registered kind. LoadFromFile picks the
// class by the file's extension through the picture-format registry.
#include "platform/graphics/Graphic.h"

#include <functional>
#include <memory>

class TBitmap;

class TPicture
{
public:
    TPicture();
    ~TPicture();
    TPicture(const TPicture &) = delete;
    TPicture &operator=(const TPicture &) = delete;

    // Replaces the graphic with the file's picture. An unknown extension or undecodable data
    // raises EInvalidGraphic (EJPEG for JPEG data); the previous graphic is then kept.
    void LoadFromFile(const QString &FileName);
    // The same for a path given as the file system's bytes (a name need not be UTF-8). The
    // kind follows the extension of the path's last element; the graphic loads the path
    // itself, so a kind read by name (the plug-in formats) gets the bytes unchanged.
    void LoadFromLocalFile(const QByteArray &Path);

    TGraphic *Graphic() const { return graphic.get(); }
    void SetGraphic(std::unique_ptr<TGraphic> NewGraphic);
    int Width() const;
    int Height() const;
    bool Empty() const;

    // The picture as a plain bitmap: a bitmap graphic itself, otherwise the graphic is
    // converted (its picture is kept) and the bitmap becomes the graphic.
    TBitmap *Bitmap();

    std::function<void(TPicture *Sender)> OnChange;

private:
    void changed();

    std::unique_ptr<TGraphic> graphic;
};

// The extension of a file name: the text after the last "." of its last path element, or "".
QString PictureFileExtension(const QString &FileName);
// The same for a path given as the file system's bytes; the extension is shown as the name is.
QString PictureFileExtension(const QByteArray &Path);
