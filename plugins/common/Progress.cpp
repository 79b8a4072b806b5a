#include "Progress.h"

#include "PluginError.h"

namespace spi
{

void Progress::report(int64_t done, int64_t total)
{
    if (!callback_)
        return;
    if (total < 1)
        total = 1;
    if (done > total)
        done = total;
    int64_t percent = done * 100 / total;
    if (percent == lastPercent_ && done != total)
        return;
    lastPercent_ = percent;
    // The API counts in 32 bits; large totals are scaled to the percentage.
    bool stop = total > INT32_MAX ? callback_(int32_t(percent), 100, data_) != 0
                                  : callback_(int32_t(done), int32_t(total), data_) != 0;
    if (stop)
        fail(SPI_ABORTED);
}

} // namespace spi
