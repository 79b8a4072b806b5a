#pragma once
// The stock thumbnails of the picture list (100 x 100 on white): a file that cannot be shown,
// a folder, and the folder that leads one level up.
#include <QImage>

namespace resgen
{

QImage unknownThumb();
QImage folderThumb(bool withUpArrow);

} // namespace resgen
