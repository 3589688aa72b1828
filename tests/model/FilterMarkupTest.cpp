#include "model/CqzFilterModel.h"

#include "common/ManagerReset.h"
#include "common/MessageRecorder.h"
#include "common/ParamName.h"
#include "markup/CqzXMLParser.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

// Markup as the parser writes it: every element on its own line, ended by CR LF. The lines
// are given separated by "|".
std::wstring Lines(const std::wstring& lines)
{
    std::wstring text;
    for (wchar_t ch : lines + L"|")
        text += ch == L'|' ? std::wstring(L"\r\n") : std::wstring(1, ch);
    return text;
}

class FilterMarkupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetManagers();
        AddTestLabel(L"ADDR", eqzLabelIntegral, 32);
        AddTestLabel(L"STAT", eqzLabelDigital, 8);
        AddTestLabel(L"MSG", eqzLabelString, 0);
    }

    std::wstring GetSetup() const
    {
        CqzXMLParser xml;
        EXPECT_TRUE(model.QueryCommand(L"GetSetup", xml));
        return xml.GetDocument().Str();
    }

    // Runs DoCommands on the document's "Filter" root and checks that the position is kept.
    bool Apply(const std::wstring& document)
    {
        CqzXMLParser xml{CString(document)};
        EXPECT_TRUE(xml.FindNext(L"Filter"));
        const SqzXMLParserPos before = xml.GetPosition();
        const bool ok = model.DoCommands(xml);
        EXPECT_EQ(before, xml.GetPosition());
        return ok;
    }

    CqzFilterAction& ActionOf(int index) const
    {
        return *model.GetTerms()[static_cast<std::size_t>(index)].action;
    }

    CqzFilterModel model{CqzID()};
};

TEST_F(FilterMarkupTest, GetSetupOfOneDefaultTerm)
{
    model.InsertAfter(nullptr, nullptr, -1);
    EXPECT_EQ(Lines(L"<Filter Enabled='T'>|<FilterExpression Name='Your name goes here'>|"
                    L"<Search Enabled='T'>|<Event Label='ADDR' Op='Equal' Value='h0'/>|</Search>|"
                    L"<FilterAction Type='Hide'/>|</FilterExpression>|</Filter>"),
              GetSetup());
}

class FilterRoundTripTest : public FilterMarkupTest,
                            public ::testing::WithParamInterface<std::wstring>
{
};

TEST_P(FilterRoundTripTest, WritesBackWhatItRead)
{
    ASSERT_TRUE(Apply(GetParam()));
    EXPECT_EQ(GetParam(), GetSetup());
}

INSTANTIATE_TEST_SUITE_P(
    Setups, FilterRoundTripTest,
    ::testing::Values(
        Lines(L"<Filter Enabled='F'>|<FilterExpression Name='shown &lt;b&gt; &amp; &apos;q&apos;'>|"
              L"<Search Enabled='T'>|<Event Label='STAT' Channel='2' Op='Rising'/>|</Search>|"
              L"<FilterAction Type='Show'/>|</FilterExpression>|</Filter>"),
        Lines(L"<Filter Enabled='T'>|<FilterExpression Name='green'>|<Search Enabled='T'>|"
              L"<Event Label='ADDR' Op='InRange' Low='h1000' High='h1fff'/>|</Search>|"
              L"<FilterAction Type='Color' Color='h00ff00'/>|</FilterExpression>|"
              L"<FilterExpression Name='blue'>|<Search Enabled='F'>|"
              L"<Event Label='MSG' Op='NotContains' Text='ok'/>|</Search>|"
              L"<FilterAction Type='Color' Color='h0000ff'/>|</FilterExpression>|"
              L"<FilterExpression Name=''>|<Search Enabled='T'>|<Group>|<Group>|"
              L"<Event Label='STAT' Op='Low'/>|</Group>|</Group>|</Search>|"
              L"<FilterAction Type='Color' Color='h000001'/>|</FilterExpression>|</Filter>")));

struct SqzBadTerm
{
    const char* name;
    const wchar_t* term; // the second of three terms
};

class FilterRefusalTest : public FilterMarkupTest, public ::testing::WithParamInterface<SqzBadTerm>
{
};

// The first term stays, the failing one and everything after it are not read.
TEST_P(FilterRefusalTest, KeepsTheTermsReadBeforeTheBadOne)
{
    model.InsertAfter(nullptr, nullptr, -1);
    const std::wstring good = L"<FilterExpression Name='first'><Search><Event Label='STAT' "
                              L"Op='High'/></Search><FilterAction Type='Show'/></FilterExpression>";
    EXPECT_FALSE(Apply(L"<Filter Enabled='T'>" + good + GetParam().term + good + L"</Filter>"));
    ASSERT_EQ(1, model.GetSize());
    EXPECT_EQ(L"first", model.GetFilterName(0));
    EXPECT_EQ(unsigned{eqzFilterShow}, ActionOf(0).GetType());
}

