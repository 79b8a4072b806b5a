#pragma once
// Reading a picture with exactly one of Qt's readers: no guessing of the format from the
// content, and the size the header claims is checked against the picture limit first.
#include <QImage>
#include <QString>

class QIODevice;

// Raises EInvalidGraphic with FailureText when the reader for Format cannot read the data.
QImage ReadImageStrictly(QIODevice &Stream, const char *Format, const QString &FailureText);

// The same for a file holding several images (an icon file): the largest of them, by area; the
// first of equal ones.
QImage ReadLargestImageStrictly(QIODevice &Stream, const char *Format, const QString &FailureText);
