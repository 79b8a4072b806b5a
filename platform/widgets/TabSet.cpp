#include "platform/widgets/TabSet.h"

#include "platform/base/Application.h"

TTabSet::TTabSet(QWidget *parent) : QTabBar(parent)
{
    connect(this, &QTabBar::currentChanged, this, [this](int tab) {
        if (!reverting && tab != index)
            requestChange(tab);
    });
}

void TTabSet::setTabIndex(int newTab)
{
    if (newTab == index)
        return;
    requestChange(newTab);
}

void TTabSet::requestChange(int newTab)
{
    bool allow = true;
    // QTabBar has already moved on a click; show the old tab while the handler decides.
    const int old = index;
    reverting = true;
    setCurrentIndex(old);
    reverting = false;
    if (OnChange)
        OnChange(newTab, allow);
    if (!allow)
        return;
    index = newTab;
    reverting = true;
    setCurrentIndex(newTab);
    reverting = false;
}
