#pragma once
// File names are bytes on this platform. Names from Windows media carry Shift-JIS bytes that
// are not UTF-8; such a name is shown decoded as CP932 and opened by its bytes unchanged.
#include <QByteArray>
#include <QString>

// True when bytes are well-formed UTF-8 (ASCII included).
bool IsUtf8(const QByteArray &bytes);

// The text shown for a file name: its UTF-8 reading when it has one, otherwise its CP932
// reading (a Shift-JIS name shows in Japanese).
QString FileNameText(const QByteArray &name);

// The bytes of folder + PathDelim + name: the folder as Qt names it, the name as the
// file system holds it. Nothing is checked at the join.
QByteArray FileSystemPath(const QString &folder, const QByteArray &name);
