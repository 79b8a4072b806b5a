#include "app/Unit3.h"

#include "platform/widgets/Image.h"
#include "platform/widgets/ImageList.h"
#include "platform/widgets/PixelFont.h"

#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

TForm3::TForm3(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("ルミナード ナビケーション"));
    setFixedSize(393, 169);
    move(100, 410);
    setFont(PixelFont(QStringLiteral("Tahoma"), 11));

    Image1 = new TImage(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->AutoSize = false;
    Image1->setGeometry(4, 8, 200, 150);

    StaticText1 = new QLabel(this);
    StaticText1->setObjectName(QStringLiteral("StaticText1"));
    StaticText1->setGeometry(212, 4, 173, 117);
    StaticText1->setWordWrap(true);
    StaticText1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    StaticText1->setFrameShape(QFrame::StyledPanel);
    StaticText1->setFrameShadow(QFrame::Sunken);
    StaticText1->setAutoFillBackground(true);
    StaticText1->setBackgroundRole(QPalette::Base);
    StaticText1->setMargin(2);

    Button1 = new QPushButton(QStringLiteral("次へ"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(332, 128, 53, 17);
    Button2 = new QPushButton(QStringLiteral("前へ"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(268, 128, 53, 17);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });

    CheckBox1 = new QCheckBox(QStringLiteral("起動時に毎回表示する"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setFont(PixelFont(QStringLiteral("ＭＳ ゴシック"), 11));
    CheckBox1->move(252, 148);
    CheckBox1->adjustSize();

    // Each guide picture is decoded when its page is first shown.
    ImageList1 = new TImageList(200, 150, this);
    for (int page = 0; page < 4; ++page)
        ImageList1->AddResource(QStringLiteral(":/guide/page%1.png").arg(page));

    FormCreate();
}

TForm3::~TForm3() = default;

void TForm3::FormCreate()
{
    PageTexts = {
        QStringLiteral("まず始めに画面左側のフォルダ選択部分で写真の入っているフォルダを選択して"
                       "みましょう！ 選択すると右側に写真の一覧が表示されます。"),
        QStringLiteral("続いて、注文する為の写真を選択します。1枚づつ選択することも可能ですが、"
                       "Shiftキーを押しながらだと連続した写真を、Controlキーを押しながらだと好き"
                       "な写真を複数選択することが可能です。右の画像のようにマウスで複数選択する"
                       "ことも可能です。"),
        QStringLiteral("写真を選択したら、選択した写真の上で右クリックをして「画像をプリントに追加"
                       "する」を選ぶと写真をプリント注文へ追加することが出来ます。"),
        QStringLiteral("写真をプリントに追加し終わったら「注文ページへ」ボタンを押してください。ブ"
                       "ラウザが表示されて、先ほど追加した画像が表示されます。ここで注文枚数、サイ"
                       "ズを決めてから注文しましょう。"),
    };
    Page = 0;
    ShownPage = -1;
    PageRefresh();
}

void TForm3::SetPage(int page)
{
    if (page > Page) {
        Page = page;
        PageRefresh();
    }
}

int TForm3::PageRefresh()
{
    if (Page == -1) {
        Page = 0;
    } else if (Page > 3) {
        Page = 3;
        Button2->setEnabled(true);
        Button1->setEnabled(false);
    }
    if (ShownPage != Page) {
        Button1->setEnabled(Page != 3);
        Button2->setEnabled(Page != 0);
        // At the pixel density of the guide's screen, so that the page is not blown up there.
        const qreal ratio = Image1->devicePixelRatioF();
        QImage bitmap(qRound(200 * ratio), qRound(150 * ratio), QImage::Format_RGB32);
        bitmap.setDevicePixelRatio(ratio);
        bitmap.fill(Qt::white);
        if (Page >= 0 && Page < ImageList1->Count()) {
            QPainter painter(&bitmap);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(0, 0, ImageList1->image(Page, ratio));
        }
        Image1->setPicture(bitmap);
        if (Page >= 0 && Page < 4)
            StaticText1->setText(PageTexts[static_cast<size_t>(Page)]);
    }
    ShownPage = Page;
    return Page;
}

void TForm3::Button1Click()
{
    Page = Page + 1;
    PageRefresh();
}

void TForm3::Button2Click()
{
    Page = Page - 1;
    PageRefresh();
}

void TForm3::ShowAndRaise()
{
    show();
    raise();
    activateWindow();
}
