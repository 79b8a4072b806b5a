// Selection count and status text, Ctrl+A / Ctrl+D with exactly Ctrl, focus on mouse move.
#include "app/Unit1.h"
#include "app/Unit3.h"
#include "platform/widgets/OwnerDataListView.h"
#include "platform/widgets/ShellTreeView.h"
#include "platform/widgets/StatusBar.h"
#include "tests/test_local_support.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>

TEST_F(LocalBrowser, CountShowsOnlyPicturesAndCtrlShortcutsNeedExactlyCtrl)
{
    listFolder(makeFolder(QStringLiteral("sel"), {{QStringLiteral("a.jpg"), JpegBytes(20, 20, 0)},
                                                  {QStringLiteral("b.jpg"), JpegBytes(20, 20, 0)},
                                                  {QStringLiteral("c.txt"), "text"}}));
    form->Form3->Page = 0;
    const int a = entry(QStringLiteral("a.jpg")), text = entry(QStringLiteral("c.txt"));

    form->PcListView->setSelected(a, true);
    EXPECT_EQ(form->StatusBar1->PanelText(0), QStringLiteral("1個選択中 "));
    EXPECT_TRUE(form->ActFileUp->Enabled());
    EXPECT_EQ(form->Form3->Page, 2);
    form->PcListView->ClearSelection();
    EXPECT_EQ(form->StatusBar1->PanelText(0), QString());
    EXPECT_FALSE(form->ActFileUp->Enabled());

    // A text file counts until its draw step has failed.
    form->PcListView->setSelected(text, true);
    EXPECT_EQ(form->StatusBar1->PanelText(0), QStringLiteral("1個選択中 "));
    form->PcListView->ClearSelection();
    drawRange(0, 2);
    form->PcListView->setSelected(text, true);
    EXPECT_EQ(form->StatusBar1->PanelText(0), QString());
    EXPECT_FALSE(form->ActFileUp->Enabled());
    form->PcListView->ClearSelection();

    SendKey(form->PcListView, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form->PcListView->SelCount(), 0);
    SendKey(form->PcListView, Qt::Key_A, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(form->PcListView->SelCount(), 0);
    SendKey(form->PcListView, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(form->PcListView->SelCount(), 3);
    EXPECT_EQ(form->StatusBar1->PanelText(0), QStringLiteral("2個選択中 "));
    SendKey(form->PcListView, Qt::Key_D, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(form->PcListView->SelCount(), 3);
    SendKey(form->PcListView, Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(form->PcListView->SelCount(), 0);
    EXPECT_EQ(form->StatusBar1->PanelText(0), QString());
}

TEST_F(LocalBrowser, MovingTheMouseOverTheListTakesTheFocus)
{
    form->show();
    form->PcTreeView->setFocus();
    ASSERT_EQ(form->focusWidget(), static_cast<QWidget *>(form->PcTreeView));
    QMouseEvent move(QEvent::MouseMove, QPointF(20, 20), QPointF(20, 20), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form->PcListView->viewport(), &move);
    EXPECT_EQ(form->focusWidget(), static_cast<QWidget *>(form->PcListView));
}
