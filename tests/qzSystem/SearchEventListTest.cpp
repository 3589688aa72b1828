#include "qzSystem/search/CqzSearchModel.h"

#include "common/ManagerReset.h"
#include "common/MessageRecorder.h"
#include "qzSystem/search/CqzSearchEventBracket.h"
#include "qzSystem/search/CqzSearchExpressionGroup.h"

#include <gtest/gtest.h>

#include <random>

namespace
{

// Writes an event list as text: events by their label's name, "&", "|", "(" and ")".
std::wstring Render(const CqzSearchEventList& list)
{
    std::wstring out;
    for (int i = 0; i < list.GetComponentCount(); ++i)
    {
        CqzSearchComponentModel* c = list.GetComponentAt(i);
        if (auto* e = dynamic_cast<CqzSearchEventLabel*>(c))
        {
            const CqzLabel* l =
                CqzLabelMgr::Instance().IDToLabel(e->GetEventLabel()->GetLabelInfo().GetLabelID());
            out += l ? l->GetName().Str() : L"?";
        }
        else if (auto* j = dynamic_cast<CqzSearchEventConj*>(c))
            out += j->GetType() == eqzConjAnd ? L"&" : L"|";
        else if (auto* b = dynamic_cast<CqzSearchEventBracket*>(c))
            out += b->IsOpening() ? L"(" : L")";
    }
    return out;
}

// Builds a list from text in the Render form; single-letter label names.
void Parse(CqzSearchEventList& list, const std::wstring& text)
{
    for (wchar_t ch : text)
    {
        if (ch == L'&' || ch == L'|')
            list.AddConj(ch == L'&' ? eqzConjAnd : eqzConjOr);
        else if (ch == L'(' || ch == L')')
            list.AddBracket(ch == L'(');
        else
        {
            const wchar_t name[2] = {ch, 0};
            const CqzLabel* l = CqzLabelMgr::Instance().NameToLabel(name);
            list.AddEvent(CqzPatternModel(CqzLabelChannel(l->GetLabelID(), -1)));
        }
    }
}

class SearchEventListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetManagers();
        for (const wchar_t* n : {L"A", L"B", L"C", L"D"})
            AddTestLabel(n);
    }
};

struct RemoveCase
{
    const wchar_t* before;
    int event;
    const wchar_t* after;
    bool removed = true; // false: an index out of range, refused without a message
};

class RemoveKeepsWellFormed : public SearchEventListTest,
                              public ::testing::WithParamInterface<RemoveCase>
{
};

TEST_P(RemoveKeepsWellFormed, Removes)
{
    CqzSearchEventList list;
    Parse(list, GetParam().before);
    ASSERT_TRUE(list.IsWellFormed());
    MessageRecorder recorder;
    list.AddObserver(&recorder);
    ASSERT_EQ(list.RemoveEvent(GetParam().event, true, true), GetParam().removed);
    EXPECT_EQ(Render(list), GetParam().after);
    EXPECT_TRUE(list.GetEventCount() == 0 || list.IsWellFormed());
    EXPECT_EQ(recorder.ids, std::vector<unsigned>(GetParam().removed ? 1 : 0, 103u));
}

INSTANTIATE_TEST_SUITE_P(
    Expressions, RemoveKeepsWellFormed,
    ::testing::Values(RemoveCase{L"A", 0, L""}, RemoveCase{L"A&B", 0, L"B"},
                      RemoveCase{L"A&B|C", 1, L"A|C"}, RemoveCase{L"A&B|C", 2, L"A&B"},
                      RemoveCase{L"A&(B|C)", 1, L"A&(C)"}, RemoveCase{L"A&(B)|C", 1, L"A|C"},
                      RemoveCase{L"(A)&B", 0, L"B"}, RemoveCase{L"((A))|B", 0, L"B"},
                      RemoveCase{L"A|((B))", 1, L"A"}, RemoveCase{L"A&B", 2, L"A&B", false},
                      RemoveCase{L"A&B", -1, L"A&B", false}));

TEST_F(SearchEventListTest, DefaultUsesTheFirstAvailableLabel)
{
    CqzID instance;
    CqzSearchEventList list;
    Parse(list, L"C&D");
    list.Default(instance);
    EXPECT_EQ(Render(list), L"A");
    const CqzPatternModel* p = list.GetEvent(0)->GetEventLabel();
    EXPECT_TRUE(p->IsMultiBitMode());
    EXPECT_EQ(p->GetMultiBitChoice(true), 1);
    CqzUInt v(7), s(7);
    p->GetValue(v, s, true);
    EXPECT_TRUE(v.IsZero() && s.IsZero());

    CqzSystemMgr::Instance().SetAvailableLabels(
        instance, {CqzLabelMgr::Instance().NameToLabel(L"C")->GetLabelID()});
    list.Default(instance);
    EXPECT_EQ(Render(list), L"C");
}

TEST_F(SearchEventListTest, ExpressionTokensNameTheirComponents)
{
    CqzSearchEventList list;
    Parse(list, L"A|(B&C)");
    auto tokens = list.GetExpression(true);
    ASSERT_EQ(tokens.size(), 7u);
    std::vector<int> kinds, brackets;
    for (const auto& t : tokens)
    {
        kinds.push_back(t->GetKind());
        if (auto* g = dynamic_cast<CqzSearchExpressionGroup*>(t.get()))
            brackets.push_back(g->GetBracket());
        EXPECT_NE(list.GetComponent(t->GetID()), nullptr);
    }
    EXPECT_EQ(kinds, (std::vector<int>{0, 1, 2, 0, 1, 0, 2}));
    EXPECT_EQ(brackets, (std::vector<int>{0, 1}));
}

