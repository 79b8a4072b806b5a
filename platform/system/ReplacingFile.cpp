#include "platform/system/ReplacingFile.h"

#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace
{
QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}
} // namespace

ReplacingFile::ReplacingFile(const QString &target) : target(target) {}

ReplacingFile::~ReplacingFile()
{
    cancel();
}

bool ReplacingFile::open()
{
    cancel();
    // The temporary file shares the target's folder, so the rename never crosses file systems.
    // Plain system calls: each cached file is small, and every extra call shows in a listing.
    QByteArray name = QFile::encodeName(target) + ".XXXXXX";
    fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) {
        error = systemError();
        return false;
    }
    temporary = name;
    return true;
}

bool ReplacingFile::write(const char *data, qint64 size)
{
    if (fd < 0)
        return false;
    while (size > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = systemError();
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}

bool ReplacingFile::commit()
{
    if (fd < 0)
        return false;
    const int closed = ::close(fd);
    fd = -1;
    // rename(2) replaces an existing target in one step; QFile::rename would refuse it.
    if (closed == 0 &&
        std::rename(temporary.constData(), QFile::encodeName(target).constData()) == 0) {
        temporary.clear();
        return true;
    }
    error = systemError();
    cancel();
    return false;
}

void ReplacingFile::cancel()
{
    if (fd >= 0) {
        ::close(fd);
        fd = -1;
    }
    if (!temporary.isEmpty()) {
        ::unlink(temporary.constData());
        temporary.clear();
    }
}
