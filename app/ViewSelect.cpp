// Switching between the four views.
#include "app/Unit1.h"

void TForm1::ViewSelect(int view)
{
    if (view == 3) {
        if (LoggedIn && !AlbumLoaded)
            AlbumFolderLoad();
        AlbumView->show();
        LastView = 3;
    } else {
        AlbumView->hide();
    }
    if (view == 0) {
        PcView->show();
        LastView = 0;
    } else {
        PcView->hide();
    }
    if (view == 1) {
        OrderView->show();
        LastView = 1;
        ActGoOrderExecute();
    } else {
        OrderView->hide();
    }
    BigImageView->setVisible(view == 2);
}

void TForm1::DockTabSet1Change(int newTab, bool &allowChange)
{
    ViewSelect(newTab);
    allowChange = true;
}
