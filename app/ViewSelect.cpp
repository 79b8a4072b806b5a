// Switching between the four views.
#include "app/Unit1.h"

void TForm1::ViewSelect(int view)
{
    if (view == ViewIndex::Album) {
        if (LoggedIn && !AlbumLoaded)
            AlbumFolderLoad();
        AlbumView->show();
        LastView = ViewIndex::Album;
    } else {
        AlbumView->hide();
    }
    if (view == ViewIndex::Pc) {
        PcView->show();
        LastView = ViewIndex::Pc;
    } else {
        PcView->hide();
    }
    if (view == ViewIndex::Order) {
        OrderView->show();
        LastView = ViewIndex::Order;
        ActGoOrderExecute();
    } else {
        OrderView->hide();
    }
    BigImageView->setVisible(view == ViewIndex::BigImage);
}

void TForm1::DockTabSet1Change(int newTab, bool &allowChange)
{
    ViewSelect(newTab);
    allowChange = true;
}
