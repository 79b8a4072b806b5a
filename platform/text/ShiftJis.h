#pragma once
// The service speaks Shift-JIS (code page 932): replies are decoded from it, query values and
// upload file names are encoded to it.
#include <QByteArray>
#include <QString>

// Text -> CP932 bytes. A character that CP932 cannot hold becomes its base letter when it is
// a letter with marks ("é" -> "e", as the Windows code page conversion does), otherwise "?".
QByteArray toShiftJis(const QString &text);

// CP932 bytes -> text. Bytes that are not valid CP932 each become U+FFFD; NUL bytes are kept.
QString fromShiftJis(const QByteArray &bytes);

// True when CP932 holds every character of text, so toShiftJis loses nothing.
bool fitsShiftJis(const QString &text);

// Every byte except the unreserved characters of RFC 3986 and "@" becomes %XX.
QByteArray percentEncode(const QByteArray &bytes);

// Query value: every byte of the CP932 form becomes %XX except the unreserved characters of
// RFC 3986 (letters, digits, "-", ".", "_", "~") and "@".
QByteArray percentEncodeShiftJis(const QString &text);
