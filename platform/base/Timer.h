#pragma once
// A timer switched by Enabled: setting it starts and stops the timer, Interval in milliseconds,
// OnTimer runs on the user-interface thread at every tick while enabled.
#include <QObject>
#include <QTimer>
#include <functional>

class TTimer : public QObject
{
    Q_OBJECT
public:
    explicit TTimer(QObject *parent = nullptr);

    bool Enabled() const { return enabled; }
    void setEnabled(bool on);
    int Interval() const { return timer.interval(); }
    void setInterval(int ms);

    std::function<void()> OnTimer;

private:
    QTimer timer;
    bool enabled = false;
};
