#include "platform/base/Timer.h"

TTimer::TTimer(QObject *parent) : QObject(parent)
{
    timer.setInterval(1000);
    connect(&timer, &QTimer::timeout, this, [this] {
        if (enabled && OnTimer)
            OnTimer();
    });
}

void TTimer::setEnabled(bool on)
{
    enabled = on;
    if (on)
        timer.start();
    else
        timer.stop();
}

void TTimer::setInterval(int ms)
{
    timer.setInterval(ms);
    if (enabled)
        timer.start();
}
