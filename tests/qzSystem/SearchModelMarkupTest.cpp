#include "qzSystem/search/CqzSearchModel.h"

#include "common/ManagerReset.h"
#include "common/ParamName.h"
#include "markup/CqzXMLParser.h"
#include "qzSystem/search/CqzSearchMarkupReader.h"
#include "qzSystem/xml/CqzXMLParserSavePos.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

// The markup of one expression element without its line breaks.
std::wstring Compact(const CString& text)
{
    std::wstring out;
    for (wchar_t ch : text.Str())
        if (ch != L'\r' && ch != L'\n')
            out += ch;
    return out;
}

class SearchModelMarkupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetManagers();
        AddTestLabel(L"A", eqzLabelDigital, 8);
        AddTestLabel(L"CLK", eqzLabelDigital, 1);
        AddTestLabel(L"WIDE", eqzLabelIntegral, 128);
        AddTestLabel(L"MSG", eqzLabelString, 0);
    }

    // Writes the model inside a fresh "FilterExpression" and returns that element's content.
    static std::wstring Write(const CqzSearchModel& model)
    {
        CqzXMLParser outer;
        outer.AppendElement(L"Filter");
        outer.AppendChild(L"FilterExpression");
        const SqzXMLParserPos before = outer.GetPosition();
        EXPECT_TRUE(model.QueryCommand(L"GetSetup", outer));
        EXPECT_EQ(before, outer.GetPosition());
        std::wstring text = Compact(outer.GetDocument());
        const std::wstring head = L"<Filter><FilterExpression>",
                           tail = L"</FilterExpression></Filter>";
        EXPECT_EQ(0u, text.find(head));
        return text.substr(head.size(), text.size() - head.size() - tail.size());
    }

    // Reads `search` (the content of a FilterExpression) into the model.
    static bool Read(CqzSearchModel& model, const std::wstring& search)
    {
        CqzXMLParser xml(CString(L"<FilterExpression>" + search + L"</FilterExpression>"));
        xml.FindNext(L"FilterExpression");
        return model.DoCommands(xml);
    }
};

// A search read from `events` (inside "<Search" flags ">") and written back as `written`
// (the events themselves when null); the written flags are " Enabled='T'" unless given.
struct SqzRoundTrip
{
    const char* name;
    const wchar_t* events;
    const wchar_t* written = nullptr;
    const wchar_t* flags = nullptr;
};

class SearchRoundTripTest : public SearchModelMarkupTest,
                            public ::testing::WithParamInterface<SqzRoundTrip>
{
};

TEST_P(SearchRoundTripTest, ReadsAndWritesBackTheCanonicalText)
{
    const SqzRoundTrip& c = GetParam();
    const std::wstring flags = c.flags ? c.flags : L"";
    CqzSearchModel model;
    ASSERT_TRUE(Read(model, L"<Search" + flags + L">" + c.events + L"</Search>"));
    const std::wstring written = Write(model);
    EXPECT_EQ(L"<Search" + (c.flags ? flags : L" Enabled='T'") + L">" +
                  (c.written ? c.written : c.events) + L"</Search>",
              written);
    CqzSearchModel again;
    ASSERT_TRUE(Read(again, written));
    EXPECT_EQ(written, Write(again));
}

