// Wiring of the local picture view's events.
#include "app/Unit1.h"
#include "localbrowser/PcLoadState.h"
#include "platform/base/Timer.h"
#include "platform/widgets/Image.h"
#include "platform/widgets/OwnerDataListView.h"
#include "platform/widgets/ScrollBox.h"
#include "platform/widgets/ShellTreeView.h"

void TForm1::BindLocalBrowserEvents()
{
    PcTreeView->OnChange = [this] { PcTreeViewChange(); };
    PcListView->OnData = [this](int index, QString &caption, int &imageIndex) {
        PcListViewData(index, caption, imageIndex);
    };
    PcListView->OnDataHint = [this](int start, int end) { PcListViewDataHint(start, end); };
    PcListView->OnDblClick = [this] { PcListViewDblClick(); };
    PcListView->OnSelectionChange = [this] { PcListViewSelectItem(); };
    PcListView->OnKeyDown = [this](int key, Qt::KeyboardModifiers modifiers) {
        return PcListViewKeyDown(key, modifiers);
    };
    PcListView->OnKeyUp = [this](int key, Qt::KeyboardModifiers modifiers) {
        PcListViewKeyUp(key, modifiers);
    };
    PcListView->OnMouseMove = [this](Qt::MouseButtons buttons, QPoint pos) {
        PcListViewMouseMove(buttons, pos);
    };
    PcImageDrawTimer->OnTimer = [this] { PcImageDrawTimerTimer(); };
    ScrollBox1->OnDblClick = [this] { ScrollBox1DblClick(); };
    BigImage->OnDblClick = [this] { BigImageDblClick(); };
    BigImage->OnMouseDown = [this](Qt::MouseButton button, QPoint pos) {
        BigImageMouseDown(button, pos);
    };
    BigImage->OnMouseMove = [this](Qt::MouseButtons buttons, QPoint pos) {
        BigImageMouseMove(buttons, pos);
    };
    BigImage->OnMouseUp = [this](Qt::MouseButton button, QPoint pos) {
        BigImageMouseUp(button, pos);
    };
}
