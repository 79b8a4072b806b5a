// Selection count, status text, the list's shortcuts and focus rule.
#include "app/Unit1.h"
#include "app/Unit3.h"
#include "platform/widgets/OwnerDataListView.h"
#include "platform/widgets/StatusBar.h"

void TForm1::PcFileUpRefresh()
{
    int n = 0;
    for (int i : PcListView->SelectedIndexes()) {
        if (i < static_cast<int>(PcImages.size()) && !PcImages[static_cast<size_t>(i)].IsFolder &&
            PcImages[static_cast<size_t>(i)].IsPicture)
            ++n;
    }
    if (n >= 1) {
        ActFileUp->setEnabled(true);
        StatusBar1->setPanelText(0, QString::number(n) + QStringLiteral("個選択中 "));
        Form3->SetPage(2);
    } else {
        ActFileUp->setEnabled(false);
        StatusBar1->setPanelText(0, QString());
    }
}

void TForm1::PcListViewSelectItem()
{
    PcFileUpRefresh();
}

bool TForm1::PcListViewKeyDown(int key, Qt::KeyboardModifiers modifiers)
{
    if ((key != Qt::Key_A && key != Qt::Key_D) || !(modifiers & Qt::ControlModifier))
        return false;
    // Exactly Ctrl: not with Shift, Alt or a mouse button as well. The other Ctrl chords of
    // these keys are swallowed, so that the list's own select-all does not act in their place.
    if ((modifiers & ~Qt::KeypadModifier) != Qt::ControlModifier ||
        PcListView->HeldButtons() != Qt::NoButton)
        return true;
    if (key == Qt::Key_A) {
        PcListView->SelectAll();
        return true;
    }
    PcListView->ClearSelection();
    return true;
}

void TForm1::PcListViewKeyUp(int, Qt::KeyboardModifiers)
{
    PcFileUpRefresh();
}

void TForm1::PcListViewMouseMove(Qt::MouseButtons, QPoint)
{
    if (!PcListView->hasFocus())
        PcListView->setFocus();
}
