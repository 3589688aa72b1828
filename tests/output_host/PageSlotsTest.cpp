#include "qzSystem/output/CqzPageSlots.h"

#include <gtest/gtest.h>

#include <map>

namespace
{
// Counts the values alive, so that erasing, clearing and the container's end are seen to
// destroy each value once.
struct SqzCounted
{
    explicit SqzCounted(int& alive, std::int64_t value) : alive(alive), value(value) { ++alive; }
    ~SqzCounted() { --alive; }
    int& alive;
    std::int64_t value;
};
} // namespace

// Pages spread over several leaves, and back in a leaf used before, behave as a map would.
TEST(PageSlotsTest, ActsAsAMapOfPagesAcrossLeaves)
{
    int alive = 0;
    {
        CqzPageSlots<SqzCounted> slots;
        std::map<std::int64_t, std::int64_t> expected;
        for (const std::int64_t page : {0, 255, 256, 1000000, 3, 70000, 256})
        {
            const auto [value, made] = slots.TryEmplace(page, alive, page * 7);
            EXPECT_EQ(made, expected.emplace(page, page * 7).second) << page;
            EXPECT_EQ(value->value, page * 7);
        }
        EXPECT_EQ(slots.Find(-1), nullptr);
        EXPECT_EQ(slots.Find(1), nullptr);
        EXPECT_EQ(slots.Find(999999), nullptr);
        SqzCounted* kept = slots.Find(255);
        EXPECT_TRUE(slots.Erase(256));
        EXPECT_FALSE(slots.Erase(256));
        expected.erase(256);
        EXPECT_EQ(slots.Find(255), kept); // values stay where they are
        std::map<std::int64_t, std::int64_t> visited;
        slots.ForEach([&](std::int64_t page, SqzCounted& value) { visited[page] = value.value; });
        EXPECT_EQ(visited, expected);
        EXPECT_EQ(slots.GetSize(), expected.size());
        EXPECT_EQ(alive, static_cast<int>(expected.size()));
        slots.Clear();
        EXPECT_EQ(alive, 0);
        EXPECT_EQ(slots.Find(0), nullptr);
        slots.TryEmplace(5, alive, 1);
    }
    EXPECT_EQ(alive, 0);
}
