#include "CqzBenchMemoryProbe.h"
#include "CqzBenchOptions.h"
#include "CqzBenchReport.h"

#include <gtest/gtest.h>

#include <limits>
#include <sstream>
#include <stdexcept>

namespace
{

// Targets come last whatever the order they were added in.
TEST(BenchReportTest, JsonLineHoldsFiguresTargetsAndEscapedNotes)
{
    CqzBenchReport report;
    report.Add("w1", "ratio", "full / baseline", 2.5, "x", 2);
    report.AddNote("w1", "row \"7\"");
    report.AddTarget("w1_within_5x", "within 5x", true);
    report.Add("scale", "first_ms", "first", std::numeric_limits<double>::infinity());
    EXPECT_EQ(report.ToJson(), "{\"bench\":\"qzbench\",\"w1\":{\"ratio\":2.5,\"notes\":"
                               "[\"row \\\"7\\\"\"]},\"scale\":{\"first_ms\":null},"
                               "\"targets\":{\"w1_within_5x\":true}}");
    std::ostringstream table;
    report.PrintTable(table);
    EXPECT_NE(table.str().find("2.50 x"), std::string::npos);
}

TEST(BenchMemoryProbeTest, ReadsVmRssInBytes)
{
    std::istringstream status("Name:\tqzbench\nVmHWM:\t  9000 kB\nVmRSS:\t  1234 kB\n");
    EXPECT_EQ(CqzBenchMemoryProbe::ParseResidentBytes(status), 1234 * 1024);
    std::istringstream none("Name:\tx\n");
    EXPECT_EQ(CqzBenchMemoryProbe::ParseResidentBytes(none), -1);
    EXPECT_GT(CqzBenchMemoryProbe::GetResidentBytes(), 0);
}

TEST(BenchOptionsTest, QuickSizesGiveWayToExplicitOnes)
{
    const CqzBenchOptions quick = CqzBenchOptions::Parse({"--rows", "500", "--quick"});
    EXPECT_EQ(quick.rows, 500);
    EXPECT_EQ(quick.scaleMillions, (std::vector<double>{0.01, 0.1}));
    const CqzBenchOptions only =
        CqzBenchOptions::Parse({"--only", "w2,import", "--scale", "1,100"});
    EXPECT_TRUE(only.Runs("w2"));
    EXPECT_FALSE(only.Runs("w1"));
    EXPECT_EQ(only.scaleMillions, (std::vector<double>{1, 100}));
}

TEST(BenchOptionsTest, BadArgumentsAreRefused)
{
    for (const auto& args : std::vector<std::vector<std::string>>{{"--rows"},
                                                                  {"--rows", "0"},
                                                                  {"--rows", "12x"},
                                                                  {"--only", "w3"},
                                                                  {"--scale", ","},
                                                                  {"--scale", "0"},
                                                                  {"--fast"}})
        EXPECT_THROW(CqzBenchOptions::Parse(args), std::invalid_argument) << args[0];
}

} // namespace
