#pragma once
// One enumeration of a folder's listable files, by their names' bytes. Windows lists files by
// their attributes; here a listable file is a regular file, or a link to one, whose name does
// not start with "." (hidden). Folders, pipes, sockets and devices are never listed: they are
// no pictures, and opening a pipe would block. A folder that cannot be read enumerates nothing.
#include <QByteArray>

#include <dirent.h>

class TFolderReader
{
public:
    explicit TFolderReader(const QByteArray &folder);
    ~TFolderReader();
    Q_DISABLE_COPY(TFolderReader)

    // The next entry of the folder, kept or not: false at the end. kept tells whether it is a
    // listable file; name is then its name.
    bool Next(bool &kept, QByteArray &name);

private:
    DIR *dir = nullptr;
};
