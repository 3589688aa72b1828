#include "mfc/CString.h"

#include <gtest/gtest.h>

namespace
{


template <typename... Args> CString Fmt(const wchar_t* f, const Args&... args)
{
    CString s;
    s.Format(f, args...);
    return s;
}

TEST(CStringFormat, WideAndNarrowTextArguments)
{
    EXPECT_EQ(Fmt(L"Created by %s", CString(L"Bus decoder")), L"Created by Bus decoder");
    EXPECT_EQ(Fmt(L"%s/%s", L"wide", "narrow"), L"wide/narrow");
    EXPECT_EQ(Fmt(L"[%5s][%-5s][%.2s]", L"ab", L"cd", L"xyz"), L"[   ab][cd   ][xy]");
}

TEST(CStringFormat, IntegersKeepLeadingZerosAndWidths)
{
    EXPECT_EQ(Fmt(L"h%06x", 0x0000FFu), L"h0000ff");
    EXPECT_EQ(Fmt(L"h%06x", 0xABCDEF12u), L"habcdef12");
    EXPECT_EQ(Fmt(L"%d|%u|%X|%lld", -5, 7u, 255, -1234567890123LL), L"-5|7|FF|-1234567890123");
    EXPECT_EQ(Fmt(L"%*d|%c|%%|%.3f", 4, 7, L'z', 1.5), L"   7|z|%|1.500");
}

TEST(CStringFormat, MissingArgumentsAndUnknownConversionsDoNotCrash)
{
    EXPECT_EQ(Fmt(L"%d and %s"), L" and ");
    EXPECT_EQ(Fmt(L"100%"), L"100%");
    EXPECT_EQ(Fmt(L"%y", 3), L"%y");
}

TEST(CString, SubstringsClampTheirArguments)
{
    CString s(L"abcdef");
    EXPECT_EQ(s.Left(2), L"ab");
    EXPECT_EQ(s.Left(99), L"abcdef");
    EXPECT_EQ(s.Mid(4), L"ef");
    EXPECT_EQ(s.Mid(2, 2), L"cd");
    EXPECT_EQ(s.Mid(-3, 2), L"ab");
    EXPECT_EQ(s.Mid(10), L"");
    EXPECT_EQ(s.Right(2), L"ef");
    EXPECT_EQ(s.Right(-1), L"");
}

TEST(CString, FindTrimAndCase)
{
    CString s(L"  Hello World \t");
    EXPECT_EQ(s.Find(L"World"), 8);
    EXPECT_EQ(s.Find(L"World", 9), -1);
    EXPECT_EQ(s.Find(L'o', 7), 9);
    EXPECT_EQ(s.Find(L"x", 100), -1);
    s.Trim();
    EXPECT_EQ(s, L"Hello World");
    EXPECT_EQ(s.MakeLower(), L"hello world");
    EXPECT_EQ(CString(L"ABC").CompareNoCase(L"abc"), 0);
    EXPECT_LT(CString(L"abc").Compare(L"abd"), 0);
    EXPECT_EQ(CString(L"a,b,,c").Replace(L",", L";;"), 3);
}

TEST(CString, Utf8RoundTripAndMalformedInput)
{
    const std::string text = "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC \xF0\x9F\x98\x80";
    CString wide = CString::FromUtf8(text);
    EXPECT_EQ(wide.GetLength(), 9);
    EXPECT_EQ(wide.ToUtf8(), text);
    // A lone continuation byte, a truncated sequence and an overlong form each give U+FFFD.
    EXPECT_EQ(CString::FromUtf8("a\x80" "b"), CString(L"a\xFFFD" L"b"));
    EXPECT_EQ(CString::FromUtf8("\xE2\x82"), CString(L"\xFFFD\xFFFD"));
    EXPECT_EQ(CString::FromUtf8("\xC0\xAF"), CString(L"\xFFFD\xFFFD"));
}

} // namespace
