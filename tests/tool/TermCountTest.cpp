// The rows each term decided, counted while pages are produced: the same counts page-wise and
// row by row, equal to counts taken from the records, each page counted once however often it
// is produced, and served through the host's term-count interface.

#include "ToolFixture.h"
#include "output/CqzFilterEngine.h"
#include "output/CqzFilterTermCounter.h"
#include "output/SqzFilterOutput.h"
#include "qzSystem/managers/CqzTermCountIFaceMgr.h"
#include "qzSystem/messages/CqzMessageRefresh.h"
#include "qzSystem/output/CqzPageDataSource.h"

namespace
{

constexpr int Rows = 1300; // two pages and a part

class TermCount : public ToolFixture
{
protected:
    void SetUp() override
    {
        ToolFixture::SetUp();
        builder.AddTable().Time().Integral(L"X", 32).Digital(L"Y", 4);
        for (int i = 0; i < Rows; ++i)
            builder.Row(std::int64_t(i) * 10, {i % 7, i % 11 == 0 ? CqzDataBuilder::Unknown()
                                                                  : CqzDataBuilder::Cell(i % 16)});
        // Colour X == 3; hide Y < 4; a disabled term; show Y != 9 (hides Y == 9 and unknown Y).
        AddTerm(SearchBuilder().Is(L"X", 1, 3), eqzFilterColor, 0x0000ff);
        AddTerm(SearchBuilder().Is(L"Y", 3, 4), eqzFilterHide);
        AddTerm(SearchBuilder().Is(L"X", 1, 0), eqzFilterHide);
        tool->GetFilterModel().SetFilterEnabled(2, false);
        AddTerm(SearchBuilder().Is(L"Y", 2, 9), eqzFilterShow);
        for (int i = 0; i < 4; ++i)
            tool->GetFilterModel().SetFilterName(i, CString(L"term ") +
                                                        CString(std::to_wstring(i).c_str()));
    }

    // Counts taken from the records themselves: the decided term follows from the values.
    static SqzTermCounts Expected()
    {
        SqzTermCounts counts;
        counts.terms.resize(3);
        for (int i = 0; i < Rows; ++i)
        {
            const bool unknown = i % 11 == 0;
            const int x = i % 7, y = i % 16;
            if (x == 3)
                ++counts.terms[0].colored;
            else if (!unknown && y < 4)
                ++counts.terms[1].hidden;
            else if (unknown || y == 9)
                ++counts.terms[2].hidden;
            else
                ++counts.undecided;
        }
        return counts;
    }

    static void ExpectCounts(const SqzTermCounts& seen, std::int64_t counted)
    {
        const SqzTermCounts expected = Expected();
        ASSERT_EQ(seen.terms.size(), 3u);
        for (std::size_t t = 0; t < 3; ++t)
        {
            EXPECT_EQ(seen.terms[t].hidden, expected.terms[t].hidden) << "term " << t;
            EXPECT_EQ(seen.terms[t].colored, expected.terms[t].colored) << "term " << t;
        }
        EXPECT_EQ(seen.undecided, expected.undecided);
        EXPECT_EQ(seen.counted, counted);
        EXPECT_EQ(seen.rows, Rows);
    }
};

TEST_F(TermCount, PageWiseAndRowByRowCountTheSameRowsAsTheRecordsSay)
{
    for (const bool pageWise : {true, false})
    {
        SCOPED_TRACE(pageWise ? "page-wise" : "row by row");
        CqzFilterEngine engine(tool.get());
        engine.SetPageWise(pageWise);
        engine.Prepare(data);
        const SqzTermCounts before = engine.GetTermCounter().GetTermCounts();
        EXPECT_EQ(before.counted, 0);
        // The disabled third term is left out; a name that is not shown goes by the number.
        EXPECT_EQ(before.terms[2].name, CString(L"Term 4"));
        EXPECT_EQ(before.terms[2].action, unsigned(eqzFilterShow));
        EXPECT_EQ(before.terms[0].color, 0x0000ffu);
        Listing(); // a display reads every row
        ExpectCounts(engine.GetTermCounter().GetTermCounts(), Rows);
    }
}

// The interface exists from the tool's creation to its deletion.
TEST_F(TermCount, APageProducedAgainIsCountedOnceAndARefreshStartsOver)
{
    const CqzID instance = tool->GetInstanceID();
    const CqzTermCountIFace* counts = CqzTermCountIFaceMgr::Instance().Find(instance);
    ASSERT_NE(counts, nullptr);
    Run();
    Listing();
    // The host invalidates the pages; reading produces them again with the same filter.
    CqzDataTable& table = *data.GetTable(0);
    auto* source = dynamic_cast<CqzPageDataSource*>(
        table.GetColumnAt(table.FindColumn(tool->GetInstanceID()))->GetDataSource());
    ASSERT_NE(source, nullptr);
    source->Invalidate();
    EXPECT_EQ(source->GetPageState(0), 2);
    Listing();
    ExpectCounts(counts->GetTermCounts(), Rows);

    // A refresh compiles the model again: the counts start over and cover what is read next.
    CqzMessageRefresh refresh(CqzMessageRefresh::RefreshTypeID);
    tool->HandleMessage(&refresh);
    EXPECT_EQ(counts->GetTermCounts().counted, 0);
    Listing();
    ExpectCounts(counts->GetTermCounts(), Rows);
    tool.reset();
    EXPECT_EQ(CqzTermCountIFaceMgr::Instance().Find(instance), nullptr);
}

} // namespace
