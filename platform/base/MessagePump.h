#pragma once
// Processing pending messages from inside a long loop. The loop calls Tick() after every item;
// messages are processed on the first tick and then at most every few milliseconds, which
// keeps the window as responsive as a call per item would, without its cost per item.
#include <QElapsedTimer>

class TMessagePump
{
public:
    void Tick();

private:
    QElapsedTimer since;
};
