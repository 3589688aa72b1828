#include "qzSystem/persist/CqzFavorites.h"
#include "qzSystem/persist/CqzPersistenceException.h"
#include "qzSystem/persist/CqzPersistenceSetup.h"

#include <gtest/gtest.h>

namespace
{
using Bytes = std::vector<std::uint8_t>;

class FavoritesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (std::uint8_t i = 0; i < 4; ++i)
            favorites.StoreFavorite(Bytes{i, i}, -1);
    }
    // Slot contents by their first byte, 255 for an empty slot.
    std::vector<int> Firsts() const
    {
        std::vector<int> firsts;
        for (int i = 0; i < favorites.GetCount(); ++i)
            firsts.push_back(favorites.GetFavorite(i).empty() ? 255 : favorites.GetFavorite(i)[0]);
        return firsts;
    }
    Bytes SaveInFilterTag() const
    {
        Bytes buffer;
        CqzPersistenceSetup setup(buffer, eqzPersistWrite);
        setup.OpenTag(L"Filter", false);
        setup.Write(L"Name", L"model");
        favorites.Save(&setup);
        setup.CloseTag(false);
        setup.Close();
        return buffer;
    }
    void LoadFromFilterTag(CqzFavorites& into, Bytes buffer) const
    {
        CqzPersistenceSetup setup(buffer, eqzPersistRead);
        setup.OpenTag(L"Filter");
        into.Load(&setup);
        setup.CloseTag();
    }

    CqzFavorites favorites;
};

TEST_F(FavoritesTest, StoreAppendsOrOverwritesReportsTheSlotAndIsBounded)
{
    EXPECT_EQ(favorites.StoreFavorite(Bytes{9}, 1), 1);
    EXPECT_EQ(favorites.StoreFavorite(Bytes{7}, -1), 4);
    EXPECT_EQ(favorites.StoreFavorite(Bytes{8}, 50), 5);
    EXPECT_EQ(favorites.StoreFavorite(Bytes{6}, -2), -1);
    EXPECT_EQ(Firsts(), (std::vector<int>{0, 9, 2, 3, 7, 8}));
    EXPECT_EQ(favorites.GetSize(), 6);
    // The store is bounded: a full store refuses appending but still overwrites.
    while (favorites.GetCount() < CqzFavorites::MaxFavorites)
        favorites.StoreFavorite(Bytes{1}, -1);
    EXPECT_EQ(favorites.StoreFavorite(Bytes{2}, -1), -1);
    EXPECT_EQ(favorites.StoreFavorite(Bytes{2}, 0), 0);
}

TEST_F(FavoritesTest, RecallAndGetRefuseEmptyAndOutOfRangeSlots)
{
    favorites.StoreFavorite(Bytes{}, 2);
    Bytes buffer{42};
    EXPECT_FALSE(favorites.RecallFavorite(2, buffer));
    EXPECT_FALSE(favorites.RecallFavorite(4, buffer));
    EXPECT_FALSE(favorites.RecallFavorite(-1, buffer));
    EXPECT_EQ(buffer, Bytes{42});
    EXPECT_TRUE(favorites.RecallFavorite(3, buffer));
    EXPECT_EQ(buffer, (Bytes{3, 3}));
    EXPECT_TRUE(favorites.GetFavorite(99).empty());
}

TEST_F(FavoritesTest, ClearingListedSlotsClosesTheGaps)
{
    favorites.Clear({2, 0, 2, 17, -1});
    EXPECT_EQ(Firsts(), (std::vector<int>{1, 3}));
    favorites.Clear();
    EXPECT_EQ(favorites.GetCount(), 0);
}

TEST_F(FavoritesTest, SaveAndLoadInsideATagReplaceTheSlots)
{
    favorites.StoreFavorite(Bytes{}, 1);
    const Bytes saved = SaveInFilterTag();
    CqzFavorites loaded;
    loaded.StoreFavorite(Bytes{99}, -1);
    LoadFromFilterTag(loaded, saved);
    ASSERT_EQ(loaded.GetCount(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(loaded.GetFavorite(i), favorites.GetFavorite(i)) << i;
}

TEST_F(FavoritesTest, MissingBlockLoadsEmptyAndAnAbsurdCountIsRefused)
{
    Bytes buffer;
    {
        CqzPersistenceSetup setup(buffer, eqzPersistWrite);
        setup.OpenTag(L"Filter");
        setup.CloseTag();
    }
    LoadFromFilterTag(favorites, buffer);
    EXPECT_EQ(favorites.GetCount(), 0);

    favorites.StoreFavorite(Bytes{5}, -1);
    {
        CqzPersistenceSetup setup(buffer, eqzPersistWrite);
        setup.OpenTag(L"Filter");
        setup.OpenTag(L"Favorites");
        setup.Write(L"Count", 0xFFFFFFFFu);
    }
    EXPECT_THROW(LoadFromFilterTag(favorites, buffer), CqzPersistenceException);
    EXPECT_EQ(Firsts(), std::vector<int>{5});
}
} // namespace
