// Adding elements and setting attributes: the exact text written and the index kept in step.

#include "markup/CqzXMLParser.h"

#include "XMLTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

using xmltest::IndexMatchesText;

TEST(XMLEdit, FilterReplyIsWrittenAsThreeLines)
{
    CqzXMLParser xml;
    ASSERT_TRUE(xml.AppendElement(L"Filter"));
    ASSERT_TRUE(xml.SetAttribute(L"Enabled", true));
    ASSERT_TRUE(xml.AppendChild(L"FilterExpression"));
    ASSERT_TRUE(xml.SetChildAttribute(L"Name", CString(L"a<b")));
    EXPECT_EQ(xml.GetDocument(), L"<Filter Enabled='T'>\r\n"
                                 L"<FilterExpression Name='a&lt;b'/>\r\n"
                                 L"</Filter>\r\n");
    EXPECT_TRUE(IndexMatchesText(xml));
    EXPECT_EQ(xml.GetTag(), L"Filter");
    EXPECT_EQ(xml.GetChildTag(), L"FilterExpression");
    EXPECT_EQ(xml.GetChildAttribute(L"Name"), L"a<b");
}

TEST(XMLEdit, OnlyOneRootElement)
{
    CqzXMLParser xml(L"<a/>");
    EXPECT_FALSE(xml.AppendElement(L"b"));
    ASSERT_TRUE(xml.FindNext(L"a"));
    EXPECT_FALSE(xml.AppendElement(L"b")) << "a sibling of the root is refused too";
    EXPECT_EQ(xml.GetDocument(), L"<a/>");
    EXPECT_EQ(xml.GetTag(), L"a");
}

TEST(XMLEdit, AppendingIntoAnEmptyParentOpensItUp)
{
    CqzXMLParser xml(L"<r>\r\n  <p x='1' />\r\n</r>");
    ASSERT_TRUE(xml.FindNextChild(L"p"));
    ASSERT_TRUE(xml.Descend()); // main p
    ASSERT_TRUE(xml.Descend()); // parent p, no main
    ASSERT_TRUE(xml.AppendElement(L"c", L"v"));
    EXPECT_EQ(xml.GetDocument(), L"<r>\r\n  <p x='1' >\r\n<c>v</c>\r\n</p>\r\n</r>");
    EXPECT_TRUE(IndexMatchesText(xml));
    ASSERT_TRUE(xml.Ascend());
    EXPECT_EQ(xml.GetTag(), L"p");
    EXPECT_EQ(xml.GetAttribute(L"x"), L"1");
    EXPECT_EQ(xml.GetChildValue(), L"v");
}

TEST(XMLEdit, AnEmptyParentEndingInTwoSlashesStaysOpenWhenReadBack)
{
    CqzXMLParser xml(L"<a x//>");
    ASSERT_TRUE(xml.FindNext());
    ASSERT_TRUE(xml.AppendChild(L"c"));
    EXPECT_EQ(xml.GetDocument(), L"<a x/ >\r\n<c/>\r\n</a>");
    EXPECT_TRUE(IndexMatchesText(xml));
}

TEST(XMLEdit, AnElementNamedGreaterThanTakesNoAttributes)
{
    CqzXMLParser xml(L"<></'>'>");
    ASSERT_TRUE(xml.FindNext());
    EXPECT_EQ(xml.GetTag(), L">");
    EXPECT_FALSE(xml.SetAttribute(L"x", true));
    EXPECT_EQ(xml.GetDocument(), L"<></'>'>");
}

TEST(XMLEdit, ChildrenGoAfterTheCurrentChildOrAtTheEnd)
{
    CqzXMLParser xml(L"<r><a/><b/></r>");
    ASSERT_TRUE(xml.FindNextChild(L"a"));
    ASSERT_TRUE(xml.AppendChild(L"x"));
    EXPECT_EQ(xml.GetChildTag(), L"x");
    xml.ClearChild();
    ASSERT_TRUE(xml.AppendChild(L"y"));
    EXPECT_EQ(xml.GetDocument(), L"<r><a/><x/>\r\n<b/><y/>\r\n</r>");
    EXPECT_TRUE(IndexMatchesText(xml));
}

TEST(XMLEdit, InsertChildGoesBeforeTheCurrentChildOrFirst)
{
    CqzXMLParser xml(L"<r>\r\n<a/>\r\n<b/>\r\n</r>");
    ASSERT_TRUE(xml.FindNextChild(L"b"));
    ASSERT_TRUE(xml.InsertChild(L"x"));
    xml.ClearChild();
    ASSERT_TRUE(xml.InsertChild(L"y", L""));
    EXPECT_EQ(xml.GetDocument(), L"<r>\r\n<y></y>\r\n<a/>\r\n<x/>\r\n<b/>\r\n</r>");
    EXPECT_TRUE(IndexMatchesText(xml));
}

