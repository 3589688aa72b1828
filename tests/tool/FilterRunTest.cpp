#include "ToolFixture.h"

#include "qzSystem/messages/CqzMessageDestroyPlugIn.h"
#include "qzSystem/messages/CqzMessageRefresh.h"
#include "qzSystem/output/CqzDataTableFilterCache.h"
#include "qzSystem/output/CqzPageDataSource.h"

#include <utility>
#include <vector>

namespace
{

using Ranges = std::vector<std::pair<std::int64_t, std::int64_t>>;

class FilterRunTest : public ToolFixture
{
protected:
    // One table with a label X holding the given values, one row per value.
    void Values(const std::vector<int>& values)
    {
        builder.AddTable().Time().Integral(L"X", 32);
        for (std::size_t i = 0; i < values.size(); ++i)
            builder.Row(std::int64_t(i) * 10, {values[i]});
    }

    Ranges CachedRanges(int tableIndex = 0)
    {
        CqzDataTableFilterCache* cache =
            CqzDataCacheMgr::Instance().GetSystemFilterCache().GetCache(
                tool->GetInstanceID(), data.GetTable(tableIndex)->GetID());
        return cache ? cache->GetRanges() : Ranges{};
    }
};

// A show term acts, hiding the row, where its expression is false.
TEST_F(FilterRunTest, RowsAreShownHiddenOrColouredByTheFirstMatchingTerm)
{
    Values({5, 7, 12, 5, 20});
    AddTerm(SearchBuilder().Is(L"X", 1, 5), eqzFilterHide);
    AddTerm(SearchBuilder().Is(L"X", 3, 10), eqzFilterColor, 0xffffff);
    AddTerm(SearchBuilder().Is(L"X", 1, 12), eqzFilterShow);
    Run();
    EXPECT_EQ(Listing(), "h cffffff . h h");
}

TEST_F(FilterRunTest, AttributeColumnIsProducedOnlyWhenADisplayReads)
{
    Values(std::vector<int>(2000, 5));
    AddTerm(SearchBuilder().Is(L"X", 1, 5), eqzFilterHide);
    Run();
    CqzDataTable* table = data.GetTable(0);
    CqzDataColumn* column = table->GetColumn(eqzRoleAttributes);
    ASSERT_NE(column, nullptr);
    EXPECT_EQ(column, table->GetColumnAt(table->FindColumn(tool->GetInstanceID())));
    EXPECT_TRUE(column->GetAttributes().IsSet(15));
    EXPECT_TRUE(column->GetAttributes().IsSet(16));
    EXPECT_EQ(column->GetDataSource()->GetDataTypeName(), CString(L"CqzSampleAttributes"));
    auto* source = dynamic_cast<CqzPageDataSource*>(column->GetDataSource());
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->GetAllocatedPageCount(), 0);
    EXPECT_EQ(source->GetDisplayableRowCount(), 2000);
    std::unique_ptr<CqzSampleAttributesDataSourceIter> it(
        static_cast<CqzSampleAttributesDataSourceIter*>(source->CreateIter()));
    it->SetPosition(1100);
    EXPECT_TRUE(it->GetValue().IsHidden());
    EXPECT_EQ(source->GetDisplayableRowCount(), 2000 - 512);
}

// Hidden runs: which of them reach the filter cache, for one 512-row page.
struct RunCase
{
    const char* name;
    std::vector<std::pair<int, int>> hidden; // [first, last] runs of hidden rows
    Ranges expected;
};

class HiddenRunRegistration : public FilterRunTest, public ::testing::WithParamInterface<RunCase>
{
};

