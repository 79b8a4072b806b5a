#include "platform/system/LocalFile.h"

#include "platform/base/Exception.h"
#include "platform/system/FileNames.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{
[[noreturn]] void refuse(const QByteArray &path, const QString &why)
{
    throw EInOutError(QStringLiteral("Cannot open file \"%1\". %2").arg(FileNameText(path), why));
}
} // namespace

TLocalFile::TLocalFile(const QByteArray &path)
{
    // O_NONBLOCK makes the open of a FIFO return at once; the type check then refuses it.
    do
        fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    while (fd < 0 && errno == EINTR);
    if (fd < 0)
        refuse(path, QString::fromLocal8Bit(std::strerror(errno)));
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        fd = -1;
        refuse(path, QStringLiteral("Not a regular file."));
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::DontCloseHandle)) {
        ::close(fd);
        fd = -1;
        refuse(path, file.errorString());
    }
}

TLocalFile::~TLocalFile()
{
    file.close();
    if (fd >= 0)
        ::close(fd);
}

bool IsReadableRegularFile(const QByteArray &path)
{
    struct stat st;
    return ::stat(path.constData(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::access(path.constData(), R_OK) == 0;
}
