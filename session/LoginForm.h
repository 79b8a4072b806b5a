#pragma once
// The login dialog: e-mail address and password of an album member. Created once before the
// main window and kept until the process ends; its entries stay between showings and are what
// every later Login sends.
#include <QColor>
#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

class TLoginDialog : public QDialog
{
public:
    explicit TLoginDialog(QWidget *parent = nullptr);

    QWidget *Panel1;
    QLabel *Image1;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *StaticText1;
    QLabel *Label3;
    QLineEdit *EditEmail;
    QLabel *Label4;
    QLineEdit *EditPasswd;
    QPushButton *OKBtn;
    QPushButton *CancelBtn;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormCreate();

    // The panel's colour as it was when the panel was styled; the logo is drawn on it.
    QColor logoBackground;
};
