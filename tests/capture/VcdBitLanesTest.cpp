// The one-bit columns of a piece kept a row at a time and turned into each column's bits, in
// every unit the processor has: slots added on the way (more than one lane of 64, lanes
// starting at different rows), changes and rows of random lengths, and a second piece read
// with the same lanes, against the levels tracked row by row.

#include "CaptureUnitTest.h"
#include "capture/CqzVcdBitLanes.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace
{
class VcdBitLanesTest : public CaptureUnitTest
{
};
} // namespace

TEST_P(VcdBitLanesTest, SpreadGivesEachSlotItsLevelInEveryRowFromItsLane)
{
    std::mt19937_64 rng(11);
    CqzVcdBitLanes lanes;
    for (const int rows : {1, 63, 64, 65, 700, 130})
    {
        lanes.Clear();
        std::vector<int> levels;                // by slot
        std::vector<std::vector<int>> expected; // by slot: a level per row from its first
        std::vector<std::int64_t> firstRow;
        for (int row = 0; row < rows; ++row)
        {
            for (int added = static_cast<int>(rng() % 4); added > 0 && levels.size() < 150; --added)
            {
                ASSERT_EQ(lanes.Add(row), static_cast<int>(levels.size()));
                levels.push_back(0);
                firstRow.push_back(lanes.GetFirstRow(static_cast<int>(levels.size()) - 1));
                expected.emplace_back(static_cast<std::size_t>(row - firstRow.back()), 0);
            }
            for (int change = static_cast<int>(rng() % 6); change > 0 && !levels.empty(); --change)
            {
                const auto slot = static_cast<std::size_t>(rng() % levels.size());
                levels[slot] = static_cast<int>(rng() & 1);
                lanes.Set(static_cast<int>(slot), levels[slot] != 0);
            }
            lanes.EndRow();
            for (std::size_t slot = 0; slot < levels.size(); ++slot)
                expected[slot].push_back(levels[slot]);
        }
        std::vector<std::vector<std::uint64_t>> bits(levels.size());
        std::vector<std::vector<std::uint64_t>*> out;
        for (auto& b : bits)
            out.push_back(&b);
        lanes.Spread(out.data());
        for (std::size_t slot = 0; slot < levels.size(); ++slot)
            for (std::size_t i = 0; i < expected[slot].size(); ++i)
                ASSERT_EQ(static_cast<int>(bits[slot][i / 64] >> (i % 64) & 1), expected[slot][i])
                    << rows << " rows, slot " << slot << ", row "
                    << firstRow[slot] + static_cast<std::int64_t>(i);
    }
}

QZ_FOR_EVERY_CAPTURE_UNIT(VcdBitLanesTest);
