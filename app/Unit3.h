#pragma once
// The navigation window: an always-on-top guide through the four steps of an order. It moves
// forward as the user completes steps and never back on its own.
#include <QString>
#include <QWidget>
#include <array>

class QCheckBox;
class QLabel;
class QPushButton;
class TImage;
class TImageList;

class TForm3 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm3(QWidget *parent = nullptr);
    ~TForm3() override;

    int Page = 0;
    int ShownPage = -1;
    std::array<QString, 4> PageTexts;

    TImage *Image1;
    QLabel *StaticText1;
    QPushButton *Button1; // "次へ"
    QPushButton *Button2; // "前へ"
    QCheckBox *CheckBox1;
    TImageList *ImageList1;

    void FormCreate();
    void SetPage(int page);
    int PageRefresh();
    void Button1Click();
    void Button2Click();
    // Shows the window and brings it to the front.
    void ShowAndRaise();
};
