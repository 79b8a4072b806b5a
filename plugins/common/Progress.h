#pragma once
// The host's progress callback, asked as a decode advances. A non-zero answer stops the decode:
// report() then raises PluginError SPI_ABORTED, which frees whatever the decode holds.
#include "spi.h"

#include <cstdint>

namespace spi
{

class Progress
{
public:
    Progress(ProgressCallback callback, intptr_t data) : callback_(callback), data_(data) {}

    // done of total units; the host is asked at the start, at the end and about once a percent
    // in between, so that a long decode does not spend its time in the callback.
    void report(int64_t done, int64_t total);

private:
    ProgressCallback callback_;
    intptr_t data_;
    int64_t lastPercent_ = -1;
};

} // namespace spi
