#pragma once
// 8-bit text of metafile records in the character set its font names (LOGFONT's lfCharSet):
// each set is read with its Windows code page through glibc's iconv.
#include <QByteArrayView>
#include <QString>

// The default set (1) stands for the Windows ANSI code page, for our users Japanese (CP932).
// Sets without a code page here are read as Windows-1252. Bytes that do not decode become
// U+FFFD.
QString DecodeCharSet(QByteArrayView Bytes, int CharSet);
