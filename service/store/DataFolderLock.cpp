#include "service/store/DataFolderLock.h"

#include "service/store/Store.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace service
{

DataFolderLock::DataFolderLock(const std::filesystem::path &folder)
{
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    const std::filesystem::path file = folder / kFileName;
    fd_ = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0)
        throw EStoreError(QStringLiteral("cannot open %1: %2")
                              .arg(QString::fromStdString(file.string()),
                                   QString::fromLocal8Bit(std::strerror(errno))));
    // flock, not fcntl: its lock belongs to this descriptor alone, so no other open of the
    // file in this process can drop it by closing.
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        int error = errno;
        ::close(fd_);
        fd_ = -1;
        if (error == EWOULDBLOCK)
            throw EFolderInUse(QStringLiteral("the data folder %1 is in use by another "
                                              "tovela-service")
                                   .arg(QString::fromStdString(folder.string())));
        throw EStoreError(QStringLiteral("cannot lock %1: %2")
                              .arg(QString::fromStdString(file.string()),
                                   QString::fromLocal8Bit(std::strerror(error))));
    }
}

DataFolderLock::~DataFolderLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

} // namespace service
