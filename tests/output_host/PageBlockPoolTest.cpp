#include "qzSystem/output/CqzPageBlockPool.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <set>

// Chunks are distinct, aligned and writable across block boundaries; given-back chunks are
// reused before new memory is cut; blocks double from 64 KiB up to 2 MiB.
TEST(PageBlockPoolTest, CutsChunksFromGrowingBlocksAndReusesGivenOnes)
{
    CqzPageBlockPool pool(4096);
    std::set<void*> chunks;
    for (int i = 0; i < 40; ++i)
    {
        void* chunk = pool.Take();
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(chunk) % 64, 0u);
        std::memset(chunk, i, pool.GetChunkBytes());
        EXPECT_TRUE(chunks.insert(chunk).second);
    }
    // 16 chunks in the first block, 32 in the second.
    EXPECT_EQ(pool.GetBlockBytes(), (64u + 128u) << 10);
    void* given = *chunks.begin();
    pool.Give(given);
    EXPECT_EQ(pool.Take(), given);

    CqzPageBlockPool huge(3u << 20);
    EXPECT_NE(huge.Take(), huge.Take());
    EXPECT_EQ(huge.GetBlockBytes(), 2 * (3u << 20));
}
