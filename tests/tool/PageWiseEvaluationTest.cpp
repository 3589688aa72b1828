// The page-wise evaluation against the row-by-row reference: random filters over random data
// (fixed seed, many rounds), and every record of every page, the filter cache ranges and the
// displayable-row counts must be the same from both. Run once per form of the page compares
// the processor has (AVX-512, AVX2, and the scalar form that is forced off the vector unit).

#include "evaluation/CqzFilterPageCompare.h"
#include "output/CqzFilterEngine.h"
#include "output/SqzFilterOutput.h"
#include "qzSystem/data/CqzData.h"
#include "qzSystem/data/CqzDataTable.h"
#include "qzSystem/output/CqzRecordPalette.h"
#include "ToolFixture.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace
{
// Fewer rounds in unoptimised (sanitizer) builds, to keep them to a few seconds.
#ifdef NDEBUG
constexpr int Rounds = 400;
#else
constexpr int Rounds = 100;
#endif
const wchar_t* const Texts[] = {L"idle", L"ERR: timeout", L"read ok",
                                L"",     L"Parity Error", L"retry"};
const wchar_t* const Patterns[] = {L"err", L"OK", L"", L"r", L"timeout", L"zz"};

// A label name unique over the rounds of a test.
CString Name(const wchar_t* prefix, int round, int table, int column = 0)
{
    const std::wstring text = prefix + std::to_wstring(round) + L"_" + std::to_wstring(table) +
                              L"_" + std::to_wstring(column);
    return CString(text.c_str());
}

struct SqzLabel
{
    CString name;
    EqzLabelType type;
    int width;
    std::vector<CqzUInt> palette; // values the data and the patterns share
};

// What a display sees of one table's output.
struct SqzSeen
{
    std::vector<std::uint64_t> records;
    std::vector<std::pair<std::int64_t, std::int64_t>> ranges;
    std::int64_t displayable = 0;
    bool operator==(const SqzSeen&) const = default;
};

// Each round makes its own data set and tool; the fixture's data set stays unused.
class PageWiseEvaluation : public ToolFixture,
                           public ::testing::WithParamInterface<CqzFilterPageCompare::EUnit>
{
protected:
    void TearDown() override
    {
        CqzFilterPageCompare::SetUnit(CqzFilterPageCompare::GetBestUnit());
        CqzRecordPalette::SetVectorUnit(true);
        ToolFixture::TearDown();
    }

    int Pick(int n) { return static_cast<int>(rng() % static_cast<std::uint64_t>(n)); }
    bool Chance(int percent) { return Pick(100) < percent; }
    CqzUInt RandomBits(int width) { return CqzUInt(rng(), rng()) & CqzUInt::LowMask(width); }

    void MakeTable(int round, int t);
    void FillLine(CqzDataTable& table, const std::vector<int>& columns,
                  const std::vector<int>& ids);
    SearchBuilder RandomSearch();
    void AddEvent(SearchBuilder& search);
    void RandomTerms(CqzFilter& tool);
    std::vector<SqzSeen> Read(CqzFilterEngine& engine, const CqzID& instance,
                              std::uint64_t orderSeed);

    std::mt19937_64 rng{20261206};
    std::unique_ptr<CqzData> capture;
    std::vector<SqzLabel> labels;
    std::vector<std::int64_t> pageOrder;
};

void PageWiseEvaluation::MakeTable(int round, int t)
{
    CqzDataTable& table = *capture->AddTable();
    table.AddLabelColumn(eqzLabelTime, Name(L"T", round, t));
    std::vector<int> columns, ids;
    for (int c = 0, n = 1 + Pick(4); c < n; ++c)
    {
        SqzLabel label{Name(L"L", round, t, c), eqzLabelDigital, 0, {}};
        const int kind = Pick(5);
        if (kind < 2)
            label.width = 1 + Pick(128);
        else if (kind < 4)
        {
            label.type = eqzLabelIntegral;
            label.width = 8 << Pick(5);
        }
        else
            label.type = eqzLabelString;
        for (int v = 0; v < 5; ++v)
            label.palette.push_back(RandomBits(label.width ? label.width : 1));
        columns.push_back(table.AddLabelColumn(label.type, label.name, label.width));
        ids.push_back(static_cast<int>(labels.size()));
        labels.push_back(label);
    }
    // Rows around the page edges, sometimes with subrows, times interleaving between tables.
    static const int Sizes[] = {1, 2, 511, 512, 513, 1023, 1024, 1100, 1600};
    const int rows = Sizes[Pick(9)];
    const bool subrows = Chance(25);
    std::int64_t time = Pick(40);
    for (int row = 0; row < rows; ++row)
    {
        table.AppendRow(time += Pick(4));
        FillLine(table, columns, ids);
        for (int s = subrows ? Pick(3) : 0; s > 0; --s)
        {
            table.AppendSubrow(time += Pick(2));
            FillLine(table, columns, ids);
        }
    }
    if (subrows)
        table.EnableSubrows();
}

// Values mostly hold or come from the palette, so that equality terms match; statuses 3 and
// 4 come and go in stretches.
void PageWiseEvaluation::FillLine(CqzDataTable& table, const std::vector<int>& columns,
                                  const std::vector<int>& ids)
{
    for (std::size_t c = 0; c < columns.size(); ++c)
    {
        const SqzLabel& label = labels[std::size_t(ids[c])];
        if (Chance(8))
            table.SetStatus(columns[c], 3 + Pick(2));
        else if (Chance(40))
            continue;
        else if (label.type == eqzLabelString)
            table.SetText(columns[c], Texts[Pick(6)]);
        else
            table.SetValue(columns[c], Chance(80) ? label.palette[std::size_t(Pick(5))]
                                                  : RandomBits(label.width));
    }
}

void PageWiseEvaluation::AddEvent(SearchBuilder& search)
{
    const SqzLabel& label = labels[std::size_t(Pick(int(labels.size())))];
    if (label.type == eqzLabelString)
        return void(search.Text(label.name, 1 + Pick(3), Patterns[Pick(6)]));
    if (label.type == eqzLabelIntegral && Chance(10))
        return void(search.Edge(label.name, 4 + Pick(3)));
    // Mostly values the data holds; sometimes any width, up to far beyond the label's.
    auto operand = [&]
    {
        return Chance(75) ? label.palette[std::size_t(Pick(5))]
                          : RandomBits(1 + Pick(std::min(128, label.width + 24)));
    };
    const CqzUInt value = operand();
    const int choice = 1 + Pick(8);
    CqzUInt second = operand();
    if (choice < 7)
        second = Chance(50) ? CqzUInt() : RandomBits(Pick(label.width + 1)); // don't-care bits
    search.Is(label.name, choice, value, second);
}

SearchBuilder PageWiseEvaluation::RandomSearch()
{
    SearchBuilder search;
    int depth = 0;
    for (int e = 0, n = 1 + Pick(4); e < n; ++e)
    {
        if (e > 0)
            Chance(50) ? search.And() : search.Or();
        for (; Chance(25); ++depth)
            search.Open();
        AddEvent(search);
        for (; depth > 0 && Chance(35); --depth)
            search.Close();
    }
    for (; depth > 0; --depth)
        search.Close();
    return search;
}

void PageWiseEvaluation::RandomTerms(CqzFilter& tool)
{
    for (int t = 0, n = Pick(5); t < n; ++t)
    {
        CqzSearchModel search = RandomSearch().Build();
        search.SetEnabled(!Chance(15));
        CqzFilterAction action;
        action.SetType(static_cast<unsigned>(Pick(3)));
        action.SetColor(static_cast<unsigned>(rng() & 0xffffff));
        tool.GetFilterModel().InsertAfter(&search, &action, -1);
    }
}

// Rows first ... last of the first table's output, produced at once; the rows hidden.
int ProduceFirstTable(CqzFilterEngine& engine, int first, int last)
{
    return engine.GetOutputCount() > 0 ? engine.Produce(engine.GetOutput(0)->tableID, first, last)
                                       : 0;
}

// Every table's output read a page at a time in a shuffled page order, as a display jumping
// through the capture would.
std::vector<SqzSeen> PageWiseEvaluation::Read(CqzFilterEngine& engine, const CqzID& instance,
                                              std::uint64_t orderSeed)
{
    std::mt19937_64 order(orderSeed);
    std::vector<SqzSeen> seen;
    for (int i = 0; i < engine.GetOutputCount(); ++i)
    {
        const SqzFilterOutput& out = *engine.GetOutput(i);
        CqzPageDataSource& source = out.GetSource();
        std::unique_ptr<CqzSampleAttributesDataSourceIter> it(
            static_cast<CqzSampleAttributesDataSourceIter*>(source.CreateIter()));
        std::vector<std::int64_t> pages(std::size_t(source.GetPageCount()));
        for (std::size_t p = 0; p < pages.size(); ++p)
            pages[p] = std::int64_t(p);
        std::shuffle(pages.begin(), pages.end(), order);
        SqzSeen s;
        for (const std::int64_t page : pages)
            for (it->SetPosition(page * 512);
                 !it->IsAtEnd() && it->GetPosition() < (page + 1) * 512; it->Next())
                s.records.push_back(it->GetValue().GetRaw());
        s.ranges = CqzDataCacheMgr::Instance()
                       .GetSystemFilterCache()
                       .AddCache(instance, out.tableID)
                       .GetRanges();
        s.displayable = source.GetDisplayableRowCount();
        seen.push_back(std::move(s));
    }
    return seen;
}

} // namespace

