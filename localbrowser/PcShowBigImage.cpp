// The preview: a double click shows the picture at full size in the image view; a double
// click there goes back. Dragging the picture with the left button scrolls it.
#include "app/Unit1.h"
#include "platform/graphics/Picture.h"
#include "platform/system/FileNames.h"
#include "platform/widgets/Image.h"
#include "platform/widgets/OwnerDataListView.h"
#include "platform/widgets/ScrollBox.h"
#include "platform/widgets/ShellTreeView.h"
#include "platform/widgets/TabSet.h"

#include <QCoreApplication>
#include <QScrollBar>
#include <QTreeWidget>

void TForm1::PcListViewDblClick()
{
    const int index = PcListView->ItemIndex();
    if (index < 0)
        return;
    ScrollBox1->horizontalScrollBar()->setValue(0);
    ScrollBox1->verticalScrollBar()->setValue(0);
    PcShowBigImage(index);
}

void TForm1::PcShowBigImage(int index)
{
    BigImage->move(0, 0);
    if (index < 0 || index >= static_cast<int>(PcImages.size()) ||
        !PcImages[static_cast<size_t>(index)].IsPicture)
        return;
    try {
        DockTabSet1->setTabIndex(ViewIndex::BigImage);
        ViewSelect(ViewIndex::BigImage);
        BigImage->move(0, 0);
        // The image view is painted before the possibly slow decode.
        QCoreApplication::processEvents();
        // A listing may have run meanwhile and left fewer entries than the index assumes.
        if (index >= static_cast<int>(PcImages.size()))
            return;
        TPicture picture;
        picture.LoadFromLocalFile(
            FileSystemPath(PcTreeView->Path(), PcImages[static_cast<size_t>(index)].NameBytes()));
        BigImage->setPicture(picture.Graphic()->ToImage());
    } catch (...) {
        // An undecodable file leaves the previous picture, silently.
    }
}

void TForm1::BigImageDblClick()
{
    DockTabSet1->setTabIndex(LastView);
    if (LastView == ViewIndex::Pc)
        PcListView->setFocus();
    else if (LastView == ViewIndex::Album)
        AlbumListView->setFocus();
}

void TForm1::ScrollBox1DblClick()
{
    DockTabSet1->setTabIndex(LastView);
}

void TForm1::BigImageMouseDown(Qt::MouseButton button, QPoint globalPos)
{
    if (button != Qt::LeftButton || BigImagePressed)
        return;
    BigImagePressed = true;
    BigImagePressPos = globalPos;
    BigImageScrollOrigin = QPoint(ScrollBox1->horizontalScrollBar()->value(),
                                  ScrollBox1->verticalScrollBar()->value());
}

void TForm1::BigImageMouseMove(Qt::MouseButtons buttons, QPoint globalPos)
{
    if (!BigImagePressed || !(buttons & Qt::LeftButton))
        return;
    const QPoint target = BigImageScrollOrigin - (globalPos - BigImagePressPos);
    ScrollBox1->horizontalScrollBar()->setValue(target.x());
    ScrollBox1->verticalScrollBar()->setValue(target.y());
}

void TForm1::BigImageMouseUp(Qt::MouseButton button, QPoint)
{
    if (button == Qt::LeftButton)
        BigImagePressed = false;
}