TEST_F(SearchEventListTest, PatternChangesAreRelayedAndCopiesAreDeep)
{
    CqzSearchModel model;
    Parse(*model.GetIfClause().GetEventList(), L"A&B");
    model.SetInverted(true);
    MessageRecorder recorder;
    model.GetIfClause().GetEventList()->AddObserver(&recorder);
    model.GetIfClause().GetEventList()->GetEvent(1)->GetEventLabel()->SetValue(CqzUInt(5),
                                                                               CqzUInt());
    EXPECT_EQ(recorder.ids, (std::vector<unsigned>{4306}));

    CqzSearchModel copy(model);
    EXPECT_TRUE(copy.GetInverted());
    CqzSearchEventList* events = copy.GetIfClause().GetEventList();
    EXPECT_EQ(Render(*events), L"A&B");
    EXPECT_EQ(events->GetEvent(0)->GetID(),
              model.GetIfClause().GetEventList()->GetEvent(0)->GetID());
    events->GetEvent(0)->GetEventLabel()->SetMultiBitChoice(3);
    EXPECT_EQ(recorder.ids.size(), 1u) << "the copy's patterns report to the copy only";
    EXPECT_EQ(model.GetIfClause().GetEventList()->GetEvent(0)->GetEventLabel()->GetMultiBitChoice(),
              1);
    MessageRecorder copyRecorder;
    events->AddObserver(&copyRecorder);
    events->GetEvent(0)->GetEventLabel()->SetMultiBitChoice(4);
    EXPECT_EQ(copyRecorder.ids, (std::vector<unsigned>{4306}));
}

TEST_F(SearchEventListTest, WellFormedness)
{
    for (const std::wstring text : {L"A", L"(A)", L"A&(B|C)&D", L"((A|B))", L"-", L"-&A", L"-A&",
                                    L"-AB", L"-(A", L"-A)", L"-()", L"-A(B)", L"-(A&)"})
    {
        const bool good = text[0] != L'-'; // "-" marks a malformed expression
        CqzSearchEventList list;
        Parse(list, good ? text : text.substr(1));
        EXPECT_EQ(list.IsWellFormed(), good) << CString(text.c_str()).ToUtf8();
    }
}

// A random well-formed expression over the labels A to D, in the Render form.
std::wstring RandomExpression(std::mt19937& random, int depth = 0)
{
    std::wstring text;
    const int operands = 1 + static_cast<int>(random() % 4);
    for (int i = 0; i < operands; ++i)
    {
        if (i > 0)
            text += random() % 2 ? L'&' : L'|';
        if (depth < 3 && random() % 4 == 0)
            text += L"(" + RandomExpression(random, depth + 1) + L")";
        else
            text += static_cast<wchar_t>(L'A' + random() % 4);
    }
    return text;
}

} // namespace

// Removing the events on A and B in one pass leaves what removing them one at a time from the
// last to the first leaves, with one message per event.
TEST_F(SearchEventListTest, RemovingManyEventsAtOnceEqualsRemovingThemOneByOne)
{
    const CqzID a = CqzLabelMgr::Instance().NameToLabel(L"A")->GetLabelID();
    const CqzID b = CqzLabelMgr::Instance().NameToLabel(L"B")->GetLabelID();
    const auto doomed = [&](const CqzSearchEventLabel& event)
    {
        const CqzID& label = event.GetEventLabel()->GetLabelInfo().GetLabelID();
        return label == a || label == b;
    };
    std::mt19937 random(16);
    for (int round = 0; round < 400; ++round)
    {
        const std::wstring text = RandomExpression(random);
        CqzSearchEventList one, all;
        Parse(one, text);
        Parse(all, text);
        for (int i = one.GetEventCount(); i-- > 0;)
            if (doomed(*one.GetEvent(i)))
                one.RemoveEvent(i, false, true);
        MessageRecorder recorder;
        all.AddObserver(&recorder);
        const int removed = all.RemoveEvents(doomed, true);
        EXPECT_EQ(Render(all), Render(one)) << text;
        EXPECT_EQ(recorder.ids, std::vector<unsigned>(static_cast<std::size_t>(removed), 103u));
        for (int i = 0; i < all.GetComponentCount(); ++i)
            EXPECT_EQ(all.GetComponent(all.GetComponentAt(i)->GetID()), all.GetComponentAt(i));
        EXPECT_EQ(all.GetEventCount() + removed, one.GetEventCount() + removed);
    }
}

// An expression of n events joined by OR: reading every event by index and every component
// by identifier, then dropping every other event, looks at each component a few times only.
TEST_F(SearchEventListTest, LongExpressionsCostInProportionToTheirLength)
{
    const CqzID a = CqzLabelMgr::Instance().NameToLabel(L"A")->GetLabelID();
    const CqzID b = CqzLabelMgr::Instance().NameToLabel(L"B")->GetLabelID();
    for (const int n : {1000, 20000})
    {
        const std::uint64_t before = CqzSearchEventList::GetVisitCount();
        CqzSearchEventList list;
        for (int i = 0; i < n; ++i)
        {
            if (i > 0)
                list.AddConj(eqzConjOr);
            list.AddEvent(CqzPatternModel(CqzLabelChannel(i % 2 ? a : b, -1)));
        }
        int found = 0;
        for (int i = 0; i < list.GetEventCount(); ++i)
            found += list.GetComponent(list.GetEvent(i)->GetID()) == list.GetEvent(i);
        ASSERT_EQ(found, n);
        list.RemoveEvents([&](const CqzSearchEventLabel& e)
                          { return e.GetEventLabel()->GetLabelInfo().GetLabelID() == b; },
                          true);
        ASSERT_EQ(list.GetEventCount(), n / 2);
        EXPECT_LE(CqzSearchEventList::GetVisitCount() - before, 8u * static_cast<unsigned>(n))
            << n << " events";
    }
}
