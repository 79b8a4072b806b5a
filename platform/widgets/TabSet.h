#pragma once
// The tab strip: OnChange(newTab, allowChange) is raised before the tab index changes, for a
// click and for setting the index by code to a different value; the same value raises nothing.
#include <QTabBar>
#include <functional>

class TTabSet : public QTabBar
{
    Q_OBJECT
public:
    explicit TTabSet(QWidget *parent = nullptr);

    int TabIndex() const { return index; }
    void setTabIndex(int newTab);

    std::function<void(int newTab, bool &allowChange)> OnChange;

private:
    void requestChange(int newTab);

    int index = 0;
    bool reverting = false;
};
