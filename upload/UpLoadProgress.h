#pragma once
// Placeholder of the upload progress window until the upload work lands.
#include <QDialog>

class TForm1;

class TForm2 : public QDialog
{
    Q_OBJECT
public:
    explicit TForm2(TForm1 *form1, QWidget *parent = nullptr) : QDialog(parent), Form1(form1)
    {
        setObjectName(QStringLiteral("Form2"));
    }
    TForm1 *Form1;
};
