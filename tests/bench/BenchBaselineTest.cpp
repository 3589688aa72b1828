#include "CqzBenchBaseline.h"
#include "CqzBenchWorkload.h"

#include <gtest/gtest.h>

namespace
{
constexpr std::uint64_t Hidden = 1ull << 11;
constexpr std::uint64_t Red = (1ull << 13) | (0x0000ffull << 32);
constexpr std::uint64_t Orange = (1ull << 13) | (0x0080ffull << 32);

struct SqzCase
{
    std::uint32_t addr, data, stat;
    const wchar_t* msg;
    std::uint64_t record;
};

class BaselineDecideTest : public ::testing::TestWithParam<SqzCase>
{
};

TEST_P(BaselineDecideTest, FirstMatchingTermDecides)
{
    const SqzCase& c = GetParam();
    EXPECT_EQ(CqzBenchBaseline::Decide(c.addr, c.data, c.stat, c.msg), c.record)
        << std::hex << "addr " << c.addr << " data " << c.data << " stat " << c.stat;
}

INSTANTIATE_TEST_SUITE_P(
    Terms, BaselineDecideTest,
    ::testing::Values(SqzCase{0x1000, 0xdead, 0x30, L"err", Hidden}, // hide wins over colours
                      SqzCase{0x1fff, 0, 0x3f, nullptr, Hidden},     // don't-care low nibble
                      SqzCase{0x0fff, 0, 0x30, nullptr, 0},          // below the range
                      SqzCase{0x2000, 0, 0x30, nullptr, 0},          // above the range
                      SqzCase{0x1800, 0, 0x40, nullptr, 0},          // high nibble differs
                      SqzCase{0x1800, 0xdead, 0x20, L"Parity ERROR", Orange}, // text before data
                      SqzCase{0x9000, 0xdead, 0, L"ok", Red},                 // colour before Show
                      SqzCase{0x9000, 0xdeae, 0, nullptr, Hidden},            // Show hides the rest
                      SqzCase{0x7fff, 0xdeae, 0, L"er r", 0}));               // no term applies

TEST(BaselineTextTest, ContainsIgnoresCaseOfTheText)
{
    EXPECT_TRUE(CqzBenchBaseline::ContainsNoCase(L"ERR: x", L"err"));
    EXPECT_TRUE(CqzBenchBaseline::ContainsNoCase(L"eerr", L"err"));
    EXPECT_FALSE(CqzBenchBaseline::ContainsNoCase(L"er", L"err"));
    EXPECT_FALSE(CqzBenchBaseline::ContainsNoCase(L"", L"err"));
}

// Every term of the filter must decide a fair share of the generated rows, or the benchmark
// measures a filter that does nothing.
TEST(BenchWorkloadTest, EveryTermDecidesAFairShareOfRows)
{
    const CqzBenchWorkload workload(20000, true);
    std::vector<std::uint64_t> records;
    CqzBenchBaseline::Run(workload, records);
    ASSERT_EQ(records.size(), 20000u);
    const CqzValueStore& addr = workload.GetStore(CqzBenchWorkload::eAddr).GetEntries();
    int hiddenInRange = 0, hiddenAbove = 0, red = 0, orange = 0, shown = 0;
    for (std::size_t row = 0; row < records.size(); ++row)
    {
        const bool high = addr.GetLow(static_cast<std::int64_t>(row)) >= 0x8000;
        hiddenInRange += records[row] == Hidden && !high ? 1 : 0;
        hiddenAbove += records[row] == Hidden && high ? 1 : 0;
        red += records[row] == Red ? 1 : 0;
        orange += records[row] == Orange ? 1 : 0;
        shown += records[row] == 0 ? 1 : 0;
    }
    for (const int count : {hiddenInRange, hiddenAbove, red, orange, shown})
        EXPECT_GT(count, 1000);
}

} // namespace
