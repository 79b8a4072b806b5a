#pragma once
// The folders the program finds by their role on this desktop, and the path separator.
#include <QString>

// The path separator of joined paths.
inline const QString PathDelim = QStringLiteral("/");

// The current user's application-data folder (XDG data home), or empty when none is known.
QString ApplicationDataFolder();
// The user's home folder, the fallback base for the data folder; empty when none is known.
QString ProfileFolder();
