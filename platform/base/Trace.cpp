#include "platform/base/Trace.h"

Q_LOGGING_CATEGORY(tovelaTrace, "tovela.trace", QtWarningMsg)

void OutputDebugString(const QString &line)
{
    qCDebug(tovelaTrace).noquote() << line;
}
