#pragma once
// The 16 x 16 icons of the tool bar and the album tree.
#include <QImage>

namespace resgen
{

QImage upIcon();

// A closed album: a blue hard cover with a spine and a photo on the front.
QImage albumIcon();

// The same album lying open: two pages, each holding a photo.
QImage albumSelectedIcon();

// A photo with a green plus badge: "add to print".
QImage addPrintIcon();

} // namespace resgen
