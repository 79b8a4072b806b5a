// The progress window on its own: layout, label text, the cancel question and its answers,
// and that only the batch can hide it.
#include "app/Unit1.h"
#include "tests/support/AppFixture.h"
#include "upload/UpLoadProgress.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QWindow>

class UploadProgress : public AppFixture
{
protected:
    TForm2 *f() { return form->Form2; }
};

TEST_F(UploadProgress, LayoutAsDesignedAndHiddenUntilABatch)
{
    start();
    ASSERT_TRUE(f());
    EXPECT_EQ(f()->Form1, form);
    EXPECT_FALSE(f()->isVisible());
    EXPECT_EQ(f()->windowTitle(), QStringLiteral("画像転送中..."));
    EXPECT_EQ(f()->size(), QSize(287, 101));
    EXPECT_EQ(f()->minimumSize(), f()->maximumSize());
    const Qt::WindowFlags flags = f()->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
    EXPECT_FALSE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(flags & Qt::WindowMinMaxButtonsHint);
    EXPECT_EQ(f()->font().pixelSize(), 11);

    EXPECT_EQ(f()->Label1->geometry(), QRect(64, 12, 149, 17));
    EXPECT_TRUE(f()->Label1->text().isEmpty());
    EXPECT_EQ(f()->Gauge1->geometry(), QRect(24, 40, 237, 21));
    EXPECT_EQ(f()->Gauge1->minimum(), 0);
    EXPECT_EQ(f()->Gauge1->maximum(), 100);
    EXPECT_EQ(f()->Gauge1->value(), 20);
    EXPECT_TRUE(f()->Gauge1->isTextVisible());
    EXPECT_EQ(f()->CancelButton->geometry(), QRect(204, 72, 75, 21));
    EXPECT_EQ(f()->CancelButton->text(), QStringLiteral("キャンセル"));
    // First in the tab order: it holds the focus when the window is shown.
    f()->show();
    pump(20);
    EXPECT_EQ(f()->focusWidget(), f()->CancelButton);
}

TEST_F(UploadProgress, LabelNamesTheTotalAndTheCurrentPicture)
{
    start();
    f()->ShowProgress(25, 12, 3);
    EXPECT_EQ(f()->Label1->text(), QStringLiteral("12個中 3個目を転送中..."));
    EXPECT_EQ(f()->Gauge1->value(), 25);
    f()->ShowProgress(100, 1, 1);
    EXPECT_EQ(f()->Label1->text(), QStringLiteral("1個中 1個目を転送中..."));
    EXPECT_EQ(f()->Gauge1->value(), 100);
}

TEST_F(UploadProgress, CancelAsksAndOnlyOkRequestsTheStop)
{
    start();
    dialogs->boxes.clear(); // the start-up's own, with no service to answer
    f()->show();
    dialogs->answers = {MsgResult::Cancel};
    f()->CancelButton->click();
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    const ScriptedDialogs::Box &box = dialogs->boxes[0];
    EXPECT_EQ(box.text, QStringLiteral("転送を中断しますか？"));
    EXPECT_EQ(box.caption, QStringLiteral("確認"));
    EXPECT_EQ(box.buttons, MsgButtons::OkCancel);
    EXPECT_EQ(box.icon, MsgIcon::Information);
    EXPECT_FALSE(form->UploadCancel);

    dialogs->answers = {MsgResult::Ok, MsgResult::Ok};
    f()->CancelButton->click();
    EXPECT_TRUE(form->UploadCancel);
    f()->CancelButton->click();
    EXPECT_TRUE(form->UploadCancel);
    // The window stays open; the batch hides it when it ends.
    EXPECT_TRUE(f()->isVisible());
}

TEST_F(UploadProgress, TheUserCannotCloseItOnlyTheBatchHidesIt)
{
    start();
    f()->show();
    pump(20);
    ASSERT_TRUE(f()->windowHandle());
    // A close request of the window system (what a title-bar close would send).
    f()->windowHandle()->close();
    pump(20);
    EXPECT_TRUE(f()->isVisible());
    EXPECT_FALSE(f()->close());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(f(), &escape);
    pump(20);
    EXPECT_TRUE(f()->isVisible());

    // The batch's close only hides it: the same window serves the next batch.
    f()->ShowProgress(50, 4, 2);
    f()->Close();
    EXPECT_FALSE(f()->isVisible());
    EXPECT_EQ(form->Form2, f());
    EXPECT_EQ(f()->Label1->text(), QStringLiteral("4個中 2個目を転送中..."));
}
