#include "evaluation/CqzFilterPageMask.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

// Masks made from flags, ranges and combinations agree with a plain array of booleans, at
// every row count of a page (the sixteen- and eight-row steps and the tail).
TEST(FilterPageMaskTest, AgreesWithAnArrayOfFlags)
{
    std::mt19937 rng(512);
    for (int count = 0; count <= CqzFilterPageMask::Rows; ++count)
    {
        std::vector<std::uint8_t> a(CqzFilterPageMask::Rows), b(CqzFilterPageMask::Rows);
        for (int r = 0; r < count; ++r)
            a[r] = rng() % 3 == 0, b[r] = rng() % 2;
        const CqzFilterPageMask ma = CqzFilterPageMask::FromFlags(a.data(), count);
        const CqzFilterPageMask mb = CqzFilterPageMask::FromFlags(b.data(), count);
        const int from = count == 0 ? 0 : static_cast<int>(rng() % count);
        const int to = from + static_cast<int>(rng() % (count - from + 1));
        CqzFilterPageMask range;
        range.SetRange(from, to);
        CqzFilterPageMask both = ma, either = ma;
        both &= mb;
        either |= mb;
        const CqzFilterPageMask without = ma.Without(mb);
        std::vector<int> visited;
        ma.ForEach([&](int row) { visited.push_back(row); });
        std::vector<int> expected;
        for (int r = 0; r < CqzFilterPageMask::Rows; ++r)
        {
            SCOPED_TRACE(testing::Message() << "count " << count << " row " << r);
            const bool fa = r < count && a[r], fb = r < count && b[r];
            ASSERT_EQ(ma.Get(r), fa);
            ASSERT_EQ(both.Get(r), fa && fb);
            ASSERT_EQ(either.Get(r), fa || fb);
            ASSERT_EQ(without.Get(r), fa && !fb);
            ASSERT_EQ(range.Get(r), r >= from && r < to);
            ASSERT_EQ(CqzFilterPageMask::FirstRows(count).Get(r), r < count);
            if (fa)
                expected.push_back(r);
        }
        EXPECT_EQ(visited, expected);
        EXPECT_EQ(ma.Count(), static_cast<int>(expected.size()));
        EXPECT_EQ(ma.IsEmpty(), expected.empty());
    }
}
