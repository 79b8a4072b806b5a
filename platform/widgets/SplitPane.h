#pragma once
// A horizontal splitter with a fixed-width left pane (the folder trees), any width from 0 up.
// The left width set before the pane is first laid out is kept and reported until then.
#include <QSplitter>

class TSplitPane : public QSplitter
{
    Q_OBJECT
public:
    explicit TSplitPane(QWidget *parent = nullptr);

    int LeftWidth() const;
    void setLeftWidth(int width);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void apply();

    int pending = 100;
    bool laidOut = false;
};
