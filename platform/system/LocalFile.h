#pragma once
// A local file opened for reading a picture. Only a regular file (or a link to one) opens: a
// named pipe, socket or device is refused without waiting, since opening a pipe with no writer
// would block the one thread for good. The file stays open while the object lives.
#include <QByteArray>
#include <QFile>

class TLocalFile
{
public:
    // Opens the file at path (its bytes as the file system holds them); EInOutError when it
    // cannot be opened or is not a regular file.
    explicit TLocalFile(const QByteArray &path);
    ~TLocalFile();
    Q_DISABLE_COPY(TLocalFile)

    QFile &Device() { return file; }

private:
    int fd = -1;
    QFile file;
};

// True when path names a regular file (following links) that this process may read.
bool IsReadableRegularFile(const QByteArray &path);