// Bad actions and labels stand for the refusals of the action's and the search's own markup.
INSTANTIATE_TEST_SUITE_P(
    BadTerms, FilterRefusalTest,
    ::testing::Values(
        SqzBadTerm{
            "ColourNotHex",
            L"<FilterExpression><FilterAction Type='Color' Color='h00fg00'/></FilterExpression>"},
        SqzBadTerm{"NoAction", L"<FilterExpression/>"},
        SqzBadTerm{"ActionBeforeTheExpression",
                   L"<FilterExpression><FilterAction Type='Hide'/><Search><Event Label='STAT' "
                   L"Op='High'/></Search></FilterExpression>"},
        SqzBadTerm{"UnknownLabel",
                   L"<FilterExpression><Search><Event Label='DATA' "
                   L"Op='High'/></Search><FilterAction Type='Hide'/></FilterExpression>"}),
    ByName());

TEST_F(FilterMarkupTest, EnabledOnlyForCapitalT)
{
    EventRecorder events;
    EXPECT_TRUE(Apply(L"<Filter Enabled='t'/>"));
    EXPECT_FALSE(model.IsEnabled());
    EXPECT_TRUE(Apply(L"<Filter Enabled='T'/>"));
    EXPECT_TRUE(model.IsEnabled());
    EXPECT_TRUE(Apply(L"<Filter/>"));
    EXPECT_FALSE(model.IsEnabled());
    ASSERT_EQ(3u, events.events.size());
    EXPECT_EQ(26u, events.events[2].type);
}

// Reading replaces the terms without messages; new terms are named as written, show their
// names and pass their parts' messages on.
TEST_F(FilterMarkupTest, ReadTermsReplaceSilentlyAreObservedAndShowTheirNames)
{
    model.InsertAfter(nullptr, nullptr, -1);
    model.InsertAfter(nullptr, nullptr, -1);
    MessageRecorder recorder;
    model.AddObserver(&recorder);
    recorder.ids.clear();
    EXPECT_TRUE(Apply(L"<Filter Enabled='T'></Filter>"));
    EXPECT_EQ(0, model.GetSize());
    ASSERT_TRUE(Apply(L"<Filter Enabled='T'><FilterExpression Name='x'><FilterAction "
                      L"Type='Show'/></FilterExpression></Filter>"));
    EXPECT_TRUE(recorder.ids.empty());
    ASSERT_EQ(1, model.GetSize());
    EXPECT_TRUE(model.GetShowFilterName(0));
    EXPECT_EQ(L"x", model.GetFilterName(0));
    // Without a "Search" element the term keeps its default event.
    EXPECT_EQ(1, model.GetTerms()[0].search->GetIfClause().GetEventList()->GetEventCount());
    ActionOf(0).SetType(eqzFilterColor);
    model.GetTerms()[0].search->GetIfClause().GetEventList()->AddConj(eqzConjOr);
    EXPECT_EQ(1, recorder.Count(203));
    EXPECT_EQ(2u, recorder.ids.size());
}

// Setups of any size apply in time linear in their size: a term of n events joined by OR and
// n one-event terms are read, and dropping the events whose label is no longer available
// (every other one) looks at each component of the event lists a few times only.
TEST_F(FilterMarkupTest, LargeSetupsApplyAndValidateInProportionToTheirSize)
{
    const CqzID stat = CqzLabelMgr::Instance().NameToLabel(L"STAT")->GetLabelID();
    const CqzID msg = CqzLabelMgr::Instance().NameToLabel(L"MSG")->GetLabelID();
    for (const int n : {500, 8000})
    {
        std::wstring events, terms;
        for (int i = 0; i < n; ++i)
        {
            events += std::wstring(i > 0 ? L"<Conj Type='OR'/>" : L"") + L"<Event Label='" +
                      (i % 2 ? L"ADDR" : L"STAT") + L"' Op='Equal' Value='d" + std::to_wstring(i) +
                      L"'/>";
            terms += L"<FilterExpression Name='t'><Search><Event Label='" +
                     std::wstring(i % 2 ? L"ADDR" : L"STAT") +
                     L"' Op='Less' Value='h5'/></Search><FilterAction Type='Hide'/>"
                     L"</FilterExpression>";
        }
        const std::uint64_t before = CqzSearchEventList::GetVisitCount();
        ASSERT_TRUE(Apply(L"<Filter Enabled='T'><FilterExpression Name='big'><Search>" + events +
                          L"</Search><FilterAction Type='Hide'/></FilterExpression>" + terms +
                          L"</Filter>"));
        ASSERT_EQ(model.GetSize(), n + 1);
        CqzSystemMgr::Instance().SetAvailableLabels(model.GetID(), {stat, msg});
        model.Validate();
        CqzSystemMgr::Instance().ClearAvailableLabels(model.GetID());
        ASSERT_EQ(model.GetSize(), 1 + n / 2);
        EXPECT_EQ(model.GetTerms()[0].search->GetIfClause().GetEventList()->GetEventCount(), n / 2);
        EXPECT_LE(CqzSearchEventList::GetVisitCount() - before, 20u * static_cast<unsigned>(n))
            << n << " events";
    }
}

