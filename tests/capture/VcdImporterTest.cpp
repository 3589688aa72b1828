#include "CaptureTestUtil.h"
#include "capture/CqzVcdImporter.h"

using namespace capture_test;

namespace
{
class VcdTest : public ImporterTest<CqzVcdImporter>
{
protected:
    VcdTest() : ImporterTest("t.vcd") {}
};

std::string Dump(const std::string& vars, const std::string& changes,
                 const std::string& timescale = "1 ns")
{
    return "$timescale " + timescale + " $end\n$scope module top $end\n" + vars +
           "$upscope $end\n$enddefinitions $end\n" + changes;
}

struct TimescaleCase
{
    const char* timescale;
    std::int64_t psOfTen; // picoseconds of #10
};

class VcdTimescaleTest : public VcdTest, public ::testing::WithParamInterface<TimescaleCase>
{
};
} // namespace

TEST_P(VcdTimescaleTest, TimesGoToPicoseconds)
{
    const auto& t = Import(Dump("$var wire 1 ! a $end\n", "#0\n1!\n#10\n", GetParam().timescale));
    ASSERT_EQ(t.GetRowCount(), 2);
    EXPECT_EQ(TimeAt(t, 1), GetParam().psOfTen);
}

INSTANTIATE_TEST_SUITE_P(
    Units, VcdTimescaleTest,
    ::testing::Values(TimescaleCase{"1 s", 10000000000000}, TimescaleCase{"10ms", 100000000000},
                      TimescaleCase{"100 us", 1000000000}, TimescaleCase{"1 ns", 10000},
                      TimescaleCase{"10 ps", 100}, TimescaleCase{"100 fs", 1}));

TEST_F(VcdTest, ScopesGiveDottedUniqueNames)
{
    const auto& t = Import(Dump("$var wire 1 ! clk $end\n$scope module u1 $end\n"
                                "$var wire 1 ! clk $end\n$var wire 4 \" bus [3:0] $end\n"
                                "$var wire 1 # d [3] $end\n$var wire 1 $ d [3] $end\n"
                                "$upscope $end\n",
                                "#0\n"));
    EXPECT_EQ(Names(t),
              (std::vector<std::string>{"clk", "u1.clk", "u1.bus", "u1.d[3]", "u1.d[3]_2"}));
    EXPECT_EQ(LabelOf(t, Column(t, "u1.bus"))->GetWidth(), 4);
}

// Scopes nested thousands deep: each scope is held once, and a name keeps the innermost scopes
// that fit in 1 KiB.
TEST_F(VcdTest, DeeplyNestedScopesGiveBoundedNames)
{
    std::string scopes, ups;
    for (int i = 0; i < 5000; ++i)
    {
        scopes += "$scope module s" + std::to_string(i) + " $end\n";
        ups += "$upscope $end\n";
    }
    const auto& t = Import(Dump(scopes + "$var wire 1 ! a $end\n$var wire 1 \" b $end\n" + ups,
                                "#0\n"));
    const std::vector<std::string> names = Names(t);
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0].rfind("...s", 0), 0u) << names[0].substr(0, 20);
    EXPECT_NE(names[0].find(".s4999.a"), std::string::npos);
    EXPECT_LE(names[0].size(), 1024u + 5);
}

TEST_F(VcdTest, SeveralTopScopesAreKeptInNames)
{
    const auto& t = Import("$scope module a $end\n$var wire 1 ! x $end\n$upscope $end\n"
                           "$scope module b $end\n$var wire 1 \" x $end\n$upscope $end\n"
                           "$enddefinitions $end\n#0\n");
    EXPECT_EQ(Names(t), (std::vector<std::string>{"a.x", "b.x"}));
}

