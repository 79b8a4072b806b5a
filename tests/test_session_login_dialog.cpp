#include "session/LoginForm.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

// A key press as the window system delivers it: unhandled, it travels up to the dialog.
void pressKey(QWidget *target, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

} // namespace

TEST(LoginDialog, LayoutAndTexts)
{
    TLoginDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("ログイン"));
    EXPECT_EQ(dialog.size(), QSize(414, 186));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_EQ(dialog.Label1->text(), QStringLiteral("ルミナード"));
    EXPECT_TRUE(dialog.Label1->font().bold());
    EXPECT_EQ(dialog.Label1->font().pixelSize(), 19);
    EXPECT_EQ(dialog.Image1->size(), QSize(106, 25));
    EXPECT_EQ(dialog.StaticText1->size(), QSize(405, 57));
    EXPECT_TRUE(dialog.StaticText1->text().startsWith(
        QStringLiteral("アルバム会員としてログインしましょう！")));
    EXPECT_TRUE(dialog.StaticText1->text().endsWith(QStringLiteral("アルバム機能は使えません。")));
    EXPECT_EQ(dialog.Label3->text(), QStringLiteral("メールアドレス"));
    EXPECT_EQ(dialog.Label4->text(), QStringLiteral("パスワード"));
    EXPECT_EQ(dialog.OKBtn->text(), QStringLiteral("ログイン"));
    EXPECT_EQ(dialog.CancelBtn->text(), QStringLiteral("キャンセル"));
    EXPECT_TRUE(dialog.OKBtn->isDefault());
    EXPECT_TRUE(dialog.EditEmail->text().isEmpty());
    EXPECT_TRUE(dialog.EditPasswd->text().isEmpty());
    // Each label sits above its edit box.
    EXPECT_LT(dialog.Label3->geometry().bottom(), dialog.EditEmail->geometry().top());
    EXPECT_LT(dialog.Label4->geometry().bottom(), dialog.EditPasswd->geometry().top());
    EXPECT_LT(dialog.EditEmail->geometry().bottom(), dialog.Label4->geometry().top());
}

TEST(LoginDialog, PasswordShowsAStarForEveryCharacter)
{
    TLoginDialog dialog;
    EXPECT_EQ(dialog.EditPasswd->echoMode(), QLineEdit::Password);
    EXPECT_EQ(dialog.EditPasswd->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr,
                                                    dialog.EditPasswd),
              '*');
    EXPECT_EQ(dialog.EditEmail->echoMode(), QLineEdit::Normal);
}

TEST(LoginDialog, TabOrderRunsFromTheAddressToCancel)
{
    TLoginDialog dialog;
    dialog.show();
    QWidget *w = dialog.EditEmail;
    std::vector<QWidget *> order{w};
    for (int i = 0; i < 3; ++i) {
        w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus))
            w = w->nextInFocusChain();
        order.push_back(w);
    }
    EXPECT_EQ(order, (std::vector<QWidget *>{dialog.EditEmail, dialog.EditPasswd, dialog.OKBtn,
                                             dialog.CancelBtn}));
}

TEST(LoginDialog, ButtonsCloseWithTheirResultsAndEntriesStay)
{
    TLoginDialog dialog;
    QTimer::singleShot(0, &dialog, [&] {
        dialog.EditEmail->setText(QStringLiteral("a@b.jp"));
        dialog.EditPasswd->setText(QStringLiteral("p&ss"));
        pressKey(dialog.EditPasswd, Qt::Key_Return);
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    QTimer::singleShot(0, &dialog, [&] { dialog.CancelBtn->click(); });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    QTimer::singleShot(0, &dialog, [&] { pressKey(dialog.EditEmail, Qt::Key_Escape); });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_EQ(dialog.EditEmail->text(), QStringLiteral("a@b.jp"));
    EXPECT_EQ(dialog.EditPasswd->text(), QStringLiteral("p&ss"));
}
