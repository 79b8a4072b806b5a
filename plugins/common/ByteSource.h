#pragma once
// The bytes of one picture, wherever the host says they are: a file from an offset on (flag 0)
// or a block of memory (flag 1). Memory is used in place; a file is read once, whole.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace spi
{

struct ByteView {
    const uint8_t *data = nullptr;
    size_t size = 0;
};

class ByteSource
{
public:
    // Raises PluginError: SPI_FILE_READ_ERROR for a file that cannot be read or a negative
    // offset, SPI_NOT_IMPLEMENTED for a source kind other than file or memory.
    ByteSource(const char *buf, int32_t len, uint32_t flag);

    ByteView view() const { return view_; }

private:
    std::vector<uint8_t> owned_;
    ByteView view_;
};

} // namespace spi
