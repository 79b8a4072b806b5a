#include "session/ServiceReply.h"

bool FirstLineIs(QStringView reply, QLatin1String marker)
{
    qsizetype end = 0;
    while (end < reply.size() && reply[end] != QLatin1Char('\r') && reply[end] != QLatin1Char('\n'))
        ++end;
    return reply.left(end) == marker;
}

bool IsRefusal(const QString &reply)
{
    return FirstLineIs(reply, QLatin1String("NG"));
}

bool IsUsableSessionId(const QString &id)
{
    for (QChar c : id) {
        if (c.unicode() <= 0x20 || c.unicode() == 0x7F)
            return false;
    }
    return true;
}
