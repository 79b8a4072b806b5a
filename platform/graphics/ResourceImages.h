#pragma once
// The program's own pictures (icons, stock thumbnails, guide pages): PNG files compiled into
// the executable, decoded as cheaply as they can be and no sooner than they are needed.
#include <QIcon>
#include <QImage>
#include <QString>

// Decodes one of the program's PNG resources. The format is known, so Qt's image plug-ins
// are neither loaded nor asked; a missing or broken resource gives a null image. Above ratio 1
// the resource's double-density version ("name@2x.png", device pixel ratio 2) is taken where
// there is one.
QImage LoadResourceImage(const QString &path, qreal ratio = 1);

// An icon of one PNG resource that is decoded the first time the icon is drawn or its sizes
// are asked, not when it is made. Platforms that show a window icon ask for it when the window
// is first shown; others never pay for the decoding. Several paths give one icon of several
// sizes, each with its double-density version where there is one.
QIcon LazyResourceIcon(const QStringList &paths);
