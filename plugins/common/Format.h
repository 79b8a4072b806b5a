#pragma once
// What one plug-in knows of its format. Each plug-in defines thisFormat(); the entries the host
// calls (Entries.cpp) are the same for all of them.
#include "ByteSource.h"
#include "Dib.h"
#include "Progress.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace spi
{

struct FileType {
    const char *pattern;     // "*.png", or several joined by ";"
    const char *description; // the format's name
};

struct PictureFacts {
    int32_t width = 0, height = 0;
    int32_t xPelsPerMeter = 0, yPelsPerMeter = 0;
};

struct Format {
    const char *name; // the plug-in's name line
    std::vector<FileType> types;
    // Whether the first bytes (at least SPI_HEADER_RELIABLE of them, zero-filled past the end
    // of the file, or fewer for a block of memory) start a picture of this format.
    bool (*accepts)(const uint8_t *header, size_t size);
    // Size and density without decoding the pixels; raises PluginError.
    PictureFacts (*probe)(ByteView data);
    // The whole picture, reporting progress; raises PluginError.
    std::unique_ptr<Dib> (*decode)(ByteView data, Progress &progress);
};

const Format &thisFormat();

} // namespace spi
