#pragma once
// The debugger output channel: short diagnostic lines that never reach the user. Silent
// unless enabled with QT_LOGGING_RULES="tovela.trace.debug=true"; tests capture it.
#include <QLoggingCategory>
#include <QString>

Q_DECLARE_LOGGING_CATEGORY(tovelaTrace)

void OutputDebugString(const QString &line);