INSTANTIATE_TEST_SUITE_P(
    Vocabulary, SearchRoundTripTest,
    ::testing::Values(
        SqzRoundTrip{"Equal", L"<Event Label='A' Op='Equal' Value='h30' DontCare='h0F'/>",
                     L"<Event Label='A' Op='Equal' Value='h30' DontCare='hf'/>"},
        SqzRoundTrip{"NotEqual", L"<Event Label='A' Op='NotEqual' Value='d255'/>",
                     L"<Event Label='A' Op='NotEqual' Value='hff'/>"},
        SqzRoundTrip{"Less", L"<Event Label='A' Op='Less' Value='b1x0'/>",
                     L"<Event Label='A' Op='Less' Value='h4' DontCare='h2'/>"},
        SqzRoundTrip{"Greater", L"<Event Label='A' Op='Greater' Value='b0101' DontCare='b1000'/>",
                     L"<Event Label='A' Op='Greater' Value='h5' DontCare='h8'/>"},
        SqzRoundTrip{"LessEqual", L"<Event Label='A' Op='LessEqual' Value='h0'/>"},
        SqzRoundTrip{"GreaterEqual", L"<Event Label='A' Op='GreaterEqual' Value='h7'/>"},
        SqzRoundTrip{"InRange", L"<Event Label='WIDE' Op='InRange' Low='h1000' High='h1fff'/>"},
        SqzRoundTrip{"NotInRange", L"<Event Label='WIDE' Op='NotInRange' Low='d10' High='b11111'/>",
                     L"<Event Label='WIDE' Op='NotInRange' Low='ha' High='h1f'/>"},
        SqzRoundTrip{"Contains",
                     L"<Event Label='MSG' Op='Contains' Text='a&lt;b &amp; &apos;c&apos;'/>"},
        SqzRoundTrip{"NotContains", L"<Event Label='MSG' Op='NotContains' Text=''/>"},
        SqzRoundTrip{"Edges", L"<Event Label='CLK' Op='Rising'/><Conj Type='OR'/>"
                              L"<Event Label='CLK' Op='Falling'/><Conj Type='OR'/>"
                              L"<Event Label='CLK' Op='Either'/>"},
        SqzRoundTrip{"LevelsOnChannels",
                     L"<Event Label='A' Channel='3' Op='High'/><Conj Type='AND'/><Event Label='A' "
                     L"Channel='7' Op='Low'/><Conj Type='AND'/><Event Label='A' Channel='0' "
                     L"Op='DontCare'/>",
                     nullptr, L" Enabled='F' Inverted='T'"},
        SqzRoundTrip{"Groups", L"<Group><Event Label='A' Op='Equal' Value='h1'/><Conj Type='OR'/>"
                               L"<Group><Event Label='CLK' Op='High'/></Group></Group>"
                               L"<Conj Type='AND'/><Event Label='MSG' Op='Contains' Text='err'/>"},
        SqzRoundTrip{
            "All128Bits",
            L"<Event Label='WIDE' Op='Equal' Value='hffffffffffffffffffffffffffffffff'/>"}),
    ByName());

class SearchRefusalTest : public SearchModelMarkupTest,
                          public ::testing::WithParamInterface<const wchar_t*>
{
};

// Whatever is refused leaves the model's expression, flags and the parser's position alone.
TEST_P(SearchRefusalTest, RefusesAndChangesNothing)
{
    CqzSearchModel model;
    const std::wstring original =
        L"<Search Enabled='T'><Event Label='A' Op='Equal' Value='h5'/></Search>";
    ASSERT_TRUE(Read(model, original));
    CqzXMLParser xml(
        CString(std::wstring(L"<FilterExpression>") + GetParam() + L"</FilterExpression>"));
    ASSERT_TRUE(xml.FindNext(L"FilterExpression"));
    const SqzXMLParserPos before = xml.GetPosition();
    EXPECT_FALSE(model.DoCommands(xml));
    EXPECT_EQ(before, xml.GetPosition());
    EXPECT_EQ(original, Write(model));
}

