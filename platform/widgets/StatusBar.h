#pragma once
// A status bar with numbered text panels; panel 0 is the one the views write to.
#include <QStatusBar>
#include <vector>

class QLabel;

class TStatusBar : public QStatusBar
{
    Q_OBJECT
public:
    explicit TStatusBar(QWidget *parent = nullptr);
    int AddPanel(int width);
    QString PanelText(int index) const;
    void setPanelText(int index, const QString &text);

private:
    std::vector<QLabel *> panels;
};
