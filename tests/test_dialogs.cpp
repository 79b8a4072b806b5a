#include "platform/base/Application.h"
#include "platform/base/Exception.h"
#include "tests/support/RealBoxes.h"
#include "tests/support/ScriptedDialogs.h"

#include <QAbstractButton>
#include <QDir>
#include <QImage>
#include <QKeyEvent>
#include <QPushButton>
#include <gtest/gtest.h>

TEST(EventGuard, SystemErrorIsShownAndSwallowed)
{
    ScriptedDialogsGuard dialogs;
    bool ok = guarded([] { throw Exception(QStringLiteral("壊れました")); });
    EXPECT_FALSE(ok);
    ASSERT_EQ(dialogs->boxes.size(), 1u);
    EXPECT_EQ(dialogs->boxes[0].kind, ScriptedDialogs::Kind::Error);
    EXPECT_EQ(dialogs->boxes[0].text, QStringLiteral("壊れました"));
    EXPECT_EQ(dialogs->boxes[0].caption, QStringLiteral("ルミナード"));
    EXPECT_TRUE(guarded([] {}));
    EXPECT_EQ(dialogs->boxes.size(), 1u);
}

// The real boxes: an answer only from a pressed button, Qt's Japanese button texts.
TEST(RealMessageBox, ClosedWithoutAButtonIsCancelOrNoAndOnlyAPressedButtonConsents)
{
    {
        RealBoxes closeIt([](QMessageBox &box) { box.reject(); });
        EXPECT_EQ(Dialogs().MessageBox("a", "確認", MsgButtons::OkCancel, MsgIcon::None),
                  MsgResult::Cancel);
        EXPECT_EQ(Dialogs().MessageBox("b", "確認", MsgButtons::YesNo, MsgIcon::Question),
                  MsgResult::No);
        EXPECT_EQ(closeIt.texts, (QStringList{"a", "b"}));
    }
    {
        // A close request of the window system (the title bar's close box).
        RealBoxes closeWindow([](QMessageBox &box) { box.close(); });
        EXPECT_EQ(Dialogs().MessageBox("d", "確認", MsgButtons::OkCancel, MsgIcon::None),
                  MsgResult::Cancel);
    }
    {
        RealBoxes pressOk([](QMessageBox &box) { box.button(QMessageBox::Ok)->click(); });
        EXPECT_EQ(Dialogs().MessageBox("e", "確認", MsgButtons::OkCancel, MsgIcon::None),
                  MsgResult::Ok);
    }
    {
        RealBoxes pressYes([](QMessageBox &box) { box.button(QMessageBox::Yes)->click(); });
        EXPECT_EQ(Dialogs().MessageBox("f", "確認", MsgButtons::YesNo, MsgIcon::None),
                  MsgResult::Yes);
    }
    {
        // Yes is the default of a Yes/No box: Enter answers it.
        bool yesIsDefault = false;
        RealBoxes pressEnter([&](QMessageBox &box) {
            QAbstractButton *preset = box.defaultButton();
            yesIsDefault = preset && preset == box.button(QMessageBox::Yes);
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            QCoreApplication::sendEvent(&box, &enter);
        });
        EXPECT_EQ(Dialogs().MessageBox("g", "送信エラー", MsgButtons::YesNo, MsgIcon::Warning),
                  MsgResult::Yes);
        EXPECT_TRUE(yesIsDefault);
    }
}

TEST(RealMessageBox, StandardButtonsSpeakJapanese)
{
    QStringList buttons;
    QList<QImage> shots;
    RealBoxes look([&](QMessageBox &box) {
        for (QAbstractButton *b : box.buttons())
            buttons << b->text();
        shots << box.grab().toImage();
        box.reject();
    });
    Dialogs().MessageBox(QStringLiteral("画像を送信します。宜しいですか？"), "確認",
                         MsgButtons::OkCancel, MsgIcon::None);
    Dialogs().MessageBox(QStringLiteral("はい か いいえ"), "確認", MsgButtons::YesNo,
                         MsgIcon::Question);
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{"OK", "いいえ(&N)", "はい(&Y)", "キャンセル"}));
    const QString out = qEnvironmentVariable("TOVELA_RENDER_DIR");
    if (!out.isEmpty()) {
        QDir().mkpath(out);
        for (qsizetype i = 0; i < shots.size(); ++i)
            shots[i].save(out + QStringLiteral("/message-box-%1.png").arg(i + 1));
    }
    ASSERT_EQ(shots.size(), 2);
    EXPECT_FALSE(shots[0].isNull());
}
