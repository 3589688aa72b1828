// Texts from capture files made safe to show: control bytes, C1 controls and bytes that are
// not UTF-8 are escaped, valid UTF-8 is kept.

#include "capture/CqzCaptureText.h"

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