TEST(XMLEdit, ChildOfAnElementWithContentButNoChildrenGoesBeforeItsEndTag)
{
    CqzXMLParser xml(L"<r>text</r>");
    ASSERT_TRUE(xml.FindNext());
    ASSERT_TRUE(xml.AppendChild(L"c"));
    EXPECT_EQ(xml.GetDocument(), L"<r>text<c/>\r\n</r>");
    EXPECT_TRUE(IndexMatchesText(xml));
}

TEST(XMLEdit, EditsAreRefusedWithoutAMainElement)
{
    CqzXMLParser xml(L"<r/>");
    EXPECT_FALSE(xml.AppendChild(L"c"));
    EXPECT_FALSE(xml.InsertChild(L"c"));
    EXPECT_FALSE(xml.SetAttribute(L"a", true));
    EXPECT_FALSE(xml.SetChildAttribute(L"a", true));
    EXPECT_EQ(xml.GetAttribute(L"a"), L"");
    EXPECT_EQ(xml.GetDocument(), L"<r/>");
}

class InvalidNameTest : public testing::TestWithParam<const wchar_t*>
{
};

TEST_P(InvalidNameTest, IsRefusedForElementsAndAttributes)
{
    CqzXMLParser xml;
    EXPECT_FALSE(xml.AppendElement(GetParam()));
    ASSERT_TRUE(xml.AppendElement(L"r"));
    EXPECT_FALSE(xml.AppendChild(GetParam()));
    EXPECT_FALSE(xml.SetAttribute(GetParam(), L"v"));
    EXPECT_EQ(xml.GetDocument(), L"<r/>\r\n");
}

INSTANTIATE_TEST_SUITE_P(Markup, InvalidNameTest,
                         testing::Values(L"", L"a b", L"a>b", L"<a", L"a/b", L"a=b", L"'a", L"a\"",
                                         L"?a", L"!a", L"a\\b", L"a\tb"));

// Growth of the element table past its initial size and of the text past its storage.
TEST(XMLEdit, ManyChildrenKeepTheIndexInStep)
{
    CqzXMLParser xml(L"<r/>");
    ASSERT_TRUE(xml.FindNext());
    for (int i = 0; i < 300; ++i)
    {
        ASSERT_TRUE(i % 3 == 0 ? xml.InsertChild(L"c", CString(std::to_wstring(i)))
                               : xml.AppendChild(L"c", CString(std::to_wstring(i))));
        ASSERT_TRUE(xml.SetChildAttribute(L"n", static_cast<std::int32_t>(i)));
    }
    EXPECT_TRUE(IndexMatchesText(xml));
    xml.ClearChild();
    int count = 0;
    while (xml.FindNextChild(L"c"))
    {
        std::int32_t n = -1;
        ASSERT_TRUE(xml.GetChildAttribute(L"n", n));
        EXPECT_EQ(xml.GetChildValue(), CString(std::to_wstring(n)));
        ++count;
    }
    EXPECT_EQ(count, 300);
}

TEST(XMLEdit, ValuesAreEscapedAndReadBack)
{
    CqzXMLParser xml;
    const CString value = CString(L"x<y & 'z' \"q\" ]]> ") + CString(L'\0') + L"end";
    ASSERT_TRUE(xml.AppendElement(L"v", value));
    EXPECT_EQ(xml.GetValue(), value);
    EXPECT_NE(xml.GetDocument().Find(L"x&lt;y &amp; 'z' \"q\" ]]&gt; "), -1);
    EXPECT_TRUE(IndexMatchesText(xml));
}

class AttributeTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(xml.SetDocument(L"<r a='1' b = \"two\" c=3 Enabled2='x' d='&amp;lt;&#65;&bogus;"
                                    L"&lt;&gt;&amp;&apos;&quot;'><e/></r>"));
        ASSERT_TRUE(xml.FindNextChild(L"e"));
    }
    CqzXMLParser xml;
};

TEST_F(AttributeTest, ReadsQuotedValuesOnly)
{
    EXPECT_EQ(xml.GetAttribute(L"a"), L"1");
    EXPECT_EQ(xml.GetAttribute(L"b"), L"two");
    EXPECT_EQ(xml.GetAttribute(L"c"), L"") << "unquoted values are not attributes";
    std::int32_t number = 7;
    EXPECT_FALSE(xml.GetAttribute(L"c", number));
    EXPECT_EQ(number, 7);
    EXPECT_EQ(xml.GetAttribute(L"Enabled"), L"") << "a longer name is a different attribute";
    EXPECT_EQ(xml.GetAttribute(L"Enabled2"), L"x");
    // One level of the five predefined entities is decoded, nothing else.
    EXPECT_EQ(xml.GetAttribute(L"d"), L"&lt;&#65;&bogus;<>&'\"");
}

