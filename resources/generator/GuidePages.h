#pragma once
// The four pages of the how-to guide (200 x 150), one per step of ordering prints.
#include <QImage>

namespace resgen
{

QImage guidePage0();
QImage guidePage1();
QImage guidePage2();
QImage guidePage3();

} // namespace resgen
