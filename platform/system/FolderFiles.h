#pragma once
// Enumerating the files of one folder by a mask, as the Windows file search does for plain,
// read-only, system and archive files.
#include <QString>
#include <QStringList>

// The names of the regular files (and links to them) in folder that match mask ("*.spi",
// "*.*"), compared without regard to case. Hidden files (a leading ".") and folders are left
// out, and so are FIFOs, sockets and devices. Name order, numeric-aware and case-insensitive,
// the order Linux file managers use. A folder that does not exist gives an empty list.
QStringList MatchingFileNames(const QString &folder, const QString &mask);
