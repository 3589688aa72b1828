// Parsing: error texts, element offsets, skipped nodes, depth, and a randomised robustness run.

#include "markup/CqzXMLIndex.h"
#include "markup/CqzXMLParser.h"

#include "XMLTestSupport.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>

namespace
{

struct ParseErrorCase
{
    const wchar_t* text;
    const wchar_t* error;
};

class ParseErrorTest : public testing::TestWithParam<ParseErrorCase>
{
};

TEST_P(ParseErrorTest, RefusesWithItsErrorTextAndLeavesAnEmptyDocument)
{
    CqzXMLParser xml;
    EXPECT_FALSE(xml.SetDocument(GetParam().text));
    EXPECT_EQ(xml.GetParseError(), GetParam().error);
    EXPECT_FALSE(xml.HasRoot());
    EXPECT_TRUE(xml.GetDocument().IsEmpty());
    EXPECT_FALSE(xml.FindNext());
}

INSTANTIATE_TEST_SUITE_P(
    Markup, ParseErrorTest,
    testing::Values(ParseErrorCase{L"<a><b></a>", L"End tag does not correspond to b"},
                    ParseErrorCase{L"<a x='1'>", L"Element tag not found"},
                    ParseErrorCase{L"just text", L"Element tag not found"},
                    ParseErrorCase{L"<a>text", L"Element tag not found"},
                    ParseErrorCase{L"<", L"Abrupt end within tag"},
                    ParseErrorCase{L"<a>< \r\n\t", L"Abrupt end within tag"},
                    ParseErrorCase{L"<'a'/>", L"Tag starts with quote"},
                    ParseErrorCase{L"<a>< \"b\"/></a>", L"Tag starts with quote"},
                    ParseErrorCase{L"<?", L"Invalid node"}, ParseErrorCase{L"<!", L"Invalid node"},
                    ParseErrorCase{L"<?xml version='1.0'", L"Invalid node"},
                    ParseErrorCase{L"<?>", L"Invalid node"},
                    ParseErrorCase{L"<!-- open", L"Invalid node"},
                    ParseErrorCase{L"<!-->", L"Invalid node"},
                    ParseErrorCase{L"<![CDATA[ x ]]", L"Invalid node"},
                    ParseErrorCase{L"<!DOCTYPE a [ <!ELEMENT a ANY> ", L"Invalid node"},
                    ParseErrorCase{L"<!DOCTYPE a '>", L"Invalid node"},
                    ParseErrorCase{L"<a", L"End of tag not found"},
                    ParseErrorCase{L"<a x='1'", L"End of tag not found"},
                    ParseErrorCase{L"</a>", L"Root element not found"},
                    ParseErrorCase{L"<a></b>", L"End tag does not correspond to a"},
                    ParseErrorCase{L"<ab></a>", L"End tag does not correspond to ab"},
                    ParseErrorCase{L"<a></ab>", L"End tag does not correspond to a"},
                    ParseErrorCase{L"<a></a", L"End tag not completed for element a"},
                    ParseErrorCase{L"<a></>", L"End tag not completed for element a"},
                    ParseErrorCase{L"<a><b/></a", L"End tag not completed for element a"},
                    ParseErrorCase{L"<a></a '>'", L"End tag not completed for element a"}));

class ParseTest : public testing::Test
{
protected:
    // Parses text into a bare index, failing the test on a parse error.
    void Index(const std::wstring& source)
    {
        text = source;
        CString error;
        ASSERT_TRUE(index.Parse(text, error)) << error.ToUtf8();
    }
    // The record of the element whose start tag begins with opening.
    int RecordAt(const std::wstring& opening) const
    {
        const int at = static_cast<int>(text.find(opening));
        for (int i = 1; index.Contains(i); ++i)
            if (index[i].startLeft == at)
                return i;
        return 0;
    }
    int Offset(const std::wstring& part, std::size_t from = 0) const
    {
        return static_cast<int>(text.find(part, from));
    }

