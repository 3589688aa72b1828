#include "CaptureTestUtil.h"
#include "capture/CqzCsvImporter.h"

#include <cstdio>

using namespace capture_test;

namespace
{
class CsvTest : public ImporterTest<CqzCsvImporter>
{
protected:
    CsvTest() : ImporterTest("t.csv") {}
};

class CsvSeparatorTest : public CsvTest, public ::testing::WithParamInterface<char>
{
};
} // namespace

TEST_P(CsvSeparatorTest, SeparatorIsFoundFromTheHeader)
{
    std::string text = "Time,A,B\r\n0,1,0\r\n1,0,1\r\n";
    std::replace(text.begin(), text.end(), ',', GetParam());
    const auto& t = Import(text);
    EXPECT_EQ(Names(t), (std::vector<std::string>{"A", "B"}));
    ASSERT_EQ(t.GetRowCount(), 2);
    EXPECT_EQ(Value(t, "B", 1), 1u);
    EXPECT_EQ(TimeAt(t, 1), 1000000000000);
}

INSTANTIATE_TEST_SUITE_P(Separators, CsvSeparatorTest, ::testing::Values(',', ';', '\t'));

TEST_F(CsvTest, ColumnsAreTypedFromAllTheirValues)
{
    const auto& t = Import("Time,Bit,Bin,Hex,Dec,Neg,Text,Prefixed,Flags,Radix\n"
                           "0,1,0101,0x0f,12,-3,a b,0b1,0x01,0b101\n"
                           "1,x,1x10,AB,300,100,7.5,0b101,0x10,0x5\n"
                           "2,0,0000,,0,-128,\"q, \"\"r\"\"\",0b0,0x11,0o17\n");
    struct Expect
    {
        const char* name;
        EqzLabelType type;
        int width;
    };
    for (const Expect& e : {Expect{"Bit", eqzLabelDigital, 1}, Expect{"Bin", eqzLabelDigital, 4},
                            Expect{"Hex", eqzLabelDigital, 8}, Expect{"Dec", eqzLabelIntegral, 16},
                            Expect{"Neg", eqzLabelIntegral, 8}, Expect{"Text", eqzLabelString, 0},
                            Expect{"Prefixed", eqzLabelDigital, 3},
                            Expect{"Flags", eqzLabelDigital, 8}, Expect{"Radix", eqzLabelDigital, 6}})
    {
        const CqzLabel* label = LabelOf(t, Column(t, e.name));
        ASSERT_NE(label, nullptr) << e.name;
        EXPECT_TRUE(label->IsType(e.type)) << e.name;
        EXPECT_EQ(label->GetWidth(), e.width) << e.name;
    }
    EXPECT_EQ(At(t, "Bit", 1).status, 4);
    EXPECT_EQ(Value(t, "Bin", 0), 5u);
    EXPECT_EQ(At(t, "Bin", 1).status, 4);
    EXPECT_EQ(Value(t, "Hex", 1), 0xABu);
    EXPECT_EQ(At(t, "Hex", 2).status, 3); // empty: no data
    EXPECT_EQ(Value(t, "Dec", 1), 300u);
    EXPECT_EQ(Value(t, "Neg", 0), 0xFDu);
    EXPECT_EQ(Value(t, "Neg", 2), 0x80u);
    EXPECT_EQ(At(t, "Text", 2).text, "q, \"r\"");
    EXPECT_EQ(Value(t, "Prefixed", 1), 5u);
    // Each value by its own prefix: 0x10 is sixteen, not binary with an unknown digit.
    EXPECT_EQ(Value(t, "Flags", 1), 0x10u);
    EXPECT_EQ(Value(t, "Radix", 0), 5u);
    EXPECT_EQ(Value(t, "Radix", 1), 5u);
    EXPECT_EQ(Value(t, "Radix", 2), 15u);
}

TEST_F(CsvTest, TimesTakeUnitsFromCellsOrHeader)
{
    const auto& cells = Import("Times;A\n0 ns;1\n4.860 530 ms;0\n5,5 ms;1\n6e-3;0\n");
    EXPECT_EQ(TimeAt(cells, 1), 4860530000);
    EXPECT_EQ(TimeAt(cells, 2), 5500000000); // decimal comma
    EXPECT_EQ(TimeAt(cells, 3), 6000000000); // no unit: seconds
    const auto& header = Import("Time [us],A\n0.5,1\n2,0\n");
    EXPECT_EQ(TimeAt(header, 0), 500000);
    EXPECT_EQ(TimeAt(header, 1), 2000000);
}

TEST_F(CsvTest, CommentedLayoutWithSampleRateAndNoTimeColumn)
{
    const auto& t = Import("; exported capture\n; Samplerate: 2 MHz\n\nD0,D1\n1,0\n0,0\n1,1\n");
    EXPECT_EQ(Names(t), (std::vector<std::string>{"D0", "D1"}));
    ASSERT_EQ(t.GetRowCount(), 3);
    EXPECT_EQ(TimeAt(t, 2), 1000000);
}

TEST_F(CsvTest, DuplicateAndEmptyHeaderNamesAreMadeUnique)
{
    const auto& t = Import("Time,A,A,\n0,1,1,1\n");
    EXPECT_EQ(Names(t), (std::vector<std::string>{"A", "A_2", "Column4"}));
}

