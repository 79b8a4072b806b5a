#pragma once
// What the session reads in the service's text replies.
#include <QString>

// Whether the first line of reply (ended by CR, LF or CR LF) is exactly marker: the service
// answers with short markers ("NG", "OVER") that may be followed by more lines.
bool FirstLineIs(QStringView reply, QLatin1String marker);

// The refusal marker: the first line is exactly "NG".
// A reply without any line is not a refusal.
bool IsRefusal(const QString &reply);

// A session id from the service travels in the Cookie header line and in every address, so
// one holding a control character (any below U+0020, or DEL) or a blank is never used.
bool IsUsableSessionId(const QString &id);
