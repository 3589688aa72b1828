#include "qzSystem/output/CqzPageBlockPool.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <set>

// Chunks are distinct, aligned and writable across block boundaries; given-back chunks are
// reused before new memory is cut; blocks double from 64 KiB up to 256 KiB, then 2 MiB, and chunks cut from
// the 2 MiB blocks (mapped) are zero and said to be, unlike those of the smaller heap blocks
// and given-back ones.
TEST(PageBlockPoolTest, CutsChunksFromGrowingBlocksAndReusesGivenOnes)
{
    CqzPageBlockPool pool(4096);
    std::set<void*> chunks;
    for (int i = 0; i < 40; ++i)
    {
        bool zeroed = false;
        void* chunk = pool.Take(&zeroed);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(chunk) % 64, 0u);
        EXPECT_FALSE(zeroed);
        std::memset(chunk, i, pool.GetChunkBytes());
        EXPECT_TRUE(chunks.insert(chunk).second);
    }
    // 16 chunks in the first block, 32 in the second.
    EXPECT_EQ(pool.GetBlockBytes(), (64u + 128u) << 10);
    void* given = *chunks.begin();
    pool.Give(given);
    bool zeroed = true;
    EXPECT_EQ(pool.Take(&zeroed), given);
    EXPECT_FALSE(zeroed);
    // 64 + 128 + 256 KiB hold 112 chunks; the next comes from the first 2 MiB block.
    for (int i = 40; i < 112; ++i)
        pool.Take();
    const auto* bytes = static_cast<const unsigned char*>(pool.Take(&zeroed));
    EXPECT_TRUE(zeroed);
    EXPECT_EQ(std::count(bytes, bytes + pool.GetChunkBytes(), 0), 4096);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(bytes) % (2u << 20), 0u);

    CqzPageBlockPool huge(3u << 20);
    EXPECT_NE(huge.Take(), huge.Take());
    EXPECT_EQ(huge.GetBlockBytes(), 2 * (3u << 20));
}
