#include "CqzBenchBaseline.h"
#include "CqzBenchNumpy.h"
#include "CqzBenchRawLoop.h"
#include "CqzBenchVectorLoop.h"
#include "CqzBenchWorkload.h"

#include <gtest/gtest.h>

// The raw loop over copied arrays and the vectorised loop over the same arrays must decide
// every row as the baseline does, with and without the text term (3000 rows: vector bodies
// and a remainder).
TEST(BenchRawLoopTest, DecidesEveryRowAsTheBaseline)
{
    for (const bool withText : {false, true})
    {
        const CqzBenchWorkload workload(3000, withText, 7);
        std::vector<std::uint64_t> baseline;
        CqzBenchBaseline::Run(workload, baseline);
        CqzBenchRawLoop raw(workload);
        raw.RunAllocating();
        CqzBenchVectorLoop vector(raw);
        vector.RunTouched();
        ASSERT_EQ(vector.GetRowCount(), raw.GetRowCount());
        std::uint64_t sum = 0;
        for (std::int64_t row = 0; row < raw.GetRowCount(); ++row)
        {
            ASSERT_EQ(raw.GetRecord(row), baseline[std::size_t(row)]) << "row " << row;
            ASSERT_EQ(vector.GetRecord(row), baseline[std::size_t(row)]) << "row " << row;
            sum += baseline[std::size_t(row)];
        }
        EXPECT_EQ(raw.Checksum(), sum);
    }
}

TEST(BenchNumpyTest, ReadsSecondsAndSumFromTheLastLine)
{
    const auto result = CqzBenchNumpy::ParseOutput("warning: x\n0.125 18446744073709551615\n");
    ASSERT_TRUE(result.has_value());
    EXPECT_DOUBLE_EQ(result->seconds, 0.125);
    EXPECT_EQ(result->checksum, 18446744073709551615ull);
    EXPECT_FALSE(CqzBenchNumpy::ParseOutput("no numpy\n").has_value());
    EXPECT_FALSE(CqzBenchNumpy::ParseOutput("0 12\n").has_value());
}
