#include "model/CqzFilterModel.h"

#include "common/ManagerReset.h"
#include "common/MessageRecorder.h"
#include "model/CqzFilterMessages.h"
#include "qzSystem/messages/CqzMessageDeleteConnection.h"
#include "qzSystem/messages/CqzMessagePlugInDependsOn.h"

#include <gtest/gtest.h>

namespace
{

class FilterModelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetManagers();
        addr = AddTestLabel(L"ADDR", eqzLabelIntegral, 32, source);
        data = AddTestLabel(L"DATA", eqzLabelDigital, 16);
    }

    // A model with n default terms named T0, T1, ... and no recorded messages.
    CqzFilterModel& Filled(int n)
    {
        for (int i = 0; i < n; ++i)
        {
            model.InsertAfter(nullptr, nullptr, -1);
            model.SetFilterName(i, CString(L"T") + CString(std::to_wstring(i)));
        }
        model.AddObserver(&recorder);
        recorder.ids.clear();
        return model;
    }

    std::vector<CString> Names() const
    {
        std::vector<CString> names;
        for (const SqzFilterTerm& t : model.GetTerms())
            names.push_back(t.name);
        return names;
    }

    // Adds an event on `label` to the term at index, joined with AND.
    void AddEvent(int index, const CqzID& label)
    {
        CqzSearchEventList* events =
            model.GetTerms()[static_cast<std::size_t>(index)].search->GetIfClause().GetEventList();
        events->AddConj(eqzConjAnd);
        events->AddEvent(CqzPatternModel(CqzLabelChannel(label, -1)));
    }

    CqzID instance;
    CqzID source;
    CqzID addr, data;
    CqzFilterModel model{instance};
    MessageRecorder recorder;
};

TEST_F(FilterModelTest, NewModelIsEmptyEnabledAndAnswersTheConstantName)
{
    EXPECT_EQ(model.GetSize(), 0);
    EXPECT_TRUE(model.IsEnabled());
    EXPECT_EQ(model.GetFilterName(0), L"Your name goes here");
    model.InsertBefore(nullptr, nullptr, 0); // index 0 is valid on an empty model
    EXPECT_EQ(model.GetSize(), 1);
}

TEST_F(FilterModelTest, DefaultTermIsHideOnTheFirstLabelWithOneMessage)
{
    model.AddObserver(&recorder);
    EXPECT_EQ(recorder.ids, (std::vector<unsigned>{200}));
    recorder.ids.clear();

    model.InsertAfter(nullptr, nullptr, -1);
    ASSERT_EQ(model.GetSize(), 1);
    const SqzFilterTerm& term = model.GetTerms()[0];
    EXPECT_EQ(term.name, L"Your name goes here");
    EXPECT_FALSE(term.showName);
    EXPECT_EQ(term.action->GetType(), eqzFilterHide);
    EXPECT_EQ(term.action->GetColor(), 0x0000FFu);
    const CqzSearchEventList* events = term.search->GetIfClause().GetEventList();
    ASSERT_EQ(events->GetEventCount(), 1);
    EXPECT_EQ(events->GetEvent(0)->GetEventLabel()->GetLabelInfo().GetLabelID(), addr);
    EXPECT_EQ(term.search->GetSingleBitOptions(), (CqzBitSet{4, 5, 6}));
    EXPECT_EQ(recorder.ids, (std::vector<unsigned>{201}));
}

struct InsertCase
{
    const char* what;
    bool after;
    int index;
    std::vector<const wchar_t*> expected; // names; "new" marks the inserted term
};

class InsertPositions : public FilterModelTest, public ::testing::WithParamInterface<InsertCase>
{
};

