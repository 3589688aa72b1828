#include "evaluation/CqzFilterObject.h"

#include "common/ManagerReset.h"
#include "common/FilterTerms.h"
#include "common/ParamName.h"
#include "qzSystem/data/CqzDataBuilder.h"
#include "qzSystem/data/CqzTimeCorrelatedIter.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace
{

// Compiles a model over a one-table data set and reads back, row by row, which action the
// compiled filter picks: "-" none, "S" show, "H" hide, "C<colour in hex>".
class FilterObjectTest : public ::testing::Test
{
protected:
    void SetUp() override { ResetManagers(); }

    static std::string Name(const CqzFilterAction* action)
    {
        if (action == nullptr)
            return "-";
        if (action->GetType() == eqzFilterShow)
            return "S";
        if (action->GetType() == eqzFilterHide)
            return "H";
        char text[16];
        std::snprintf(text, sizeof text, "C%x", action->GetColor());
        return text;
    }

    std::vector<std::string> Decisions(CqzFilterObject& filter)
    {
        std::unique_ptr<CqzTimeCorrelatedIter> values(filter.CreateValueIter());
        std::unique_ptr<CqzTimeCorrelatedIter> texts(filter.HasStrings() ? filter.CreateStringIter()
                                                                         : nullptr);
        std::vector<CqzUInt> v;
        std::vector<int> vs, ts;
        std::vector<CString> t;
        std::vector<std::string> out;
        for (std::int64_t row = 0; row < data.GetTable(0)->GetRowCount(); ++row)
        {
            values->SetIndex(row);
            values->GetValue(v, vs);
            if (texts)
            {
                texts->SetIndex(row);
                texts->GetValue(t, ts);
            }
            out.push_back(Name(filter.Evaluate(&v, &vs, &t, &ts)));
        }
        return out;
    }

    std::vector<std::string> Decisions()
    {
        CqzFilterObject filter;
        filter.Build(data, filterModel);
        return Decisions(filter);
    }

    using Rows = std::vector<std::string>;

    CqzData data;
    CqzDataBuilder builder{data};
    CqzFilterModel filterModel{CqzID()};
};

// A show term acts where its expression is false: its search is inverted.
TEST_F(FilterObjectTest, FirstMatchingTermWinsInTermOrder)
{
    builder.AddTable().Time().Integral(L"X", 32);
    builder.Row(0, {5}).Row(1, {7}).Row(2, {12}).Row(3, {20});
    AddTerm(filterModel, SearchBuilder().Is(L"X", 1, 5), eqzFilterHide);
    AddTerm(filterModel, SearchBuilder().Is(L"X", 3, 10), eqzFilterColor, 0xff0000);
    AddTerm(filterModel, SearchBuilder().Is(L"X", 1, 12), eqzFilterShow);
    EXPECT_EQ(Decisions(), (Rows{"H", "Cff0000", "-", "S"}));
    std::vector<CqzSearchModel*> searches;
    filterModel.GetSearchModels(searches);
    EXPECT_FALSE(searches[1]->GetInverted());
    EXPECT_TRUE(searches[2]->GetInverted());
}

TEST_F(FilterObjectTest, DisabledTermGetsNoRootAndDoesNotShiftThePairing)
{
    builder.AddTable().Time().Integral(L"X", 32).Integral(L"Y", 32);
    builder.Row(0, {5, 1});
    AddTerm(filterModel, SearchBuilder().Is(L"X", 1, 5), eqzFilterHide);
    AddTerm(filterModel, SearchBuilder().Is(L"Y", 1, 1), eqzFilterColor, 0x123456);
    filterModel.SetFilterEnabled(0, false);
    CqzFilterObject filter;
    filter.Build(data, filterModel);
    EXPECT_EQ(filter.GetRootCount(), 1);
    EXPECT_EQ(filter.GetValueIterCount(), 1);
    EXPECT_EQ(Decisions(filter), (Rows{"C123456"}));
}

// Three one-bit labels take every combination of values, one per row; a Hide term over the
// expression must hide exactly the rows for which the reference is true.
struct GroupingCase
{
    const char* name;
    std::function<void(SearchBuilder&)> expression;
    std::function<bool(bool, bool, bool)> reference;
};

class ExpressionGrouping : public FilterObjectTest,
                           public ::testing::WithParamInterface<GroupingCase>
{
};

TEST_P(ExpressionGrouping, MatchesTheReferenceForEveryCombination)
{
    builder.AddTable().Time().Digital(L"A").Digital(L"B").Digital(L"C");
    Rows expected;
    for (int bits = 0; bits < 8; ++bits)
    {
        const bool a = bits & 1, b = bits & 2, c = bits & 4;
        builder.Row(bits, {int(a), int(b), int(c)});
        expected.push_back(GetParam().reference(a, b, c) ? "H" : "-");
    }
    SearchBuilder search;
    GetParam().expression(search);
    AddTerm(filterModel, search, eqzFilterHide);
    EXPECT_EQ(Decisions(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    LeftToRightWithBrackets, ExpressionGrouping,
    ::testing::Values(
        GroupingCase{"OrThenAnd",
                     [](SearchBuilder& s)
                     { s.Is(L"A", 1, 1).Or().Is(L"B", 1, 1).And().Is(L"C", 1, 1); },
                     [](bool a, bool b, bool c) { return (a || b) && c; }},
        GroupingCase{"AndThenOr",
                     [](SearchBuilder& s)
                     { s.Is(L"A", 1, 1).And().Is(L"B", 1, 1).Or().Is(L"C", 1, 1); },
                     [](bool a, bool b, bool c) { return (a && b) || c; }},
        GroupingCase{"BracketedAnd",
                     [](SearchBuilder& s)
                     { s.Is(L"A", 1, 1).Or().Open().Is(L"B", 1, 1).And().Is(L"C", 1, 1).Close(); },
                     [](bool a, bool b, bool c) { return a || (b && c); }},
        GroupingCase{"NestedBrackets",
                     [](SearchBuilder& s) {
                         s.Open()
                             .Open()
                             .Is(L"A", 1, 0)
                             .Close()
                             .Or()
                             .Is(L"B", 1, 1)
                             .Close()
                             .And()
                             .Is(L"C", 1, 0);
                     },
                     [](bool a, bool b, bool c) { return (!a || b) && !c; }},
        GroupingCase{"SingleEvent", [](SearchBuilder& s) { s.Is(L"B", 2, 1); },
                     [](bool, bool b, bool) { return !b; }}),
    ByName());

TEST_F(FilterObjectTest, DontCareBitsAreMaskedOut)
{
    builder.AddTable().Time().Digital(L"D", 8);
    builder.Row(0, {0x4F}).Row(1, {0x50}).Row(2, {0x5F}).Row(3, {0x60});
    AddTerm(filterModel, SearchBuilder().Is(L"D", 1, 0x5A, 0x0F), eqzFilterHide);
    EXPECT_EQ(Decisions(), (Rows{"-", "H", "H", "-"}));
}

TEST_F(FilterObjectTest, RangeBoundsAreOrderedAndInclusive)
{
    builder.AddTable().Time().Digital(L"D", 8);
    builder.Row(0, {9}).Row(1, {10}).Row(2, {20}).Row(3, {21});
    AddTerm(filterModel, SearchBuilder().Is(L"D", 7, 20, 10), eqzFilterHide);
    EXPECT_EQ(Decisions(), (Rows{"-", "H", "H", "-"}));
    filterModel.Reset();
    filterModel.Remove(0, true);
    AddTerm(filterModel, SearchBuilder().Is(L"D", 8, 20, 10), eqzFilterHide);
    EXPECT_EQ(Decisions(), (Rows{"H", "-", "-", "H"}));
}

TEST_F(FilterObjectTest, WideValuesCompareAll128BitsAndIntegralWidthsCutThePattern)
{
    const CqzUInt wide = CqzUInt(0x1234) << 100 | CqzUInt(7);
    builder.AddTable().Time().Digital(L"W", 128).Integral(L"I", 128).Integral(L"N", 8);
    builder.Row(0, {wide, 7, 0xFF}).Row(1, {CqzUInt(7), CqzUInt(1) << 70 | CqzUInt(7), 0xFF});
    builder.Row(2, {0, 0, 0xFE});
    AddTerm(filterModel, SearchBuilder().Is(L"W", 1, wide), eqzFilterHide);
    // The integral pattern is cut to its low 64 bits; a sample with higher bits set differs.
    AddTerm(filterModel, SearchBuilder().Is(L"I", 1, CqzUInt(1) << 70 | CqzUInt(7)), eqzFilterColor,
            1);
    // 0x1FF cut to the 8 bits of N is 0xFF.
    AddTerm(filterModel, SearchBuilder().Is(L"N", 1, 0x1FF), eqzFilterColor, 2);
    EXPECT_EQ(Decisions(), (Rows{"H", "C2", "-"}));
}

TEST_F(FilterObjectTest, EdgePatternsOnIntegralLabelsTestBitZero)
{
    builder.AddTable().Time().Integral(L"N", 16);
    builder.Row(0, {3}).Row(1, {2}).Row(2, {CqzDataBuilder::Unknown()});
    AddTerm(filterModel, SearchBuilder().Edge(L"N", 4), eqzFilterHide);
    AddTerm(filterModel, SearchBuilder().Edge(L"N", 5), eqzFilterColor, 5);
    EXPECT_EQ(Decisions(), (Rows{"H", "C5", "-"}));
    filterModel.Remove(0, false);
    filterModel.Remove(0, true);
    AddTerm(filterModel, SearchBuilder().Edge(L"N", 6), eqzFilterHide);
    EXPECT_EQ(Decisions(), (Rows{"H", "H", "-"}));
}

TEST_F(FilterObjectTest, StringTermsIgnoreCaseAndUnknownChoicesNeverMatch)
{
    builder.AddTable().Time().String(L"MSG");
    builder.Row(0, {L"bus ERROR"}).Row(1, {L"ok"}).Row(2, {CqzDataBuilder::NoData()});
    AddTerm(filterModel, SearchBuilder().Text(L"MSG", 1, L"Err"), eqzFilterHide);
    AddTerm(filterModel, SearchBuilder().Text(L"MSG", 3, L"ok"), eqzFilterShow);
    AddTerm(filterModel, SearchBuilder().Text(L"MSG", 2, L"err"), eqzFilterColor, 0xabc);
    CqzFilterObject filter;
    filter.Build(data, filterModel);
    EXPECT_TRUE(filter.HasStrings());
    EXPECT_EQ(filter.GetStringIterCount(), 3);
    EXPECT_EQ(filter.GetValueIterCount(), 0);
    // The never-true "<" leaf is inverted by its Show action and so matches every row first.
    EXPECT_EQ(Decisions(filter), (Rows{"H", "S", "S"}));
}

TEST_F(FilterObjectTest, EveryOccurrenceGetsItsOwnIteratorAndIndex)
{
    builder.AddTable().Time().Integral(L"X", 32).String(L"S");
    builder.Row(0, {4, L"a"});
    AddTerm(filterModel,
            SearchBuilder().Is(L"X", 5, 4).And().Text(L"S", 1, L"a").And().Is(L"X", 6, 4),
            eqzFilterHide);
    AddTerm(filterModel, SearchBuilder().Is(L"X", 1, 9).Or().Is(L"X", 1, 4), eqzFilterShow);
    CqzFilterObject filter;
    filter.Build(data, filterModel);
    EXPECT_EQ(filter.GetValueIterCount(), 4);
    EXPECT_EQ(filter.GetStringIterCount(), 1);
    EXPECT_EQ(Decisions(filter), (Rows{"H"}));
}

TEST_F(FilterObjectTest, RebuildPicksUpAChangedColour)
{
    builder.AddTable().Time().Integral(L"X", 32);
    builder.Row(0, {1}).Row(1, {2});
    AddTerm(filterModel, SearchBuilder().Is(L"X", 1, 1), eqzFilterHide);
    AddTerm(filterModel, SearchBuilder().Is(L"X", 1, 2), eqzFilterColor, 0x10);
    CqzFilterObject filter;
    filter.Build(data, filterModel);
    EXPECT_EQ(Decisions(filter), (Rows{"H", "C10"}));
    std::vector<CqzFilterAction*> actions;
    filterModel.GetActions(actions);
    actions[1]->SetColor(0x20);
    filter.Build(data, filterModel);
    EXPECT_EQ(filter.GetRootCount(), 2);
    EXPECT_EQ(filter.GetValueIterCount(), 2);
    EXPECT_EQ(Decisions(filter), (Rows{"H", "C20"}));
}

TEST_F(FilterObjectTest, UnknownLabelIsAConstantFalseOperand)
{
    builder.AddTable().Time().Integral(L"X", 32);
    builder.Row(0, {1});
    const CqzID gone = AddTestLabel(L"GONE", eqzLabelIntegral);
    AddTerm(filterModel, SearchBuilder().Is(L"GONE", 1, 0).Or().Is(L"X", 1, 1), eqzFilterHide);
    CqzLabelMgr::Instance().RemoveLabel(gone);
    EXPECT_EQ(Decisions(), (Rows{"H"}));
}

} // namespace
