// The local-memory library the program and its plug-ins share: no plug-in built here returns
// fixed blocks, yet the host checks every block a plug-in returns by the size this library
// answers, so both kinds of block are checked here.
#include "spi.h"

#include <algorithm>
#include <gtest/gtest.h>

TEST(SpiLocalMemory, FixedAndMoveableBlocksAnswerTheirSizeAndWhatIsNoBlockIsRefused)
{
    const uint64_t allocated = LocalAllocCount(), freed = LocalFreeCount();

    // A fixed block's handle is its address; it has no lock count.
    HLOCAL fixed = LocalAlloc(LPTR, 40);
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(LocalLock(fixed), fixed);
    EXPECT_EQ(LocalSize(fixed), 40u);
    EXPECT_EQ(LocalUnlock(fixed), 0);
    const auto *bytes = static_cast<const char *>(fixed);
    EXPECT_EQ(std::count(bytes, bytes + 40, 0), 40);

    // A moveable block is reached only through a lock, and stays locked until it has been
    // unlocked as often.
    HLOCAL moveable = LocalAlloc(LMEM_MOVEABLE, 7);
    ASSERT_NE(moveable, nullptr);
    void *data = LocalLock(moveable);
    ASSERT_NE(data, nullptr);
    EXPECT_NE(data, moveable);
    EXPECT_EQ(LocalLock(moveable), data);
    EXPECT_EQ(LocalSize(moveable), 7u);
    EXPECT_NE(LocalUnlock(moveable), 0);
    EXPECT_EQ(LocalUnlock(moveable), 0);
    EXPECT_EQ(LocalUnlock(moveable), 0);

    // What is no block, or no longer one, has no size and no address and is not freed.
    int notABlock = 0;
    EXPECT_EQ(LocalSize(&notABlock), 0u);
    EXPECT_EQ(LocalLock(&notABlock), nullptr);
    EXPECT_EQ(LocalFree(&notABlock), &notABlock);
    EXPECT_EQ(LocalFree(fixed), nullptr);
    EXPECT_EQ(LocalFree(moveable), nullptr);
    EXPECT_EQ(LocalSize(moveable), 0u);
    EXPECT_EQ(LocalFree(moveable), moveable);
    EXPECT_EQ(LocalFree(nullptr), nullptr);
    EXPECT_EQ(LocalAllocCount() - allocated, 2u);
    EXPECT_EQ(LocalFreeCount() - freed, 2u);
}
