#include "upload/UpLoadProgress.h"

#include "app/Unit1.h"
#include "platform/base/Dialogs.h"
#include "platform/widgets/PixelFont.h"
#include "upload/UploadState.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

TForm2::TForm2(TUploadState *form1, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      Form1(form1)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("画像転送中..."));
    setModal(false);
    setFixedSize(287, 101);
    setFont(PixelFont(QStringLiteral("Tahoma"), 11));
    setBackgroundRole(QPalette::Button);
    setAutoFillBackground(true);

    CancelButton = new QPushButton(QStringLiteral("キャンセル"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(204, 72, 75, 21);
    CancelButton->setAutoDefault(false);
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButtonClick(); });

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(64, 12, 149, 17);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label1->setAutoFillBackground(true);

    Gauge1 = new QProgressBar(this);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setGeometry(24, 40, 237, 21);
    Gauge1->setOrientation(Qt::Horizontal);
    Gauge1->setRange(0, 100);
    Gauge1->setTextVisible(true);
    Gauge1->setAlignment(Qt::AlignCenter);
    Gauge1->setStyleSheet(
        QStringLiteral("QProgressBar { background: white; border: 1px solid black; }"
                       "QProgressBar::chunk { background: blue; }"));
    Gauge1->setValue(20);

    // The cancel button comes first in the tab order, so it has the focus when shown.
    setTabOrder(CancelButton, Gauge1);
    CancelButton->setFocus();
}

TForm2::~TForm2() = default;

void TForm2::ShowProgress(int percent, int total, int current)
{
    Gauge1->setValue(percent);
    Label1->setText(QString::number(total) + QStringLiteral("個中 ") + QString::number(current) +
                    QStringLiteral("個目を転送中..."));
}

void TForm2::CancelButtonClick()
{
    if (Dialogs().MessageBox(QStringLiteral("転送を中断しますか？"), QStringLiteral("確認"),
                             MsgButtons::OkCancel, MsgIcon::Information, this) == MsgResult::Ok)
        Form1->SetUploadCancel(true);
}

void TForm2::Close()
{
    closing = true;
    close();
    closing = false;
}

void TForm2::closeEvent(QCloseEvent *event)
{
    // QDialog's own handler would route the close through reject(), which does nothing here.
    if (closing)
        event->accept();
    else
        event->ignore();
}

void TForm2::reject() {}