TEST_F(FilterMarkupTest, QueryAddsTheFilterInsideTheCallersElementAndKeepsItsPosition)
{
    model.InsertAfter(nullptr, nullptr, -1);
    CqzXMLParser xml(L"<Reply><Before/><After/></Reply>");
    xml.FindNext(L"Reply");
    xml.FindNextChild(L"Before");
    const SqzXMLParserPos before = xml.GetPosition();
    EXPECT_TRUE(model.QueryCommand(L"GetAllSetup", xml));
    EXPECT_EQ(before, xml.GetPosition());
    ASSERT_TRUE(xml.FindNextChild());
    EXPECT_EQ(L"Filter", xml.GetChildTag());
    EXPECT_EQ(L"T", xml.GetChildAttribute(L"Enabled"));
    ASSERT_TRUE(xml.FindNextChild());
    EXPECT_EQ(L"After", xml.GetChildTag());
}

class FilterActionMarkupTest : public ::testing::Test
{
protected:
    // Reads the action from <FilterExpression> holding `content`; checks the position kept.
    bool Read(const std::wstring& content)
    {
        CqzXMLParser xml{CString(L"<FilterExpression>" + content + L"</FilterExpression>")};
        xml.FindNext(L"FilterExpression");
        const SqzXMLParserPos before = xml.GetPosition();
        const bool ok = action.DoCommands(xml);
        EXPECT_EQ(before, xml.GetPosition());
        return ok;
    }

    CqzFilterAction action;
};

TEST_F(FilterActionMarkupTest, BadColourKeepsTheColourAndUnknownTypesChangeNothing)
{
    EXPECT_FALSE(Read(L"<FilterAction Type='Color' Color='h12345'/>"));
    EXPECT_EQ(unsigned{eqzFilterColor}, action.GetType()) << "a bad colour still sets the type";
    EXPECT_EQ(CqzFilterAction::DefaultColor, action.GetColor());
    EXPECT_FALSE(Read(L"<FilterAction Type='Color' Color='h12345z'/>"));
    EXPECT_FALSE(Read(L"<FilterAction Type='Color'/>"));
    EXPECT_EQ(CqzFilterAction::DefaultColor, action.GetColor());
    // The first character is not looked at.
    EXPECT_TRUE(Read(L"<FilterAction Type='Color' Color='#A0b0C0'/>"));
    EXPECT_EQ(0xA0B0C0u, action.GetColor());

    action.SetType(eqzFilterShow);
    EXPECT_FALSE(Read(L"<FilterAction Type='Color '/>"));
    EXPECT_FALSE(Read(L"<FilterAction Type='hide'/>"));
    EXPECT_FALSE(Read(L"<Other Type='Hide'/>"));
    EXPECT_EQ(unsigned{eqzFilterShow}, action.GetType());
    EXPECT_TRUE(Read(L"<Other/><FilterAction Type='Hide'/>"));
    EXPECT_EQ(unsigned{eqzFilterHide}, action.GetType());
}

TEST_F(FilterActionMarkupTest, WritesTheColourWithSixLowerCaseDigits)
{
    // The caller stands on the term's element as the current child.
    CqzXMLParser xml(L"<Filter><FilterExpression><Search/></FilterExpression></Filter>");
    xml.FindNext(L"Filter");
    xml.FindNextChild(L"FilterExpression");
    action.SetType(eqzFilterColor);
    action.SetColor(0xFF);
    const SqzXMLParserPos before = xml.GetPosition();
    EXPECT_TRUE(action.QueryCommand(L"", xml));
    EXPECT_EQ(before, xml.GetPosition());
    EXPECT_EQ(L"<Filter><FilterExpression><Search/><FilterAction Type='Color' Color='h0000ff'/>\r\n"
              L"</FilterExpression></Filter>",
              xml.GetDocument().Str());
}

} // namespace
