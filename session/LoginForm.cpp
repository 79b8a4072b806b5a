#include "session/LoginForm.h"

#include "platform/widgets/PixelFont.h"

#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

namespace
{

// The logo: the service's name on the panel's colour, at the pixel density of the dialog's
// screen.
QPixmap logo(const QColor &background, qreal ratio)
{
    QPixmap pixmap(qRound(106 * ratio), qRound(25 * ratio));
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(background);
    QPainter painter(&pixmap);
    painter.setPen(Qt::white);
    painter.setFont(PixelFont(QStringLiteral("Tahoma"), 18, true));
    painter.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("Quovi."));
    return pixmap;
}

// The panel across the top, in the highlight colour: the logo and the two titles.
void createTitlePanel(TLoginDialog &dialog, const QString &highlightStyle)
{
    dialog.Panel1 = new QWidget(&dialog);
    dialog.Panel1->setObjectName(QStringLiteral("Panel1"));
    dialog.Panel1->setGeometry(0, 0, 414, 33);
    dialog.Panel1->setAutoFillBackground(true);
    dialog.Panel1->setStyleSheet(highlightStyle);

    dialog.Image1 = new QLabel(dialog.Panel1);
    dialog.Image1->setObjectName(QStringLiteral("Image1"));
    dialog.Image1->setGeometry(4, 4, 106, 25);

    dialog.Label1 = new QLabel(QStringLiteral("ルミナード"), dialog.Panel1);
    dialog.Label1->setObjectName(QStringLiteral("Label1"));
    dialog.Label1->setFont(PixelFont(QStringLiteral("ＭＳ Ｐゴシック"), 19, true));
    dialog.Label1->setGeometry(118, 4, 120, 25);

    dialog.Label2 = new QLabel(QStringLiteral("アルバム会員ログイン"), dialog.Panel1);
    dialog.Label2->setObjectName(QStringLiteral("Label2"));
    dialog.Label2->setGeometry(244, 8, 164, 17);
    dialog.Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

// The notice under the panel: what album membership gives.
void createNotice(TLoginDialog &dialog, const QString &highlightStyle)
{
    QLabel *notice = new QLabel(
        QStringLiteral("アルバム会員としてログインしましょう！アルバム会員登録をすると自分だけの"
                       "アルバムページを作成出来ます。更にそのアルバムの中から写真を選んでプリント"
                       "出来ます。是非登録してください。アルバム会員の登録を行っていない方はキャン"
                       "セルボタンを押してください。その場合は、アルバム機能は使えません。"),
        &dialog);
    dialog.StaticText1 = notice;
    notice->setObjectName(QStringLiteral("StaticText1"));
    notice->setGeometry(4, 37, 405, 57);
    notice->setWordWrap(true);
    // The long notice has to fit the 57-pixel frame: a smaller face, read from the top.
    notice->setFont(PixelFont(QStringLiteral("Tahoma"), 9));
    notice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    notice->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    notice->setAutoFillBackground(true);
    notice->setStyleSheet(QStringLiteral("QLabel { %1 }").arg(highlightStyle));
}

// An entry box under its caption, at top; the caption's shortcut leads to the box.
QLineEdit *captionedEntry(TLoginDialog &dialog, QLabel *&caption, const QString &text,
                          const QString &captionName, const QString &entryName, int top)
{
    caption = new QLabel(text, &dialog);
    caption->setObjectName(captionName);
    caption->setGeometry(8, top, 250, 15);
    auto *entry = new QLineEdit(&dialog);
    entry->setObjectName(entryName);
    entry->setGeometry(8, top + 16, 250, 21);
    caption->setBuddy(entry);
    return entry;
}

// The OK and cancel buttons; Escape closes a QDialog with the result Cancel, as the cancel
// button does.
void createButtons(TLoginDialog &dialog)
{
    dialog.OKBtn = new QPushButton(QStringLiteral("ログイン"), &dialog);
    dialog.OKBtn->setObjectName(QStringLiteral("OKBtn"));
    dialog.OKBtn->setGeometry(266, 154, 70, 25);
    dialog.OKBtn->setDefault(true);
    QObject::connect(dialog.OKBtn, &QPushButton::clicked, &dialog, &QDialog::accept);

    dialog.CancelBtn = new QPushButton(QStringLiteral("キャンセル"), &dialog);
    dialog.CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    dialog.CancelBtn->setGeometry(340, 154, 70, 25);
    QObject::connect(dialog.CancelBtn, &QPushButton::clicked, &dialog, &QDialog::reject);
}

} // namespace

TLoginDialog::TLoginDialog(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LoginDialog"));
    setWindowTitle(QStringLiteral("ログイン"));
    // Fixed dialog border: no resizing, no minimise or maximise.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(414, 186);

    const QColor highlight = palette().color(QPalette::Highlight);
    logoBackground = highlight;
    const QString highlightStyle =
        QStringLiteral("background-color: %1; color: %2;")
            .arg(highlight.name(), palette().color(QPalette::HighlightedText).name());
    createTitlePanel(*this, highlightStyle);
    createNotice(*this, highlightStyle);

    EditEmail = captionedEntry(*this, Label3, QStringLiteral("メールアドレス"),
                               QStringLiteral("Label3"), QStringLiteral("EditEmail"), 100);
    EditPasswd = captionedEntry(*this, Label4, QStringLiteral("パスワード"),
                                QStringLiteral("Label4"), QStringLiteral("EditPasswd"), 142);
    EditPasswd->setEchoMode(QLineEdit::Password);
    // "*" for every character, whatever the style's own password character is.
    EditPasswd->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    createButtons(*this);

    setTabOrder(EditEmail, EditPasswd);
    setTabOrder(EditPasswd, OKBtn);
    setTabOrder(OKBtn, CancelBtn);
    EditEmail->setFocus();

    // Centred on the screen.
    if (QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    FormCreate();
}

void TLoginDialog::showEvent(QShowEvent *event)
{
    // The logo is drawn when the dialog is first shown: its bold face is needed nowhere else,
    // and most starts never show the dialog.
    if (Image1->pixmap().isNull())
        Image1->setPixmap(logo(logoBackground, devicePixelRatioF()));
    QDialog::showEvent(event);
}

void TLoginDialog::FormCreate()
{
    EditEmail->clear();
    EditPasswd->clear();
}