TEST_F(CsvTest, UnknownDigitsWideColumnsAndByteOrderMark)
{
    std::vector<std::string> notes;
    SqzCaptureOptions options;
    options.note = [&](const std::string& note) { notes.push_back(note); };
    m_data = CqzCsvImporter(options).ImportText(
        "\xEF\xBB\xBFTime,Bus,Wide\n0,0x3zz,0x" + std::string(33, 'F') + "\n1,0x1x0,0\n", "t.csv");
    const CqzDataTable& t = *m_data->GetTable(0);
    EXPECT_EQ(Names(t), (std::vector<std::string>{"Bus"}));
    EXPECT_EQ(notes, (std::vector<std::string>{"t.csv: column 3 (Wide) holds values of 132 bits; "
                                               "skipped (labels hold at most 128 bits)"}));
    CqzUInt x, z;
    ASSERT_TRUE(t.GetUnknownDigits(Column(t, "Bus"), 0, x, z));
    EXPECT_EQ(z, CqzUInt(0xff));
    ASSERT_TRUE(t.GetUnknownDigits(Column(t, "Bus"), 1, x, z));
    EXPECT_EQ(x, CqzUInt(0xf0));
    EXPECT_TRUE(z.IsZero());
}

// Rows go to the table in batches of 1024: an x digit in the last row of a batch, an empty
// cell and a refusal deep in a batch must come out as they do row by row.
TEST_F(CsvTest, LongFilesKeepEveryValueStatusAndUnknownDigitAcrossBatches)
{
    std::string text = "Time (ns),Bus,Count\n";
    for (int row = 0; row < 3000; ++row)
    {
        char hex[8];
        std::snprintf(hex, sizeof hex, "0x%02x", row & 0xff);
        const std::string bus = row == 1023 ? "0x1x" : hex;
        text +=
            std::to_string(row) + "," + bus + "," + (row == 2000 ? "" : std::to_string(row)) + "\n";
    }
    const CqzDataTable& t = Import(text);
    ASSERT_EQ(t.GetRowCount(), 3000);
    for (std::int64_t row : {0, 1022, 1024, 1025, 2047, 2048, 2999})
    {
        EXPECT_EQ(TimeAt(t, row), row * 1000);
        EXPECT_EQ(Value(t, "Bus", row), std::uint64_t(row & 0xff));
        EXPECT_EQ(Value(t, "Count", row), std::uint64_t(row));
    }
    CqzUInt x, z;
    ASSERT_TRUE(t.GetUnknownDigits(Column(t, "Bus"), 1023, x, z));
    EXPECT_EQ(x, CqzUInt(0x0f));
    EXPECT_EQ(At(t, "Bus", 1023).status, 4);
    EXPECT_FALSE(t.GetUnknownDigits(Column(t, "Bus"), 1024, x, z) && !x.IsZero());
    EXPECT_EQ(At(t, "Count", 2000).status, 3);
    EXPECT_EQ(Value(t, "Count", 2001), 2001u);

    m_data.reset();
    CqzLabelMgr::Instance().Reset();
    text.replace(text.find("\n2500,"), 6, "\n2400,");
    EXPECT_EQ(Refusal(text), "t.csv:2502: time '2400' is before the time of the line above");
}

struct BadCsv
{
    std::string text;
    std::string message;
};

class CsvRefusalTest : public CsvTest, public ::testing::WithParamInterface<BadCsv>
{
};

TEST_P(CsvRefusalTest, NamesFileLineAndProblem)
{
    EXPECT_EQ(Refusal(GetParam().text), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, CsvRefusalTest,
    ::testing::Values(
        BadCsv{"Time,A\n0,5,1\n", "t.csv:2: field 3 '1' has no column: the line has 3 fields, "
                                  "the header names 2 (decimal commas in a comma-separated "
                                  "file?)"},
        BadCsv{"Time;A;B\n0;1\n", "t.csv:2: the line has 2 fields, the header names 3"},
        BadCsv{"Time,A\n2,1\n1,0\n", "t.csv:3: time '1' is before the time of the line above"},
        BadCsv{"Time,A\n1 min,1\n",
               "t.csv:2: time '1 min' has no known unit (s, ms, us, ns, ps, fs)"},
        BadCsv{"Time (h),A\n1,1\n",
               "t.csv:1: time unit 'h' of the header is not s, ms, us, ns, ps or fs"},
        BadCsv{"Time,A\n99999999999,1\n",
               "t.csv:2: time '99999999999' is not a number within the time range"},
        BadCsv{"Time,A\n0,1\n\x01,2\n", "t.csv:3: control byte 0x01: a CSV file is text"},
        BadCsv{"Time,A\n0,1\n" + std::string(3, '\0'),
               "t.csv:3: control byte 0x00: a CSV file is text"},
        BadCsv{"Time (fs),A\n1500,1\n", "t.csv:2: time '1500' is not a whole number of "
                                        "picoseconds (times are kept in picoseconds)"},
        BadCsv{"Time,A\n" + std::string((16 << 20) + 1, ','),
               "t.csv:2: the line is longer than 16777216 bytes"},
        BadCsv{"Time,A\n0," + std::string((1 << 20) + 1, 'a') + "\n",
               "t.csv:2: field 2 is longer than 1048576 bytes"},
        BadCsv{"Time,A\n0,\"open\n", "t.csv:2: a quoted field has no closing quote"},
        BadCsv{"A,B\n1,0\n",
               "t.csv:1: no time column (a column named Time...) and no '; Samplerate:' comment"},
        BadCsv{"; only a comment\n", "t.csv:1: no header line naming the columns"},
        BadCsv{"; Samplerate: 3000 GHz\nA\n1\n0\n",
               "t.csv:1: sample rate '; Samplerate: 3000 GHz' is above 1 THz: samples closer "
               "than a picosecond cannot be told apart (times are kept in picoseconds)"}));