INSTANTIATE_TEST_SUITE_P(
    BadMarkup, SearchRefusalTest,
    ::testing::Values(L"<Search><Event Label='NOPE' Op='Equal' Value='h1'/></Search>",
                      L"<Search><Event Op='Equal' Value='h1'/></Search>",
                      L"<Search><Event Label='A' Op='Equals' Value='h1'/></Search>",
                      L"<Search><Event Label='A' Value='h1'/></Search>",
                      L"<Search><Event Label='A' Op='Equal'/></Search>",
                      // One malformed number stands for the forms MarkupNumberTest refuses.
                      L"<Search><Event Label='A' Op='Equal' Value='hfg'/></Search>",
                      L"<Search><Event Label='A' Op='Equal' Value='h1' DontCare='b1x'/></Search>",
                      L"<Search><Event Label='A' Op='InRange' Low='b1x' High='h4'/></Search>",
                      L"<Search><Event Label='A' Op='InRange' Low='h1'/></Search>",
                      L"<Search><Event Label='A' Op='Contains' Text='x'/></Search>",
                      L"<Search><Event Label='MSG' Op='Equal' Value='h1'/></Search>",
                      L"<Search><Event Label='A' Channel='8' Op='High'/></Search>",
                      L"<Search><Event Label='A' Channel='-1' Op='High'/></Search>",
                      L"<Search Enabled='yes'><Event Label='A' Op='High'/></Search>",
                      L"<Search Inverted='t'><Event Label='A' Op='High'/></Search>",
                      L"<Search></Search>", L"<Search/>",
                      L"<Search><Event Label='A' Op='High'/><Event Label='A' Op='Low'/></Search>",
                      L"<Search><Conj Type='AND'/><Event Label='A' Op='High'/></Search>",
                      L"<Search><Event Label='A' Op='High'/><Conj Type='OR'/></Search>",
                      L"<Search><Event Label='A' Op='High'/><Conj Type='XOR'/><Event Label='A' "
                      L"Op='Low'/></Search>",
                      L"<Search><Event Label='A' Op='High'/><Conj Type='AND'/><Group/></Search>",
                      L"<Search><Group><Event Label='A' Op='High'/></Group><Group><Event Label='A' "
                      L"Op='Low'/></Group></Search>",
                      L"<Search><Event Label='A' Op='High'/><Note/></Search>"));

TEST_F(SearchModelMarkupTest, RefusesGroupsNestedBeyondTheLimit)
{
    auto nested = [](int depth)
    {
        std::wstring open, close;
        for (int i = 0; i < depth; ++i)
        {
            open += L"<Group>";
            close += L"</Group>";
        }
        return L"<Search>" + open + L"<Event Label='A' Op='High'/>" + close + L"</Search>";
    };
    CqzSearchModel model;
    EXPECT_TRUE(Read(model, nested(CqzSearchMarkupReader::MaxGroupDepth)));
    EXPECT_FALSE(Read(model, nested(CqzSearchMarkupReader::MaxGroupDepth + 1)));
}

// Without a "Search" element the expression and position are kept; with one, the child position
// is left on it, where the caller looks for the elements that follow the expression.
TEST_F(SearchModelMarkupTest, KeepsThePositionWithoutSearchElementOrLeavesTheChildOnIt)
{
    CqzSearchModel model;
    model.GetIfClause().GetEventList()->Default(CqzID());
    const std::wstring original = Write(model);
    CqzXMLParser xml(L"<FilterExpression><FilterAction Type='Show'/></FilterExpression>");
    xml.FindNext(L"FilterExpression");
    const SqzXMLParserPos before = xml.GetPosition();
    EXPECT_TRUE(model.DoCommands(xml));
    EXPECT_EQ(before, xml.GetPosition());
    EXPECT_EQ(original, Write(model));

    xml.SetDocument(L"<FilterExpression><Search><Event Label='A' Op='High'/></Search>"
                    L"<FilterAction Type='Show'/></FilterExpression>");
    xml.FindNext(L"FilterExpression");
    ASSERT_TRUE(model.DoCommands(xml));
    EXPECT_EQ(L"Search", xml.GetChildTag());
    ASSERT_TRUE(xml.FindNextChild(L"FilterAction"));
    EXPECT_EQ(L"Show", xml.GetChildAttribute(L"Type"));
}

TEST_F(SearchModelMarkupTest, WritesAnUnknownLabelByIdentifierAndRefusesItBack)
{
    CqzSearchModel model;
    CqzID unknown;
    model.GetIfClause().GetEventList()->AddEvent(CqzPatternModel(CqzLabelChannel(unknown, -1)));
    const std::wstring written = Write(model);
    EXPECT_NE(std::wstring::npos, written.find(L"Label='" + unknown.ToString().Str() + L"'"));
    CqzSearchModel again;
    EXPECT_FALSE(Read(again, written));
}

} // namespace
