#pragma once
// The program's marks: the window icon (at any pixel size, and as SVG for the icon theme's
// scalable size) and the service's logo on the login dialog.
#include <QImage>
#include <QString>

namespace resgen
{

QImage appIcon(int size);

// The same drawing as vectors, for the icon theme's scalable size.
bool writeAppIconSvg(const QString &path);

QImage loginLogo();

} // namespace resgen
