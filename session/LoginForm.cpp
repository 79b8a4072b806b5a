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

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(0, 0, 414, 33);
    Panel1->setAutoFillBackground(true);
    Panel1->setStyleSheet(highlightStyle);

    Image1 = new QLabel(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(4, 4, 106, 25);

    Label1 = new QLabel(QStringLiteral("ルミナード"), Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(PixelFont(QStringLiteral("ＭＳ Ｐゴシック"), 19, true));
    Label1->setGeometry(118, 4, 120, 25);

    Label2 = new QLabel(QStringLiteral("アルバム会員ログイン"), Panel1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(244, 8, 164, 17);
    Label2->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    StaticText1 = new QLabel(
        QStringLiteral("アルバム会員としてログインしましょう！アルバム会員登録をすると自分だけの"
                       "アルバムページを作成出来ます。更にそのアルバムの中から写真を選んでプリント"
                       "出来ます。是非登録してください。アルバム会員の登録を行っていない方はキャン"
                       "セルボタンを押してください。その場合は、アルバム機能は使えません。"),
        this);
    StaticText1->setObjectName(QStringLiteral("StaticText1"));
    StaticText1->setGeometry(4, 37, 405, 57);
    StaticText1->setWordWrap(true);
    // The long notice has to fit the 57-pixel frame: a smaller face, read from the top.
    StaticText1->setFont(PixelFont(QStringLiteral("Tahoma"), 9));
    StaticText1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    StaticText1->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    StaticText1->setAutoFillBackground(true);
    StaticText1->setStyleSheet(QStringLiteral("QLabel { %1 }").arg(highlightStyle));

    Label3 = new QLabel(QStringLiteral("メールアドレス"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(8, 100, 250, 15);
    EditEmail = new QLineEdit(this);
    EditEmail->setObjectName(QStringLiteral("EditEmail"));
    EditEmail->setGeometry(8, 116, 250, 21);
    Label3->setBuddy(EditEmail);

    Label4 = new QLabel(QStringLiteral("パスワード"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setGeometry(8, 142, 250, 15);
    EditPasswd = new QLineEdit(this);
    EditPasswd->setObjectName(QStringLiteral("EditPasswd"));
    EditPasswd->setGeometry(8, 158, 250, 21);
    EditPasswd->setEchoMode(QLineEdit::Password);
    // "*" for every character, whatever the style's own password character is.
    EditPasswd->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    Label4->setBuddy(EditPasswd);

    OKBtn = new QPushButton(QStringLiteral("ログイン"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setGeometry(266, 154, 70, 25);
    OKBtn->setDefault(true);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

    // Escape closes a QDialog with the result Cancel, as the cancel button does.
    CancelBtn = new QPushButton(QStringLiteral("キャンセル"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    CancelBtn->setGeometry(340, 154, 70, 25);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);

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
