#include "platform/system/FolderReader.h"

#include <fcntl.h>
#include <sys/stat.h>

TFolderReader::TFolderReader(const QByteArray &folder)
{
    if (!folder.isEmpty())
        dir = ::opendir(folder.constData());
}

TFolderReader::~TFolderReader()
{
    if (dir)
        ::closedir(dir);
}

bool TFolderReader::Next(bool &kept, QByteArray &name)
{
    if (!dir)
        return false;
    const dirent *entry = ::readdir(dir);
    if (!entry)
        return false;
    kept = false;
    if (entry->d_name[0] == '.')
        return true;
    bool regular = entry->d_type == DT_REG;
    if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
        // A link counts as what it points to; some file systems do not tell the type at all.
        struct stat st;
        regular = ::fstatat(::dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
    }
    if (!regular)
        return true;
    kept = true;
    name = QByteArray(entry->d_name);
    return true;
}
