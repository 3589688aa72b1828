#include "evaluation/CqzFilterPageMask.h"
#include "output/CqzFilterHiddenRuns.h"
#include "qzSystem/output/CqzDataTableFilterCache.h"

#include <gtest/gtest.h>

#include <random>

// Registering a page's hidden rows from its mask, a word at a time, gives the filter cache the
// same ranges as registering them row by row: random masks of every density, runs long and
// short, at the block's edges and across words, over blocks of several pages.
TEST(HiddenRunsMaskTest, RegistersWhatRowByRowRegistrationDoes)
{
    std::mt19937_64 rng(14);
    for (int round = 0; round < 300; ++round)
    {
        CqzDataTableFilterCache byMask{CqzID(), CqzID()}, byRow{CqzID(), CqzID()};
        const std::int64_t first = static_cast<std::int64_t>(rng() % 5000);
        CqzFilterHiddenRuns masks(byMask, first), rows(byRow, first);
        const int pages = 1 + static_cast<int>(rng() % 3);
        std::int64_t row = first;
        for (int page = 0; page < pages; ++page)
        {
            const int count = page + 1 < pages ? 512 : 1 + static_cast<int>(rng() % 512);
            // Runs of random lengths, hidden with a density that changes per round.
            const unsigned density = static_cast<unsigned>(rng() % 100);
            CqzFilterPageMask hidden;
            for (int at = 0; at < count;)
            {
                const bool on = rng() % 100 < density;
                const int length = 1 + static_cast<int>(rng() % (rng() % 2 ? 8 : 80));
                for (int i = at; i < count && i < at + length; ++i)
                {
                    if (on)
                        hidden.Set(i);
                    rows.AddRow(row + i, on);
                }
                at += length;
            }
            masks.AddRows(row, hidden, count);
            row += count;
        }
        masks.Finish(row);
        rows.Finish(row);
        ASSERT_EQ(byMask.GetRanges(), byRow.GetRanges()) << "round " << round;
    }
}
