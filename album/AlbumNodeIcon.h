#pragma once
// The icon of every album tree node: the album picture of the icon list, and its selected
// form while the node is selected.
#include <QIcon>

class TImageList;

// Made once per tree (a pixmap per node would cost a conversion and its memory per folder).
QIcon AlbumNodeIcon(const TImageList &icons);