TEST_F(VcdTest, VectorsAreLeftExtendedAndUnknownDigitsGiveStatus4)
{
    const auto& t = Import(Dump("$var wire 8 ! v $end\n$var wire 128 \" w $end\n",
                                "#0\nb10 !\nb" + std::string(128, '1') +
                                    " \"\n#1\nbx1 !\n#2\nbz !\n#3\nb0001 !\n#4\nb1x !\n"));
    EXPECT_EQ(Value(t, "v", 0), 2u);
    EXPECT_EQ(At(t, "w", 0).value, CqzUInt::LowMask(128));
    EXPECT_EQ(At(t, "v", 1).status, 4);
    EXPECT_EQ(At(t, "v", 2).status, 4);
    EXPECT_EQ(Value(t, "v", 3), 1u);
    EXPECT_EQ(At(t, "v", 4).status, 4);
}

TEST_F(VcdTest, UnknownAndFloatingDigitsAreKeptPerDigitWithAByteOrderMark)
{
    const auto& t = Import("\xEF\xBB\xBF" + Dump("$var wire 16 ! v $end\n",
                                                 "#0\nb110000zzzzzzzz !\n#1\nbx1 !\n#2\nb1 !\n"));
    CqzUInt x, z;
    ASSERT_TRUE(t.GetUnknownDigits(Column(t, "v"), 0, x, z));
    EXPECT_EQ(At(t, "v", 0).value, CqzUInt(0x3000));
    EXPECT_EQ(z, CqzUInt(0xff));
    EXPECT_TRUE(x.IsZero());
    ASSERT_TRUE(t.GetUnknownDigits(Column(t, "v"), 1, x, z)); // extended by x
    EXPECT_EQ(x, CqzUInt(0xfffe));
    EXPECT_FALSE(t.GetUnknownDigits(Column(t, "v"), 2, x, z));
    EXPECT_EQ(Value(t, "v", 2), 1u);
}

TEST_F(VcdTest, WideVariableIsSkippedWithANoteAndTheRestLoads)
{
    std::vector<std::string> notes;
    SqzCaptureOptions options;
    options.note = [&](const std::string& note) { notes.push_back(note); };
    m_data = CqzVcdImporter(options).ImportText(
        Dump("$var wire 256 ! wide $end\n$var wire 1 \" a $end\n",
             "#0\nb1" + std::string(255, '0') + " !\n1\"\n"),
        "t.vcd");
    EXPECT_EQ(Names(*m_data->GetTable(0)), (std::vector<std::string>{"a"}));
    EXPECT_EQ(notes, (std::vector<std::string>{
                         "t.vcd: 3: $var wide is 256 bits wide; skipped (labels hold at most 128 "
                         "bits)"}));
}

TEST_F(VcdTest, SharedIdentifierCodesChangeEveryVariable)
{
    const auto& t =
        Import(Dump("$var wire 1 ! a $end\n$var wire 1 ! b $end\n", "#0\n1!\n#5\n0!\n"));
    EXPECT_EQ(Value(t, "a", 0), 1u);
    EXPECT_EQ(Value(t, "b", 0), 1u);
    EXPECT_EQ(Value(t, "b", 1), 0u);
}

TEST_F(VcdTest, RealsAndStringsAreTextLabels)
{
    const auto& t = Import(Dump("$var real 64 ! level $end\n$var string 1 \" msg $end\n",
                                "#0\nr1.5 !\nshello \"\n#1\nr-2e3 !\n"));
    EXPECT_TRUE(LabelOf(t, Column(t, "level"))->IsType(eqzLabelString));
    EXPECT_EQ(At(t, "level", 0).text, "1.5");
    EXPECT_EQ(At(t, "msg", 1).text, "hello");
    EXPECT_EQ(At(t, "level", 1).text, "-2e3");
}

TEST_F(VcdTest, OneRowPerTimestamp)
{
    // Changes before the first timestamp belong to its row; a repeated timestamp is the same
    // row; a last timestamp without changes still makes a row.
    const auto& t =
        Import(Dump("$var wire 1 ! a $end\n", "$dumpvars\n1!\n$end\n#7\n#7\n0!\n#9\n1!\n#12\n"));
    ASSERT_EQ(t.GetRowCount(), 3);
    EXPECT_EQ(TimeAt(t, 0), 7000);
    EXPECT_EQ(Value(t, "a", 0), 0u);
    EXPECT_EQ(TimeAt(t, 2), 12000);
    EXPECT_EQ(Value(t, "a", 2), 1u);
}