    std::wstring text;
    CqzXMLIndex index;
};

TEST_F(ParseTest, RecordsHoldTheOffsetsOfBothTags)
{
    Index(L"<a x='1'>t<b/><c >u</c ></a>");
    const int a = RecordAt(L"<a"), b = RecordAt(L"<b"), c = RecordAt(L"<c");
    ASSERT_EQ(index.Root(), a);
    EXPECT_EQ(index[a].startRight, Offset(L">"));
    EXPECT_EQ(index[a].endLeft, Offset(L"</a>"));
    EXPECT_EQ(index[a].endRight, static_cast<int>(text.size()) - 1);
    // The empty element: end left is its "/", end right its ">".
    EXPECT_EQ(index[b].endLeft, Offset(L"/>"));
    EXPECT_EQ(index[b].startRight, Offset(L"/>") + 1);
    EXPECT_EQ(index[b].endRight, index[b].startRight);
    EXPECT_EQ(index[c].startRight, Offset(L">u"));
    EXPECT_EQ(index[c].endLeft, Offset(L"</c"));
    EXPECT_EQ(index[c].endRight, Offset(L"></a>"));
    EXPECT_EQ(index[a].firstChild, b);
    EXPECT_EQ(index[b].nextSibling, c);
    EXPECT_EQ(index[c].nextSibling, 0);
    EXPECT_EQ(index[b].parent, a);
    EXPECT_EQ(index[a].parent, 0);
}

TEST_F(ParseTest, SkipsDeclarationsCommentsAndCDATAWithoutRecords)
{
    Index(L"<?xml version='1.0'?>\r\n<!-- <x> -->\r\n"
          L"<!DOCTYPE a [ <!ELEMENT a ANY> <!ATTLIST a v CDATA '>'> ]>\r\n"
          L"<a><![CDATA[<y>]]><?pi <z>?><!-- <w/> --><b/></a> trailing < junk");
    const int a = RecordAt(L"<a>");
    ASSERT_EQ(index.Root(), a);
    EXPECT_EQ(index[a].firstChild, RecordAt(L"<b/>"));
    EXPECT_EQ(index[RecordAt(L"<b/>")].nextSibling, 0);
    EXPECT_EQ(index[a].endLeft, Offset(L"</a>"));
    EXPECT_FALSE(index.Contains(3)) << "only a and b are elements";
}

TEST_F(ParseTest, StartTagEndsAtTheFirstGreaterThanEvenInsideQuotes)
{
    // The quote is not considered: the start tag stops inside the value, whose rest is text.
    Index(L"<a v='x>y'></a>");
    EXPECT_EQ(index[index.Root()].startRight, Offset(L">"));
    CqzXMLParser xml(text);
    xml.FindNext();
    EXPECT_EQ(xml.GetAttribute(L"v"), L"") << "an unterminated value is not an attribute";
    EXPECT_EQ(xml.GetValue(), L"y'>");
}

TEST(ParseDocument, EmptyTextIsNotWellFormedAndHasNoError)
{
    CqzXMLParser xml(L"<broken");
    ASSERT_FALSE(xml.GetParseError().IsEmpty());
    EXPECT_FALSE(xml.SetDocument(L""));
    EXPECT_TRUE(xml.GetParseError().IsEmpty());
    EXPECT_TRUE(xml.SetDocument(L"<a/>"));
    EXPECT_TRUE(xml.GetParseError().IsEmpty());
    EXPECT_TRUE(xml.HasRoot());
}

TEST(ParseDocument, EndTagsAllowWhitespaceAndIgnoreExtraTokens)
{
    CqzXMLParser xml(L"<a>< / a extra ></a >");
    ASSERT_TRUE(xml.HasRoot()) << xml.GetParseError().ToUtf8();
}

TEST(ParseDocument, CopiesAreIndependent)
{
    CqzXMLParser xml(L"<a/>");
    CqzXMLParser copy(xml);
    ASSERT_TRUE(copy.FindNext(L"a"));
    ASSERT_TRUE(copy.AppendChild(L"b"));
    EXPECT_EQ(xml.GetDocument(), L"<a/>");
    xml = copy;
    EXPECT_EQ(xml.GetDocument(), copy.GetDocument());
    EXPECT_EQ(xml.GetPosition(), copy.GetPosition());
}

// Nesting is read without recursion, so depth is limited by memory only.
TEST(ParseDocument, MillionLevelsOfNesting)
{
    constexpr int depth = 1000000;
    std::wstring text;
    for (int i = 0; i < depth; ++i)
        text += L"<a>";
    text += L"<leaf/>";
    CqzXMLParser unclosed((CString(text)));
    EXPECT_EQ(unclosed.GetParseError(), L"Element tag not found");
    for (int i = 0; i < depth; ++i)
        text += L"</a>";
    CqzXMLParser xml((CString(text)));
    ASSERT_TRUE(xml.HasRoot()) << xml.GetParseError().ToUtf8();
    ASSERT_TRUE(xml.FindNext(L"a"));
    for (int i = 1; i < depth; ++i)
        ASSERT_TRUE(xml.FindNextChild(L"a") && xml.Descend()) << "level " << i;
    EXPECT_TRUE(xml.FindNextChild(L"leaf"));
    text.replace(text.size() - 4, 4, L"</b>");
    EXPECT_EQ(CqzXMLParser(CString(text)).GetParseError(), L"End tag does not correspond to a");
}

// Random short texts over the markup's special characters: every text either parses, and then
// survives an edit with its index in step, or is refused with one of the parse's error texts.
TEST(ParseDocument, RandomTextsNeverBreakTheParser)
{
    const std::set<std::wstring> errors = {L"Element tag not found", L"Abrupt end within tag",
                                           L"Tag starts with quote", L"Invalid node",
                                           L"End of tag not found",  L"Root element not found"};
    const std::wstring alphabet = L"<<<>>//?!?!--[]'\"= \r\nabx&;";
    std::mt19937 random(12345);
    int parsed = 0;
    for (int round = 0; round < 20000; ++round)
    {
        std::wstring text;
        const int length = static_cast<int>(random() % 24);
        for (int i = 0; i < length; ++i)
            text += alphabet[random() % alphabet.size()];
        CqzXMLParser xml((CString(text)));
        if (!xml.HasRoot())
        {
            const std::wstring error = xml.GetParseError().Str();
            const bool known = errors.count(error) != 0 || error.starts_with(L"End tag ") ||
                               (text.empty() && error.empty());
            ASSERT_TRUE(known) << "unexpected error for text of length " << text.size();
            continue;
        }
        ++parsed;
        xml.FindNext();
        ASSERT_TRUE(xml.SetAttribute(L"n", L"<'\">"));
        ASSERT_TRUE(xml.AppendChild(L"c", L"v&"));
        ASSERT_TRUE(xml.InsertChild(L"d"));
        ASSERT_TRUE(xmltest::IndexMatchesText(xml)) << "round " << round;
    }
    EXPECT_GT(parsed, 100) << "the alphabet should produce some well-formed texts";
}

} // namespace