TEST_F(AttributeTest, ReplacingKeepsTheQuotesAndAddingWritesApostrophes)
{
    ASSERT_TRUE(xml.SetAttribute(L"b", L"it's \"3\""));
    ASSERT_TRUE(xml.SetAttribute(L"a", false));
    ASSERT_TRUE(xml.SetAttribute(L"new", true));
    ASSERT_TRUE(xml.SetChildAttribute(L"k", L"v"));
    const CString& text = xml.GetDocument();
    EXPECT_NE(text.Find(L"<r a='F' b = \"it&apos;s &quot;3&quot;\" c=3"), -1);
    EXPECT_NE(text.Find(L" new='T'><e k='v'/></r>"), -1);
    EXPECT_EQ(xml.GetAttribute(L"b"), L"it's \"3\"");
    bool flag = true;
    ASSERT_TRUE(xml.GetAttribute(L"a", flag));
    EXPECT_FALSE(flag);
    ASSERT_TRUE(xml.GetAttribute(L"new", flag));
    EXPECT_TRUE(flag);
    ASSERT_TRUE(xml.SetAttribute(L"f", L"t"));
    ASSERT_TRUE(xml.GetAttribute(L"f", flag));
    EXPECT_FALSE(flag) << "a bool is true exactly for 'T'";
    EXPECT_EQ(xml.GetChildAttribute(L"k"), L"v");
    EXPECT_TRUE(IndexMatchesText(xml));
}

struct NumberCase
{
    const wchar_t* text;
    std::int32_t int32;
    std::uint32_t uint32;
    std::int64_t int64;
    std::uint64_t uint64;
};

class NumberTest : public testing::TestWithParam<NumberCase>
{
};

TEST_P(NumberTest, ReadsLeadingDecimalDigitsSaturated)
{
    CqzXMLParser xml(L"<r/>");
    ASSERT_TRUE(xml.FindNext());
    ASSERT_TRUE(xml.SetAttribute(L"n", GetParam().text));
    std::int32_t i32 = 0;
    std::uint32_t u32 = 0;
    std::int64_t i64 = 0;
    std::uint64_t u64 = 0;
    ASSERT_TRUE(xml.GetAttribute(L"n", i32) && xml.GetAttribute(L"n", u32) &&
                xml.GetAttribute(L"n", i64) && xml.GetAttribute(L"n", u64));
    EXPECT_EQ(i32, GetParam().int32);
    EXPECT_EQ(u32, GetParam().uint32);
    EXPECT_EQ(i64, GetParam().int64);
    EXPECT_EQ(u64, GetParam().uint64);
}

INSTANTIATE_TEST_SUITE_P(
    Markup, NumberTest,
    testing::Values(NumberCase{L"42", 42, 42, 42, 42}, NumberCase{L" +7x", 7, 7, 7, 7},
                    NumberCase{L"-5", -5, 0, -5, 0}, NumberCase{L"abc", 0, 0, 0, 0},
                    NumberCase{L"4294967296", 2147483647, 4294967295u, 4294967296, 4294967296u},
                    NumberCase{L"-2147483649", -2147483647 - 1, 0, -2147483649LL, 0},
                    NumberCase{L"99999999999999999999", 2147483647, 4294967295u,
                               9223372036854775807LL, 18446744073709551615ULL},
                    NumberCase{L"-9223372036854775808", -2147483647 - 1, 0,
                               -9223372036854775807LL - 1, 0}));

TEST(XMLEdit, IntegersAreWrittenInDecimal)
{
    CqzXMLParser xml;
    ASSERT_TRUE(xml.AppendElement(L"r"));
    ASSERT_TRUE(xml.SetAttribute(L"a", std::int32_t{-12}));
    ASSERT_TRUE(xml.SetAttribute(L"b", std::uint32_t{4000000000u}));
    ASSERT_TRUE(xml.SetAttribute(L"c", std::int64_t{-9000000000}));
    ASSERT_TRUE(xml.SetAttribute(L"d", std::uint64_t{18446744073709551615ULL}));
    EXPECT_EQ(xml.GetDocument(),
              L"<r a='-12' b='4000000000' c='-9000000000' d='18446744073709551615'/>\r\n");
}

} // namespace
