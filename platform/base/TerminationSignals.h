#pragma once
// SIGTERM (what a desktop session sends at logout) and SIGINT turned into an ordinary event on
// the user-interface thread. The signal handler only writes one byte into a pipe; the pipe's
// read end is watched by a socket notifier, which calls the handler given here from the event
// loop, where any code may run. While the object lives it owns both signals; its end puts the
// previous dispositions back and closes the pipe.
#include <QObject>
#include <functional>
#include <memory>

class QSocketNotifier;

class TerminationSignals : public QObject
{
public:
    explicit TerminationSignals(std::function<void()> onSignal, QObject *parent = nullptr);
    ~TerminationSignals() override;

    TerminationSignals(const TerminationSignals &) = delete;
    TerminationSignals &operator=(const TerminationSignals &) = delete;

private:
    void drain();

    std::function<void()> onSignal;
    int readEnd = -1;
    std::unique_ptr<QSocketNotifier> notifier;
};
