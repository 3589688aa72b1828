// The command line read into options: term names, row ranges, decoders and their refusals, and
// when the listing is drawn in colour.

#include "CqzHostError.h"
#include "CqzHostOptions.h"

#include <gtest/gtest.h>

namespace
{

TEST(HostOptionsTest, NameGoesToTheNextTermOnly)
{
    const SqzHostOptions options =
        CqzHostOptions::Parse({"--hide", "A == 1", "--name", "Errors", "--color", "red", "B high",
                               "--name=Quiet", "--show", "C low", "--hide", "D high"});
    ASSERT_EQ(options.terms.size(), 4u);
    EXPECT_EQ(options.terms[0].name, "");
    EXPECT_EQ(options.terms[1].name, "Errors");
    EXPECT_EQ(options.terms[2].name, "Quiet");
    EXPECT_EQ(options.terms[3].name, "");
}

struct SqzRowsCase
{
    std::vector<std::string> arguments;
    std::int64_t first;
    std::int64_t last;
    std::int64_t limit;
};

TEST(HostOptionsTest, RowsTakeOpenEndsAndListTheWholeRangeUnlessLimited)
{
    const SqzRowsCase cases[] = {
        {{"--rows", "5:9"}, 5, 9, -1},
        {{"--rows=100:"}, 100, -1, -1},
        {{"--rows", ":50"}, 0, 50, -1},
        {{"--rows", "7:7", "-n", "3"}, 7, 7, 3},
        {{}, 0, -1, 200},
    };
    for (const SqzRowsCase& c : cases)
    {
        const SqzHostOptions options = CqzHostOptions::Parse(c.arguments);
        EXPECT_EQ(options.firstRow, c.first);
        EXPECT_EQ(options.lastRow, c.last);
        EXPECT_EQ(options.limit, c.limit);
    }
}

TEST(HostOptionsTest, DecodersAreRepeatableAndRatesTakeUnits)
{
    const SqzHostOptions options =
        CqzHostOptions::Parse({"--decode", "spi:clk=D2", "--decode=i2c:scl=SCL:sda=SDA,eeprom24xx",
                               "--decode-rate", "2.5M", "--table", "i2c", "--decode", "list"});
    EXPECT_EQ(options.decode.stacks,
              (std::vector<std::string>{"spi:clk=D2", "i2c:scl=SCL:sda=SDA,eeprom24xx"}));
    EXPECT_EQ(options.decode.rate, 2500000u);
    EXPECT_EQ(options.table, "i2c");
    EXPECT_TRUE(options.listDecoders);
    EXPECT_EQ(CqzHostOptions::Parse({"--decode-rate=500kHz"}).decode.rate, 500000u);
}

TEST(HostOptionsTest, BadRowsAndNamesAreRefused)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"--rows", "9:5"}, "the last row comes before the first"},
        {{"--rows", "5"}, "expected FIRST:LAST"},
        {{"--rows", ":"}, "expected FIRST:LAST"},
        {{"--rows", "x:3"}, "'x' is not a count"},
        {{"--rows", "1:-3"}, "'-3' is not a count"},
        {{"--hide", "A == 1", "--name", "late"}, "--name 'late' names no term"},
        {{"--name", "a", "--name", "b", "--hide", "A == 1"}, "--name 'a' names no term"},
        {{"--name=", "--hide", "A == 1"}, "the name is empty"},
        {{"--decode-rate", "fast"}, "'fast' is not a rate"},
        {{"--decode-rate", "5X"}, "'5X' is not a rate"},
        {{"--decode-rate", "0.2"}, "'0.2' is not a rate"},
        {{"--decode="}, "--decode needs a decoder"},
    };
    for (const auto& [arguments, message] : cases)
    {
        try
        {
            CqzHostOptions::Parse(arguments);
            ADD_FAILURE() << "accepted: " << arguments[0] << " " << arguments.back();
        }
        catch (const CqzHostError& error)
        {
            EXPECT_EQ(error.GetExitCode(), eqzExitUsage);
            EXPECT_NE(std::string(error.what()).find(message), std::string::npos) << error.what();
        }
    }
}

TEST(HostOptionsTest, ColourFollowsTheModeTheTerminalAndTheEnvironment)
{
    EXPECT_TRUE(CqzHostOptions::UseColor(eqzColorAuto, true, nullptr, "xterm"));
    EXPECT_TRUE(CqzHostOptions::UseColor(eqzColorAuto, true, "", nullptr));
    EXPECT_FALSE(CqzHostOptions::UseColor(eqzColorAuto, true, "1", "xterm"));
    EXPECT_FALSE(CqzHostOptions::UseColor(eqzColorAuto, true, nullptr, "dumb"));
    EXPECT_FALSE(CqzHostOptions::UseColor(eqzColorAuto, false, nullptr, "xterm"));
    EXPECT_TRUE(CqzHostOptions::UseColor(eqzColorAlways, false, "1", "dumb"));
    EXPECT_FALSE(CqzHostOptions::UseColor(eqzColorNever, true, nullptr, "xterm"));
}

} // namespace