TEST_P(HiddenRunRegistration, RegistersLongRunsAndRunsAtTheBlockEdges)
{
    std::vector<int> values(512, 0);
    for (auto [first, last] : GetParam().hidden)
        for (int r = first; r <= last; ++r)
            values[std::size_t(r)] = 1;
    Values(values);
    AddTerm(SearchBuilder().Is(L"X", 1, 1), eqzFilterHide);
    Run();
    Listing();
    EXPECT_EQ(CachedRanges(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, HiddenRunRegistration,
    ::testing::Values(RunCase{"ShortRunAtBlockStart", {{0, 2}}, {{0, 2}}},
                      RunCase{"ShortRunInside", {{100, 130}}, {}},
                      RunCase{"LongRunInside", {{100, 131}}, {{100, 131}}},
                      RunCase{"ShortRunAtBlockEnd", {{510, 511}}, {{510, 511}}},
                      RunCase{"Mixed", {{0, 0}, {10, 12}, {200, 299}}, {{0, 0}, {200, 299}}}),
    [](const ::testing::TestParamInfo<RunCase>& info) { return info.param.name; });

TEST_F(FilterRunTest, DisabledFilterLeavesTheDataSetAloneAndNoEnabledTermShowsEveryRow)
{
    Values({1, 2});
    AddTerm(SearchBuilder().Is(L"X", 1, 1), eqzFilterHide);
    tool->GetFilterModel().SetEnabled(false);
    const int columns = data.GetTable(0)->GetColumnCount();
    Run();
    EXPECT_EQ(data.GetTable(0)->GetColumnCount(), columns);
    EXPECT_EQ(Listing(), "no column");
    tool->GetFilterModel().SetEnabled(true);
    tool->GetFilterModel().SetFilterEnabled(0, false);
    Run();
    EXPECT_EQ(Listing(), ". .");
}

// A rerun and a refresh both evaluate the model as it is now, not the tool's earlier output.
TEST_F(FilterRunTest, RerunAndRefreshProduceAgainWithTheModelAsItIsNow)
{
    Values({1, 2});
    AddTerm(SearchBuilder().Is(L"X", 1, 1), eqzFilterHide);
    Run();
    EXPECT_EQ(Listing(), "h .");
    OnlyTerm(SearchBuilder().Is(L"X", 1, 2), eqzFilterHide);
    Run();
    EXPECT_EQ(Listing(), ". h");
    EXPECT_EQ(CachedRanges(), (Ranges{{1, 1}})) << "the refresh has a range to drop";
    OnlyTerm(SearchBuilder().Is(L"X", 1, 2), eqzFilterColor, 0xab);
    CqzMessageRefresh refresh;
    tool->HandleMessage(&refresh);
    EXPECT_EQ(Listing(), ". cab");
    EXPECT_EQ(CachedRanges(), Ranges{});
}

TEST_F(FilterRunTest, RefreshBringingTheFirstStringLabelReadsTexts)
{
    builder.AddTable().Time().Integral(L"X", 32).String(L"MSG");
    builder.Row(0, {1, L"error"}).Row(1, {2, L"fine"});
    AddTerm(SearchBuilder().Is(L"X", 1, 1), eqzFilterHide);
    Run();
    OnlyTerm(SearchBuilder().Text(L"MSG", 1, L"ERR"), eqzFilterHide);
    CqzMessageRefresh changed(CqzMessageRefresh::DataChangedTypeID);
    tool->HandleMessage(&changed);
    EXPECT_EQ(Listing(), "h .");
}

TEST_F(FilterRunTest, AfterTheDataSetIsForgottenNothingIsProduced)
{
    Values({1, 1});
    AddTerm(SearchBuilder().Is(L"X", 1, 1), eqzFilterHide);
    Run();
    CqzMessageDestroyPlugIn destroy;
    tool->HandleMessage(&destroy);
    CqzMessageRefresh refresh;
    tool->HandleMessage(&refresh);
    EXPECT_EQ(Listing(), ". .");
}

TEST_F(FilterRunTest, SecondToolKeepsWhatTheFirstHidOrColoured)
{
    Values({1, 2, 3, 4});
    AddTerm(SearchBuilder().Is(L"X", 1, 1), eqzFilterHide);
    AddTerm(SearchBuilder().Is(L"X", 1, 2), eqzFilterColor, 0x11);
    AddTerm(SearchBuilder().Is(L"X", 1, 3), eqzFilterColor, 0x22);
    Run();
    std::unique_ptr<CqzFilter> second = MakeTool();
    AddTerm(SearchBuilder().Is(L"X", 1, 3), eqzFilterHide, 0, second.get());
    AddTerm(SearchBuilder().Is(L"X", 3, 5), eqzFilterColor, 0x33, second.get());
    Run(second.get());
    // Row 0 stays hidden without evaluation, row 1 keeps its colour, row 2's earlier colour
    // stays while the second tool hides it, row 3 takes the second tool's colour.
    EXPECT_EQ(Listing(0, second.get()), "h c11 hc22 c33");
}

TEST_F(FilterRunTest, SubrowsAreEvaluatedLineByLine)
{
    builder.AddTable().Time().Integral(L"X", 32);
    builder.Row(0, {1}).Subrow(1, {2}).Subrow(2, {1});
    builder.Row(10, {1}).Subrow(11, {1});
    builder.Row(20, {3});
    AddTerm(SearchBuilder().Is(L"X", 1, 1), eqzFilterHide);
    AddTerm(SearchBuilder().Is(L"X", 1, 3), eqzFilterColor, 0x7);
    Run();
    EXPECT_EQ(Listing(), "h . h h h c7");
    // Only the second row has no shown line: a short run inside the block, not registered.
    EXPECT_EQ(CachedRanges(), Ranges{});
}

TEST_F(FilterRunTest, SubrowLinesHiddenByAnEarlierToolStayHidden)
{
    builder.AddTable().Time().Integral(L"X", 32);
    builder.Row(0, {1}).Subrow(1, {2});
    builder.Row(10, {3});
    AddTerm(SearchBuilder().Is(L"X", 1, 1), eqzFilterHide);
    Run();
    std::unique_ptr<CqzFilter> second = MakeTool();
    AddTerm(SearchBuilder().Is(L"X", 3, 5), eqzFilterColor, 0x44, second.get());
    Run(second.get());
    EXPECT_EQ(Listing(0, second.get()), "h c44 c44");
}

TEST_F(FilterRunTest, SubrowLinesAreCorrelatedByTheirOwnTime)
{
    builder.AddTable().Time().Integral(L"X", 32);
    builder.Row(0, {1}).Subrow(5, {2});
    builder.Row(10, {3});
    builder.AddTable().Time().Integral(L"Y", 32);
    builder.Row(4, {7});
    AddTerm(SearchBuilder().Is(L"Y", 1, 7), eqzFilterHide);
    Run();
    EXPECT_EQ(Listing(0), ". h h");
    EXPECT_EQ(Listing(1), "h");
}

TEST_F(FilterRunTest, TablesAreCorrelatedByTimeWhenThereAreSeveral)
{
    builder.AddTable().Time().Integral(L"A", 32);
    builder.Row(0, {1}).Row(10, {2}).Row(20, {3});
    builder.AddTable().Time().Integral(L"B", 32);
    builder.Row(5, {7}).Row(15, {8});
    AddTerm(SearchBuilder().Is(L"B", 1, 7), eqzFilterHide);
    Run();
    // In table 0, B is read at the time of each row: none yet at 0, 7 at 10, 8 at 20.
    EXPECT_EQ(Listing(0), ". h .");
    EXPECT_EQ(Listing(1), "h .");
}

TEST_F(FilterRunTest, OneTableIsCorrelatedByRowIndex)
{
    builder.AddTable().Time().Integral(L"A", 32).Integral(L"B", 32);
    builder.Row(0, {1, 7}).Row(10, {2, 8});
    AddTerm(SearchBuilder().Is(L"B", 1, 7).And().Is(L"A", 1, 1), eqzFilterHide);
    Run();
    EXPECT_EQ(Listing(), "h .");
}

} // namespace
