#include "platform/base/MessagePump.h"

#include <QCoreApplication>

namespace
{
// Well below what a user notices, well above the cost of one round of the event loop.
constexpr qint64 IntervalNs = 4'000'000;
} // namespace

void TMessagePump::Tick()
{
    if (since.isValid() && since.nsecsElapsed() < IntervalNs)
        return;
    QCoreApplication::processEvents();
    since.start();
}