TEST_P(InsertPositions, InsertsWhereTheRulesSayOrNothing)
{
    const InsertCase& c = GetParam();
    Filled(2);
    if (c.after)
        model.InsertAfter(nullptr, nullptr, c.index);
    else
        model.InsertBefore(nullptr, nullptr, c.index);
    std::vector<CString> expected;
    for (const wchar_t* n : c.expected)
        expected.push_back(CString(n) == L"new" ? CString(L"Your name goes here") : CString(n));
    EXPECT_EQ(Names(), expected);
    EXPECT_EQ(recorder.Count(201), expected.size() == 3 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, InsertPositions,
    ::testing::Values(InsertCase{"AfterAppend", true, -1, {L"T0", L"T1", L"new"}},
                      InsertCase{"AfterFirst", true, 0, {L"T0", L"new", L"T1"}},
                      InsertCase{"AfterLast", true, 1, {L"T0", L"T1", L"new"}},
                      InsertCase{"AfterBeyond", true, 5, {L"T0", L"T1", L"new"}},
                      InsertCase{"AfterBelowMinusOne", true, -2, {L"T0", L"T1"}},
                      InsertCase{"BeforeFront", false, 0, {L"new", L"T0", L"T1"}},
                      InsertCase{"BeforeSecond", false, 1, {L"T0", L"new", L"T1"}},
                      InsertCase{"BeforeSize", false, 2, {L"T0", L"T1"}},
                      InsertCase{"BeforeNegative", false, -1, {L"T0", L"T1"}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST_F(FilterModelTest, InsertCopiesTheGivenSearchModelAndAction)
{
    CqzSearchModel search;
    search.GetIfClause().GetEventList()->AddEvent(CqzPatternModel(CqzLabelChannel(data, -1)));
    CqzFilterAction action;
    action.SetType(eqzFilterColor);
    action.SetColor(0xABCDEF);
    model.InsertAfter(&search, &action, -1);
    const SqzFilterTerm& term = model.GetTerms()[0];
    EXPECT_NE(term.action.get(), &action);
    EXPECT_EQ(term.action->GetColor(), 0xABCDEFu);
    EXPECT_EQ(term.action->GetID(), action.GetID());
    EXPECT_EQ(term.search->GetIfClause()
                  .GetEventList()
                  ->GetEvent(0)
                  ->GetEventLabel()
                  ->GetLabelInfo()
                  .GetLabelID(),
              data);
}

TEST_F(FilterModelTest, RemoveRefusesTheLastTermUnlessAllowedAndResetLeavesOneDefault)
{
    Filled(2);
    EXPECT_FALSE(model.Remove(2, true));
    EXPECT_FALSE(model.Remove(-1, true));
    EXPECT_TRUE(model.Remove(0, false));
    EXPECT_EQ(Names(), std::vector<CString>{L"T1"});
    EXPECT_FALSE(model.Remove(0, false));
    EXPECT_TRUE(model.Remove(0, true));
    EXPECT_EQ(model.GetSize(), 0);
    EXPECT_EQ(recorder.Count(202), 2);
    EXPECT_FALSE(model.Remove(0, true));

    model.InsertAfter(nullptr, nullptr, -1);
    model.InsertAfter(nullptr, nullptr, -1);
    recorder.ids.clear();
    model.Reset(); // leaves one default term and sends one insert
    EXPECT_EQ(Names(), std::vector<CString>{L"Your name goes here"});
    EXPECT_EQ(recorder.ids, (std::vector<unsigned>{201}));
}

TEST_F(FilterModelTest, PerTermPropertiesAndOutOfRangeIndices)
{
    Filled(1);
    model.SetFilterName(3, L"x");
    model.SetShowFilterName(-1, true);
    model.SetFilterEnabled(1, false);
    EXPECT_TRUE(recorder.ids.empty());

    model.SetShowFilterName(0, false); // unchanged value still announces
    model.SetFilterEnabled(0, false);
    EXPECT_FALSE(model.GetTerms()[0].search->IsEnabled());
    EXPECT_TRUE(model.GetShowFilterName(0));
    EXPECT_EQ(recorder.ids, (std::vector<unsigned>{205, 205}));
}

TEST_F(FilterModelTest, EnableEventsOnlyOnChange)
{
    EventRecorder events;
    model.SetEnabled(true);
    EXPECT_TRUE(events.events.empty());
    model.SetEnabled(false);
    model.SetEnabled(false);
    model.SetEnabled(true);
    ASSERT_EQ(events.events.size(), 2u);
    EXPECT_EQ(events.events[0].type, 26u);
    EXPECT_EQ(events.events[0].instance, instance);
    EXPECT_EQ(events.events[1].type, 25u);
}

TEST_F(FilterModelTest, TermMessagesReachEveryObserverOnce)
{
    Filled(2);
    MessageRecorder second;
    model.AddObserver(&second);
    EXPECT_EQ(recorder.ids, std::vector<unsigned>{}) << "attach goes to the new observer only";
    EXPECT_EQ(second.ids, (std::vector<unsigned>{200}));

    model.GetTerms()[1].action->SetType(eqzFilterColor);
    AddEvent(0, data);
    EXPECT_EQ(recorder.Count(203), 1);
    EXPECT_EQ(second.Count(203), 1);
    EXPECT_EQ(recorder.Count(102), 1);
    EXPECT_EQ(second.Count(114), 1);

    // A removed term's parts are no longer relayed.
    CqzFilterAction* removed = model.GetTerms()[1].action.get();
    EXPECT_EQ(removed->GetObserverCount(), 1);
    model.Remove(1, true);
    EXPECT_EQ(model.GetTerms()[0].action->GetObserverCount(), 1);
}

TEST_F(FilterModelTest, CopyAndAssignmentAreDeepAndSilent)
{
    Filled(2);
    model.SetName(L"setup");
    model.GetTerms()[1].action->SetType(eqzFilterColor);
    model.SetEnabled(false);
    recorder.ids.clear();

    CqzFilterModel copy(model);
    EXPECT_EQ(copy.GetID(), instance);
    EXPECT_EQ(copy.GetName(), L"setup");
    EXPECT_FALSE(copy.IsEnabled());
    ASSERT_EQ(copy.GetSize(), 2);
    EXPECT_NE(copy.GetTerms()[1].action.get(), model.GetTerms()[1].action.get());
    EXPECT_EQ(copy.GetTerms()[1].action->GetType(), eqzFilterColor);

    MessageRecorder copyRecorder;
    copy.AddObserver(&copyRecorder);
    copy.GetTerms()[0].action->SetType(eqzFilterShow);
    EXPECT_EQ(copyRecorder.Count(203), 1) << "the copy observes its own terms";
    EXPECT_TRUE(recorder.ids.empty()) << "copying sends nothing and the source is untouched";
    EXPECT_EQ(model.GetTerms()[0].action->GetType(), eqzFilterHide);

    CqzID other;
    CqzFilterModel target(other);
    target.InsertAfter(nullptr, nullptr);
    EventRecorder events;
    target = model;
    EXPECT_EQ(target.GetID(), instance);
    EXPECT_EQ(target.GetSize(), 2);
    ASSERT_EQ(events.events.size(), 1u) << "assignment changes the enable state through SetEnabled";
    EXPECT_EQ(events.events[0].type, 26u);
    target = target;
    EXPECT_EQ(target.GetSize(), 2);
}

TEST_F(FilterModelTest, ValidateDropsUnavailableEventsThenEmptyTerms)
{
    Filled(2);
    AddEvent(0, data); // term 0: ADDR AND DATA
    model.Validate();  // everything available: nothing changes
    EXPECT_EQ(model.GetTerms()[0].search->GetIfClause().GetEventList()->GetEventCount(), 2);

    CqzSystemMgr::Instance().SetAvailableLabels(instance, {data});
    model.Validate();
    ASSERT_EQ(Names(), std::vector<CString>{L"T0"});
    const CqzSearchEventList* events = model.GetTerms()[0].search->GetIfClause().GetEventList();
    EXPECT_EQ(events->GetEventCount(), 1);
    EXPECT_TRUE(events->IsWellFormed());
    EXPECT_EQ(recorder.Count(201), 0);

    CqzSystemMgr::Instance().SetAvailableLabels(instance, {});
    model.Validate();
    EXPECT_EQ(Names(), std::vector<CString>{L"Your name goes here"}) << "one fresh default term";
    EXPECT_EQ(recorder.Count(201), 1);
}

TEST_F(FilterModelTest, RemoveLabelsDropsTheListedLabelsOnly)
{
    Filled(2);
    AddEvent(1, data);
    model.RemoveLabels(CqzMessageDeleteConnection({addr}));
    ASSERT_EQ(Names(), std::vector<CString>{L"T1"});
    const CqzSearchEventList* events = model.GetTerms()[0].search->GetIfClause().GetEventList();
    ASSERT_EQ(events->GetEventCount(), 1);
    EXPECT_EQ(events->GetEvent(0)->GetEventLabel()->GetLabelInfo().GetLabelID(), data);
}

TEST_F(FilterModelTest, AddDependenciesReportsEveryUseOfTheSourcesLabels)
{
    Filled(2);
    AddEvent(0, data);
    AddEvent(1, addr);
    CqzMessagePlugInDependsOn message(source);
    model.AddDependencies(message);
    ASSERT_EQ(message.GetLabelStatusList().size(), 3u) << "ADDR is used three times";
    for (const CqzLabelStatus& s : message.GetLabelStatusList())
    {
        EXPECT_EQ(s.GetLabelID(), addr);
        EXPECT_EQ(s.GetStatus(), 0);
    }
    CqzMessagePlugInDependsOn other{CqzID()};
    model.AddDependencies(other);
    EXPECT_TRUE(other.GetLabelStatusList().empty());
}

} // namespace
