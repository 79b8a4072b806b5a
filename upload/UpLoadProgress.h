#pragma once
// The upload progress window: which picture of the batch is on its way, and a cancel button
// that asks the main window to stop after the picture under way. It is created once, shown by
// each batch and hidden at its end; the user cannot close it.
#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
struct TUploadState;

class TForm2 : public QDialog
{
    Q_OBJECT
public:
    // form1 is the main window; the progress window needs only its upload state.
    explicit TForm2(TUploadState *form1, QWidget *parent = nullptr);
    ~TForm2() override;

    TUploadState *Form1;
    QLabel *Label1;
    QProgressBar *Gauge1;
    QPushButton *CancelButton;

    // The gauge at percent and "<total>個中 <current>個目を転送中..." on the label.
    void ShowProgress(int percent, int total, int current);
    void CancelButtonClick();
    // The end of a batch: hides the window, the one way it goes away.
    void Close();

protected:
    // Only the batch hides the window: the title bar has no close box, and neither a close
    // request from the window system nor Escape gets past these.
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    bool closing = false;
};
