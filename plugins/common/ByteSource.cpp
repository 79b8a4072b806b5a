#include "ByteSource.h"

#include "PluginError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace spi
{

namespace
{

class FileDescriptor
{
public:
    explicit FileDescriptor(const char *path) : fd_(::open(path, O_RDONLY | O_CLOEXEC)) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

std::vector<uint8_t> readFileFrom(const char *path, int32_t offset)
{
    FileDescriptor file(path);
    struct stat st;
    // Only regular files: a FIFO or a device would block or never end.
    if (file.get() < 0 || ::fstat(file.get(), &st) != 0 || !S_ISREG(st.st_mode))
        fail(SPI_FILE_READ_ERROR);
    if (st.st_size <= offset)
        return {};
    std::vector<uint8_t> bytes(size_t(st.st_size - offset));
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t got = ::pread(file.get(), bytes.data() + done, bytes.size() - done,
                              off_t(offset) + off_t(done));
        if (got < 0)
            fail(SPI_FILE_READ_ERROR);
        if (got == 0) // the file shrank while being read: decode what is there
            break;
        done += size_t(got);
    }
    bytes.resize(done);
    return bytes;
}

} // namespace

ByteSource::ByteSource(const char *buf, int32_t len, uint32_t flag)
{
    switch (flag & SPI_SOURCE_MASK) {
    case SPI_SOURCE_FILE:
        if (!buf || len < 0)
            fail(SPI_FILE_READ_ERROR);
        owned_ = readFileFrom(buf, len);
        view_ = {owned_.data(), owned_.size()};
        break;
    case SPI_SOURCE_MEMORY:
        if (!buf || len < 0)
            fail(SPI_MEMORY_ERROR);
        view_ = {reinterpret_cast<const uint8_t *>(buf), size_t(len)};
        break;
    default:
        fail(SPI_NOT_IMPLEMENTED);
    }
}

} // namespace spi
