#include "platform/widgets/Gauge.h"

#include <QProgressBar>
#include <QWidget>

#include <algorithm>

namespace
{
// Where the gauge starts in the status bar, from its left edge.
constexpr int GaugeLeft = 100;
// What the gauge leaves free of the status bar's client height, above and below together.
constexpr int GaugeMargins = 4;
} // namespace

int GaugePercent(long long i, long long n)
{
    return static_cast<int>(static_cast<double>(i) / ((static_cast<double>(n) - 1) / 100));
}

void ShowGaugeInStatusBar(QProgressBar *gauge, QWidget *statusBar)
{
    gauge->setParent(statusBar);
    const int clientHeight = statusBar->contentsRect().height();
    gauge->setFixedHeight(std::max(clientHeight - GaugeMargins, 1));
    gauge->move(GaugeLeft, (clientHeight - gauge->height()) / 2 + 1);
    gauge->setValue(0);
    gauge->show();
    gauge->raise();
}
