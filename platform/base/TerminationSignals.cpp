#include "platform/base/TerminationSignals.h"

#include "platform/base/Exception.h"

#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace
{
// The write end as the handler sees it; -1 while no object is installed.
std::atomic<int> writeEnd{-1};
struct sigaction previousTerm, previousInt;

extern "C" void onTerminationSignal(int)
{
    // Only async-signal-safe calls here: one write, errno kept for the interrupted code.
    const int saved = errno;
    const int fd = writeEnd.load();
    if (fd >= 0) {
        const char byte = 1;
        [[maybe_unused]] ssize_t written = ::write(fd, &byte, 1);
    }
    errno = saved;
}
} // namespace

TerminationSignals::TerminationSignals(std::function<void()> onSignal, QObject *parent)
    : QObject(parent), onSignal(std::move(onSignal))
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        throw Exception(
            QStringLiteral("signal pipe: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    readEnd = fds[0];
    writeEnd.store(fds[1]);

    notifier = std::make_unique<QSocketNotifier>(readEnd, QSocketNotifier::Read);
    connect(notifier.get(), &QSocketNotifier::activated, this, [this] { drain(); });

    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, &previousTerm);
    sigaction(SIGINT, &action, &previousInt);
}

TerminationSignals::~TerminationSignals()
{
    sigaction(SIGTERM, &previousTerm, nullptr);
    sigaction(SIGINT, &previousInt, nullptr);
    notifier.reset();
    const int fd = writeEnd.exchange(-1);
    if (fd >= 0)
        ::close(fd);
    ::close(readEnd);
}

void TerminationSignals::drain()
{
    // Several signals before the loop came round are one request.
    char bytes[64];
    while (::read(readEnd, bytes, sizeof bytes) > 0) {
    }
    if (onSignal)
        onSignal();
}
