// The preview: a double click shows the picture at full size in the image view; a double
// click there goes back. Dragging the picture with the left button scrolls it.
#include "app/Unit1.h"
#include "platform/base/Exception.h"
#include "platform/graphics/DecodeWorker.h"
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
#include <new>

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
        // The decode waits for the thumbnail decode under way and runs on the decode worker
        // while the window goes on; the picture is turned upright there too.
        const QByteArray path =
            FileSystemPath(PcTreeView->Path(), PcImages[static_cast<size_t>(index)].NameBytes());
        const uint32_t asked = ++PcPreviews;
        QImage image;
        DecodeWorker->Run([&path, &image] {
            TPicture picture;
            picture.LoadFromLocalFile(path);
            image = picture.Graphic()->ToImage();
        });
        // A preview asked for meanwhile is the one the user wants now.
        if (asked == PcPreviews)
            BigImage->setPicture(image);
    } catch (const Exception &) {
        // An undecodable file leaves the previous picture, silently.
    } catch (const std::bad_alloc &) {
        // So does one too big for memory.
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
