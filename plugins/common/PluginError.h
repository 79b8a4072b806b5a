#pragma once
// A decode that cannot go on ends with one of the API's result codes. Entries catch it at their
// edge (see Entries.cpp): nothing ever unwinds into the host.
#include "spi.h"

#include <cstdint>

namespace spi
{

struct PluginError {
    int32_t code;
};

[[noreturn]] inline void fail(int32_t code)
{
    throw PluginError{code};
}

} // namespace spi