TEST_P(PageWiseEvaluation, EveryRecordEqualsTheRowByRowReference)
{
    if (CqzFilterPageCompare::SetUnit(GetParam()) != GetParam())
        GTEST_SKIP() << "the processor has no " << CqzFilterPageCompare::GetUnitName(GetParam());
    // The output pages' coding follows: plain loops with the plain unit.
    CqzRecordPalette::SetVectorUnit(GetParam() != CqzFilterPageCompare::eScalar);
    for (int round = 0; round < Rounds; ++round)
    {
        SCOPED_TRACE("round " + std::to_string(round));
        capture = std::make_unique<CqzData>();
        labels.clear();
        const int tables = Chance(35) ? 2 : 1;
        for (int t = 0; t < tables; ++t)
            MakeTable(round, t);

        // Sometimes an earlier filter tool in the chain, whose records are the input.
        std::unique_ptr<CqzFilter> earlier;
        if (Chance(35))
        {
            earlier = MakeTool();
            RandomTerms(*earlier);
            earlier->SetData(capture.get());
            CqzMessageRun run(false);
            earlier->HandleMessage(&run);
        }
        tool = MakeTool();
        RandomTerms(*tool);

        const std::uint64_t orderSeed = rng();
        CqzFilterEngine byRow(tool.get());
        byRow.SetPageWise(false);
        byRow.Prepare(*capture);
        // A block that is not a page (as a command may ask for) before the display's reads.
        const int first = Pick(700), last = first + Pick(1400);
        const int hiddenByRow = ProduceFirstTable(byRow, first, last);
        const std::vector<SqzSeen> reference = Read(byRow, tool->GetInstanceID(), orderSeed);
        // The reference run made its own column the attribute column; the earlier tool's is
        // the input again.
        for (int t = 0; earlier && t < capture->GetTableCount(); ++t)
            capture->GetTable(t)->SetAttributeID(eqzRoleAttributes, earlier->GetInstanceID());

        CqzFilterEngine byPage(tool.get());
        byPage.Prepare(*capture);
        EXPECT_EQ(ProduceFirstTable(byPage, first, last), hiddenByRow);
        const std::vector<SqzSeen> paged = Read(byPage, tool->GetInstanceID(), orderSeed);
        ASSERT_EQ(paged.size(), reference.size());
        for (std::size_t t = 0; t < paged.size(); ++t)
        {
            ASSERT_EQ(paged[t].records.size(), reference[t].records.size());
            for (std::size_t r = 0; r < paged[t].records.size(); ++r)
                ASSERT_EQ(paged[t].records[r], reference[t].records[r])
                    << "table " << t << " line " << r;
            EXPECT_EQ(paged[t].ranges, reference[t].ranges) << "table " << t;
            EXPECT_EQ(paged[t].displayable, reference[t].displayable) << "table " << t;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Units, PageWiseEvaluation,
                         ::testing::Values(CqzFilterPageCompare::eScalar,
                                           CqzFilterPageCompare::eAvx2,
                                           CqzFilterPageCompare::eAvx512),
                         [](const auto& info)
                         { return info.param == CqzFilterPageCompare::eScalar ? "Scalar"
                                  : info.param == CqzFilterPageCompare::eAvx2 ? "Avx2"
                                                                              : "Avx512"; });
