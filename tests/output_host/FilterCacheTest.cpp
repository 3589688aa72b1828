#include "qzSystem/output/CqzDataCacheMgr.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

using Ranges = std::vector<std::pair<std::int64_t, std::int64_t>>;

struct MergeCase
{
    const char* name;
    Ranges added;  // in the order they are added
    Ranges merged; // what the cache holds afterwards
};

class FilterCacheMerge : public ::testing::TestWithParam<MergeCase>
{
};

TEST_P(FilterCacheMerge, HoldsDisjointSortedRanges)
{
    CqzDataTableFilterCache cache{CqzID(), CqzID()};
    std::int64_t expectedHidden = 0;
    for (auto [first, last] : GetParam().added)
        EXPECT_TRUE(cache.AddRange(first, last));
    for (auto [first, last] : GetParam().merged)
        expectedHidden += last - first + 1;
    EXPECT_EQ(cache.GetRanges(), GetParam().merged);
    EXPECT_EQ(cache.GetHiddenRowCount(), expectedHidden);
    // Every row of a merged range is hidden and skips to just past it; the row after is shown.
    for (auto [first, last] : GetParam().merged)
    {
        EXPECT_TRUE(cache.IsHidden(first) && cache.IsHidden(last));
        EXPECT_FALSE(cache.IsHidden(last + 1));
        EXPECT_EQ(cache.GetNextShownRow(first), last + 1);
        EXPECT_EQ(cache.GetNextShownRow((first + last) / 2), last + 1);
        EXPECT_EQ(cache.GetPreviousShownRow(last), first - 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FilterCacheMerge,
    ::testing::Values(
        MergeCase{"Single", {{32, 63}}, {{32, 63}}},
        MergeCase{"Disjoint", {{100, 110}, {0, 5}, {50, 60}}, {{0, 5}, {50, 60}, {100, 110}}},
        MergeCase{"AdjoiningBothSides", {{0, 9}, {20, 29}, {10, 19}}, {{0, 29}}},
        MergeCase{"Overlapping", {{10, 20}, {15, 30}, {5, 12}}, {{5, 30}}},
        MergeCase{
            "SwallowsSeveral", {{2, 3}, {6, 7}, {10, 11}, {14, 15}, {1, 12}}, {{1, 12}, {14, 15}}},
        MergeCase{"InsideExisting", {{0, 100}, {40, 50}}, {{0, 100}}},
        MergeCase{"Repeated", {{7, 7}, {7, 7}, {8, 8}}, {{7, 8}}},
        MergeCase{"GapOfOneStays", {{0, 4}, {6, 9}}, {{0, 4}, {6, 9}}},
        MergeCase{"ExtendedInRowOrder", {{0, 9}, {10, 19}, {15, 40}}, {{0, 40}}},
        MergeCase{"ExtendedUpToTheNext", {{0, 9}, {30, 39}, {5, 28}}, {{0, 28}, {30, 39}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FilterCache, QueriesOutsideRangesAndRefusedInput)
{
    CqzDataTableFilterCache cache{CqzID(), CqzID()};
    cache.AddRange(0, 9);
    EXPECT_EQ(cache.GetNextShownRow(-4), 10);
    EXPECT_EQ(cache.GetNextShownRow(10), 10);
    EXPECT_EQ(cache.GetPreviousShownRow(9), -1);
    EXPECT_EQ(cache.GetPreviousShownRow(-1), -1);
    EXPECT_FALSE(cache.AddRange(-1, 3));
    EXPECT_FALSE(cache.AddRange(8, 7));
    EXPECT_FALSE(cache.AddRange(0, std::numeric_limits<std::int64_t>::max()));
    EXPECT_EQ(cache.GetRanges(), (Ranges{{0, 9}}));
    cache.Clear();
    EXPECT_FALSE(cache.IsHidden(0));
    EXPECT_EQ(cache.GetHiddenRowCount(), 0);
}

TEST(FilterCache, SystemCacheKeepsOneCachePerInstanceAndTable)
{
    CqzDataCacheMgr::Instance().Reset();
    CqzSystemFilterCache& system = CqzDataCacheMgr::Instance().GetSystemFilterCache();
    const CqzID instance, tableA, tableB;
    CqzDataTableFilterCache& a = system.AddCache(instance, tableA);
    a.AddRange(1, 2);
    EXPECT_EQ(&system.AddCache(instance, tableA), &a);
    EXPECT_NE(&system.AddCache(instance, tableB), &a);
    EXPECT_EQ(system.GetCache(tableA, instance), nullptr);
    EXPECT_EQ(system.GetCache(instance, tableA)->GetTableID(), tableA);
    system.ClearCache(instance, tableA);
    EXPECT_EQ(a.GetRangeCount(), 0u);
    EXPECT_EQ(system.GetCacheCount(), 2u);
    CqzDataCacheMgr::Instance().Reset();
    EXPECT_EQ(system.GetCacheCount(), 0u);
}

} // namespace
