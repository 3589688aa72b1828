#include "qzSystem/output/CqzBlockArena.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <set>

// Pieces are distinct, aligned and writable; a piece given back serves the next request of its
// size; blocks double from the first size; Reset hands the same blocks out again.
TEST(BlockArenaTest, CutsPiecesFromGrowingBlocksAndReusesThem)
{
    CqzBlockArena arena;
    std::set<void*> pieces;
    for (int i = 0; i < 200; ++i)
    {
        void* piece = arena.allocate(48, 8);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(piece) % 8, 0u);
        std::memset(piece, i, 48);
        EXPECT_TRUE(pieces.insert(piece).second);
    }
    EXPECT_EQ(arena.GetBlockBytes(), CqzBlockArena::FirstBlockBytes * 3);
    void* wide = arena.allocate(100, 64);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(wide) % 64, 0u);
    void* given = *pieces.begin();
    arena.deallocate(given, 48, 8);
    EXPECT_EQ(arena.allocate(48, 8), given);

    void* first = arena.allocate(40000, 16); // larger than the next doubling
    EXPECT_EQ(arena.GetBlockBytes(), CqzBlockArena::FirstBlockBytes * 3 + 40016);
    const std::size_t held = arena.GetBlockBytes();
    arena.Reset();
    EXPECT_TRUE(pieces.count(arena.allocate(48, 8)) == 1);
    EXPECT_EQ(arena.allocate(40000, 16), first);
    EXPECT_EQ(arena.GetBlockBytes(), held);
}

// A container on the arena may be dropped with the arena's blocks, without its destructor.
TEST(BlockArenaTest, HoldsAMapDroppedWithItsBlocks)
{
    auto arena = std::make_unique<CqzBlockArena>();
    alignas(std::pmr::map<int, int>) unsigned char storage[sizeof(std::pmr::map<int, int>)];
    auto* map = new (storage) std::pmr::map<int, int>(arena.get());
    for (int i = 0; i < 10000; ++i)
        (*map)[i * 7 % 10000] = i;
    for (int i = 0; i < 10000; i += 2)
        map->erase(i);
    EXPECT_EQ(map->size(), 5000u);
    EXPECT_EQ(map->begin()->first, 1);
    arena.reset();
}
