#include "qzSystem/format/CqzHexFormatter.h"

#include "qzSystem/search/CqzSearchMarkupNumber.h"

#include <gtest/gtest.h>

namespace
{

TEST(HexFormatterTest, ReadsDigitsWithinTheDataWidthAndRefusesOtherTextKeepingTheValue)
{
    CqzUInt value(7);
    EXPECT_TRUE(CqzHexFormatter(8).TextToValue(L"0Fe", value));
    EXPECT_EQ(CqzUInt(0xfe), value);
    EXPECT_FALSE(CqzHexFormatter(8).TextToValue(L"1fe", value)); // nine bits
    EXPECT_TRUE(CqzHexFormatter(9).TextToValue(L"1fe", value));
    EXPECT_TRUE(CqzHexFormatter(0).TextToValue(CString(L'f', 32), value));
    EXPECT_EQ(~CqzUInt(), value);
    EXPECT_FALSE(CqzHexFormatter(0).TextToValue(L"1" + CString(L'0', 32), value));

    std::uint64_t number = 42;
    for (const wchar_t* text : {L"", L"g0", L"0x1", L" 1", L"1 ", L"-1"})
    {
        EXPECT_FALSE(CqzHexFormatter().TextToValue(text, number)) << CString(text).ToUtf8();
        EXPECT_EQ(42u, number);
    }
    EXPECT_FALSE(CqzHexFormatter().TextToValue(L"10000000000000000", number)); // 65 bits
}

TEST(HexFormatterTest, WritesLowerCaseDigitsPaddedToTheWidth)
{
    EXPECT_EQ(L"0", CqzHexFormatter().ValueToText(CqzUInt()));
    EXPECT_EQ(L"abc", CqzHexFormatter().ValueToText(CqzUInt(0xabc)));
    EXPECT_EQ(L"00ff", CqzHexFormatter(16).ValueToText(CqzUInt(0xff)));
    EXPECT_EQ(L"1ff", CqzHexFormatter(9).ValueToText(CqzUInt(0xfff)));
    EXPECT_EQ(CString(L'f', 32), CqzHexFormatter().ValueToText(~CqzUInt()));
}

TEST(MarkupNumberTest, ReadsTheThreeFormsUpTo128BitsAndWritesHex)
{
    const struct
    {
        CString text;
        CqzUInt value, dontCare;
    } cases[] = {{L"hFe", CqzUInt(0xfe), CqzUInt()},
                 {L"D255", CqzUInt(255), CqzUInt()},
                 {L"b1x0", CqzUInt(4), CqzUInt(2)},
                 {L"d340282366920938463463374607431768211455", ~CqzUInt(), CqzUInt()},
                 {L"h" + CString(L'0', 40) + L"1", CqzUInt(1), CqzUInt()},
                 {L"bx" + CString(L'0', 126) + L"1", CqzUInt(0, 1), CqzUInt(1ull << 63, 0)}};
    for (const auto& c : cases)
    {
        CqzUInt value(3), dontCare(4);
        ASSERT_TRUE(CqzSearchMarkupNumber::Parse(c.text, value, dontCare)) << c.text.ToUtf8();
        EXPECT_EQ(c.value, value) << c.text.ToUtf8();
        EXPECT_EQ(c.dontCare, dontCare) << c.text.ToUtf8();
    }
    EXPECT_EQ(L"h0", CqzSearchMarkupNumber::Format(CqzUInt()));
    EXPECT_EQ(L"hff", CqzSearchMarkupNumber::Format(CqzUInt(255)));
    EXPECT_EQ(L"h" + CString(L'f', 32), CqzSearchMarkupNumber::Format(~CqzUInt()));
}

TEST(MarkupNumberTest, RefusesMalformedNumbersAndKeepsTheValues)
{
    for (const wchar_t* text :
         {L"", L"h", L"d", L"b", L"12", L"x12", L"q12", L"h-1", L"hfg", L"d1.5", L"d12a", L"b2",
          L"b102", L"hx", L"d340282366920938463463374607431768211456"})
    {
        CqzUInt value(3), dontCare(4);
        EXPECT_FALSE(CqzSearchMarkupNumber::Parse(text, value, dontCare)) << CString(text).ToUtf8();
        EXPECT_EQ(CqzUInt(3), value);
        EXPECT_EQ(CqzUInt(4), dontCare);
    }
    CqzUInt value, dontCare;
    for (const CString& text : {L"b1" + CString(L'0', 128), L"bx" + CString(L'0', 128),
                                L"h1" + CString(L'0', 32)}) // 129 bits
        EXPECT_FALSE(CqzSearchMarkupNumber::Parse(text, value, dontCare)) << text.ToUtf8();
    EXPECT_FALSE(CqzSearchMarkupNumber::Parse(L"b1x", value)); // no don't-care bits here
    EXPECT_TRUE(CqzSearchMarkupNumber::Parse(L"b11", value));
    EXPECT_EQ(CqzUInt(3), value);
}

} // namespace
