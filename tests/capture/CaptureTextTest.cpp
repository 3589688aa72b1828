// Texts from capture files made safe to show: control bytes, C1 controls and bytes that are
// not UTF-8 are escaped, valid UTF-8 is kept.

#include "capture/CqzCaptureTable.h"
#include "capture/CqzCaptureText.h"
#include "qzSystem/managers/CqzLabelMgr.h"

#include <gtest/gtest.h>

namespace
{
struct TextCase
{
    std::string raw;
    std::string shown;
};

class CaptureTextTest : public ::testing::TestWithParam<TextCase>
{
};
} // namespace

TEST_P(CaptureTextTest, PrintableEscapesWhatATerminalWouldObey)
{
    EXPECT_EQ(CqzCaptureText::Printable(GetParam().raw), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CaptureTextTest,
    ::testing::Values(TextCase{"SDA", "SDA"}, TextCase{"\x1b[31mRed\x07", "\\x1b[31mRed\\x07"},
                      TextCase{std::string("a\0b", 3), "a\\x00b"}, TextCase{"\x7f", "\\x7f"},
                      TextCase{"\xc2\x9b"
                               "2J",
                               "\\xc2\\x9b2J"}, // C1 control sequence introducer
                      TextCase{"\xc2\xb5s \xe2\x82\xac", "\xc2\xb5s \xe2\x82\xac"}, // µs €
                      TextCase{"\xff\xe2\x82", "\\xff\\xe2\\x82"})); // not UTF-8, cut short

TEST(CaptureTextQuoteTest, CutsLongTextsAndEscapes)
{
    EXPECT_EQ(CqzCaptureText::Quote(std::string(50, 'a') + "\n", 3), "'aaa...'");
    EXPECT_EQ(CqzCaptureText::Quote("x\n"), "'x\\x0a'");
}

// A capture's text values keep what they hold; only bytes that are not UTF-8 become \xNN.
TEST(CaptureTextValueTest, BrokenUtf8IsEscapedNeverReplaced)
{
    EXPECT_EQ(CqzCaptureText::Value("ok\t\xc2\xb5s").ToUtf8(), "ok\t\xc2\xb5s");
    EXPECT_EQ(CqzCaptureText::Value("a\xff" "b\xe2\x82").ToUtf8(), "a\\xffb\\xe2\\x82");
}

// Many labels of one name get their suffixes at a probe or two each, not one per earlier label.
TEST(CaptureTableNamesTest, SameNamedLabelsCostLinearProbes)
{
    CqzLabelMgr::Instance().Reset();
    CqzCaptureTable table(SqzCaptureOptions{}, "t.vcd");
    constexpr int Labels = 4000;
    table.AddLabel(eqzLabelDigital, "D_3", 1);
    for (int i = 0; i < Labels; ++i)
        table.AddLabel(eqzLabelDigital, "D", 1);
    EXPECT_EQ(table.GetName(2).ToUtf8(), "D");
    EXPECT_EQ(table.GetName(3).ToUtf8(), "D_2");
    EXPECT_EQ(table.GetName(4).ToUtf8(), "D_4"); // D_3 was taken
    EXPECT_EQ(table.GetName(Labels + 1).ToUtf8(), "D_" + std::to_string(Labels + 1));
    EXPECT_LE(table.GetNameProbes(), 2 * Labels + 2);
}
