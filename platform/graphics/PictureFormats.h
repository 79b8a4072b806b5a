#pragma once
// The picture-format registry: file-name extension -> picture class. Extensions are kept in
// lower case and compared without regard to case; a lookup goes from the newest registration
// to the oldest, so the latest registration of an extension wins, also over the built-in
// formats (bmp, ico, wmf, emf, jpg, jpeg). Unregistering a class brings back what it hid.
#include "platform/graphics/Graphic.h"

#include <QList>
#include <QString>
#include <functional>
#include <memory>

// A picture class: its name and how to make an empty object of it. A class is known by its
// address; GraphicClassOf<T>() gives each class one lasting object.
struct TGraphicClass {
    QString ClassName;
    std::function<std::unique_ptr<TGraphic>()> Create;
};

template <class T> const TGraphicClass &GraphicClassOf(const char *className)
{
    static const TGraphicClass cls{QString::fromLatin1(className),
                                   [] { return std::unique_ptr<TGraphic>(new T); }};
    return cls;
}

struct TFileFormat {
    QString Extension; // lower case, without the "."
    QString Description;
    const TGraphicClass *GraphicClass;
};

// GraphicClass must outlive its registration. A leading "." of Extension is ignored.
void RegisterFileFormat(const QString &Extension, const QString &Description,
                        const TGraphicClass &GraphicClass);
// Removes every registration of the class.
void UnregisterGraphicClass(const TGraphicClass &GraphicClass);
// The class registered last for the extension (any case, with or without "."), or nullptr.
const TGraphicClass *FindGraphicClass(const QString &Extension);
// Every registration, newest first.
QList<TFileFormat> FileFormats();

// The built-in classes.
const TGraphicClass &BitmapClass();
const TGraphicClass &IconClass();
const TGraphicClass &MetafileClass();
const TGraphicClass &JPEGImageClass();