TEST_F(VcdTest, ChangesWithoutTimestampMakeOneRowAtZero)
{
    const auto& t = Import(Dump("$var wire 1 ! a $end\n", "1!\n"));
    ASSERT_EQ(t.GetRowCount(), 1);
    EXPECT_EQ(TimeAt(t, 0), 0);
}

struct BadVcd
{
    std::string text;
    std::string message;
};

class VcdRefusalTest : public VcdTest, public ::testing::WithParamInterface<BadVcd>
{
};

TEST_P(VcdRefusalTest, NamesFileLineAndProblem)
{
    EXPECT_EQ(Refusal(GetParam().text), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, VcdRefusalTest,
    ::testing::Values(
        BadVcd{Dump("$var wire 129 ! wide $end\n", ""),
               "t.vcd:5: the file declares no variables that can be imported"},
        BadVcd{Dump("$var wire 4294967296 ! huge $end\n", ""),
               "t.vcd:3: $var huge: width '4294967296' is not a number of bits"},
        BadVcd{Dump("$var wire 1 ! a $end\n", "#0\n1!\n" + std::string(4096, '\0')),
               "t.vcd:8: control byte 0x00: a value change dump is text"},
        BadVcd{Dump("$var wire 1 ! a $end\n", "#0\n1!\x1b[2J\n"),
               "t.vcd:7: control byte 0x1b: a value change dump is text"},
        BadVcd{Dump("$var wire 1 ! a $end\n", "#1000\n1!\n#1500\n0!\n", "1 fs"),
               "t.vcd:8: timestamp '#1500' is 1500 fs, not a whole number of picoseconds "
               "(times are kept in picoseconds; a finer time would merge with its neighbour)"},
        BadVcd{Dump("$var string 1 ! s $end\n", "#0\ns" + std::string(2 << 20, 'a') + " !\n"),
               "t.vcd:7: a word longer than 1048576 bytes ('saaaaaaaaaaaaaaaaaaa...')"},
        BadVcd{Dump("$var wire 1 ! a $end\n", "#0\n1?\n"), "t.vcd:7: unknown identifier code '?'"},
        BadVcd{Dump("$var wire 2 ! a $end\n", "#0\nb101 !\n"),
               "t.vcd:7: value 'b101' is not a 2-bit binary value for a"},
        BadVcd{Dump("$var wire 1 ! a $end\n", "#5\n#4\n"),
               "t.vcd:7: timestamp '#4' goes back in time"},
        BadVcd{Dump("$var wire 1 ! a $end\n", "#99999999999999999999\n"),
               "t.vcd:6: timestamp '#99999999999999999999' is not a number"},
        BadVcd{Dump("$var wire 1 ! a $end\n", "#18446744073709551615\n", "1 s"),
               "t.vcd:6: timestamp '#18446744073709551615' is beyond the time range"},
        BadVcd{Dump("$var real 64 ! r $end\n", "#0\n1!\n"),
               "t.vcd:7: a bit value for r, which holds reals or strings"},
        BadVcd{"$timescale 3 ns $end\n",
               "t.vcd:1: timescale '3ns' is not 1, 10 or 100 followed by s, ms, us, ns, ps or fs"},
        BadVcd{"$scope module a $end\n$var wire 1 ! a\n", "t.vcd:2: the file ends inside $var"},
        BadVcd{"$var wire 1 ! a $end\n", "t.vcd:1: the file ends before $enddefinitions"},
        BadVcd{"$upscope $end\n", "t.vcd:1: $upscope without an open $scope"},
        BadVcd{"$enddefinitions $end\n#0\n", "t.vcd:1: the file declares no variables"}));
