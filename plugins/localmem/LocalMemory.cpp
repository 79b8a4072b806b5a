// Local memory blocks shared by the program and its plug-ins. A plug-in allocates the blocks of
// a decoded picture and the program frees them, so both must go through this one library. Every
// block is recorded, which lets LocalSize answer for any handle and lets a handle that is no
// block be refused instead of freed.
#include "spi.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_map>

namespace
{

struct Block {
    void *data = nullptr;
    size_t size = 0;
    bool moveable = false;
    int32_t locks = 0;
};

struct Registry {
    std::mutex mutex;
    std::unordered_map<HLOCAL, Block> blocks;
};

Registry &registry()
{
    // Never destroyed: plug-ins may free blocks from their own static destructors.
    static Registry *r = new Registry;
    return *r;
}

std::atomic<uint64_t> allocated{0};
std::atomic<uint64_t> freed{0};

// A moveable block's handle is an address of its own that is not the data's, so a caller that
// uses it without locking cannot reach the bytes by accident.
struct MoveableTag {
    char byte;
};

} // namespace

extern "C" {

HLOCAL LocalAlloc(uint32_t uFlags, size_t uBytes)
{
    void *data = (uFlags & LMEM_ZEROINIT) ? std::calloc(uBytes ? uBytes : 1, 1)
                                          : std::malloc(uBytes ? uBytes : 1);
    if (!data)
        return nullptr;
    Block block{data, uBytes, (uFlags & LMEM_MOVEABLE) != 0, 0};
    HLOCAL handle = data;
    if (block.moveable) {
        handle = new (std::nothrow) MoveableTag;
        if (!handle) {
            std::free(data);
            return nullptr;
        }
    }
    Registry &r = registry();
    std::lock_guard lock(r.mutex);
    r.blocks.emplace(handle, block);
    allocated.fetch_add(1, std::memory_order_relaxed);
    return handle;
}

void *LocalLock(HLOCAL hMem)
{
    Registry &r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.blocks.find(hMem);
    if (it == r.blocks.end())
        return nullptr;
    if (it->second.moveable)
        ++it->second.locks;
    return it->second.data;
}

int32_t LocalUnlock(HLOCAL hMem)
{
    Registry &r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.blocks.find(hMem);
    if (it == r.blocks.end() || !it->second.moveable || it->second.locks == 0)
        return 0;
    return --it->second.locks > 0;
}

HLOCAL LocalFree(HLOCAL hMem)
{
    if (!hMem)
        return nullptr;
    Block block;
    {
        Registry &r = registry();
        std::lock_guard lock(r.mutex);
        auto it = r.blocks.find(hMem);
        if (it == r.blocks.end())
            return hMem;
        block = it->second;
        r.blocks.erase(it);
    }
    std::free(block.data);
    if (block.moveable)
        delete static_cast<MoveableTag *>(hMem);
    freed.fetch_add(1, std::memory_order_relaxed);
    return nullptr;
}

size_t LocalSize(HLOCAL hMem)
{
    Registry &r = registry();
    std::lock_guard lock(r.mutex);
    auto it = r.blocks.find(hMem);
    return it == r.blocks.end() ? 0 : it->second.size;
}

uint64_t LocalAllocCount(void)
{
    return allocated.load(std::memory_order_relaxed);
}
uint64_t LocalFreeCount(void)
{
    return freed.load(std::memory_order_relaxed);
}
}
