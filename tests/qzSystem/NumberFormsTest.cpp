#include "qzSystem/format/CqzHexFormatter.h"

#include "qzSystem/search/CqzSearchMarkupNumber.h"

#include <gtest/gtest.h>

namespace
{

TEST(HexFormatterTest, ReadsDigitsWithinTheDataWidth)
{
    CqzUInt value(7);
    EXPECT_TRUE(CqzHexFormatter(8).TextToValue(L"0Fe", value));
    EXPECT_EQ(CqzUInt(0xfe), value);
    EXPECT_FALSE(CqzHexFormatter(8).TextToValue(L"1fe", value)); // nine bits
    EXPECT_TRUE(CqzHexFormatter(9).TextToValue(L"1fe", value));
    EXPECT_TRUE(CqzHexFormatter(0).TextToValue(CString(L'f', 32), value));
    EXPECT_EQ(~CqzUInt(), value);
    EXPECT_FALSE(CqzHexFormatter(0).TextToValue(L"1" + CString(L'0', 32), value));
}

TEST(HexFormatterTest, RefusesTextThatIsNotHexadecimalAndKeepsTheValue)
{
    std::uint64_t value = 42;
    for (const wchar_t* text : {L"", L"g0", L"0x1", L" 1", L"1 ", L"-1"})
    {
        EXPECT_FALSE(CqzHexFormatter().TextToValue(text, value)) << CString(text).ToUtf8();
        EXPECT_EQ(42u, value);
    }
    EXPECT_FALSE(CqzHexFormatter().TextToValue(L"10000000000000000", value)); // 65 bits
}

TEST(HexFormatterTest, WritesLowerCaseDigitsPaddedToTheWidth)
{
    EXPECT_EQ(L"0", CqzHexFormatter().ValueToText(CqzUInt()));
    EXPECT_EQ(L"abc", CqzHexFormatter().ValueToText(CqzUInt(0xabc)));
    EXPECT_EQ(L"00ff", CqzHexFormatter(16).ValueToText(CqzUInt(0xff)));
    EXPECT_EQ(L"1ff", CqzHexFormatter(9).ValueToText(CqzUInt(0xfff)));
    EXPECT_EQ(CString(L'f', 32), CqzHexFormatter().ValueToText(~CqzUInt()));
}

TEST(MarkupNumberTest, RefusesMalformedNumbersAndKeepsTheValues)
{
    for (const wchar_t* text : {L"", L"h", L"d", L"b", L"12", L"x12", L"h-1", L"d1.5", L"b2", L"hx",
                                L"d340282366920938463463374607431768211456"})
    {
        CqzUInt value(3), dontCare(4);
        EXPECT_FALSE(CqzSearchMarkupNumber::Parse(text, value, dontCare)) << CString(text).ToUtf8();
        EXPECT_EQ(CqzUInt(3), value);
        EXPECT_EQ(CqzUInt(4), dontCare);
    }
    const CString bits129 = L"b1" + CString(L'0', 128), careless129 = L"bx" + CString(L'0', 128);
    CqzUInt value, dontCare;
    EXPECT_FALSE(CqzSearchMarkupNumber::Parse(bits129, value, dontCare));
    EXPECT_FALSE(CqzSearchMarkupNumber::Parse(careless129, value, dontCare));
    EXPECT_FALSE(CqzSearchMarkupNumber::Parse(L"b1x", value)); // no don't-care bits here
    EXPECT_TRUE(CqzSearchMarkupNumber::Parse(L"b11", value));
    EXPECT_EQ(CqzUInt(3), value);
}

} // namespace
