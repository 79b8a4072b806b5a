#pragma once
// The program's own pictures (icons, stock thumbnails, guide pages): PNG files compiled into
// the executable, decoded as cheaply as they can be and no sooner than they are needed.
#include <QIcon>
#include <QImage>
#include <QString>

// Decodes one of the program's PNG resources. The format is known, so Qt's image plug-ins
// are neither loaded nor asked; a missing or broken resource gives a null image.
QImage LoadResourceImage(const QString &path);

// An icon of one PNG resource that is decoded the first time the icon is drawn or its sizes
// are asked, not when it is made. Platforms that show a window icon ask for it when the window
// is first shown; others never pay for the decoding.
QIcon LazyResourceIcon(const QString &path);
