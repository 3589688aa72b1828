// Sample access: iterators at rows, at time positions, on bits and subrows; the correlator.

#include "qzSystem/data/CqzDataBuilder.h"
#include "qzSystem/data/CqzSampleIntegerIter.h"
#include "qzSystem/data/CqzSampleIter.h"
#include "qzSystem/data/CqzSampleStringIter.h"
#include "qzSystem/data/CqzSampleTimeIter.h"
#include "qzSystem/data/CqzTimeCorrelatedIter.h"
#include "qzSystem/managers/CqzLabelMgr.h"

#include <gtest/gtest.h>

#include <random>

namespace
{

class SampleAccess : public ::testing::Test
{
protected:
    void SetUp() override { CqzLabelMgr::Instance().Reset(); }
    void TearDown() override { CqzLabelMgr::Instance().Reset(); }

    template <typename Iter, typename... Args>
    CqzSampleIterBase* Make(const CString& label, int channel, Args... args)
    {
        owned.push_back(std::make_unique<Iter>(data, b.Channel(label, channel), args...));
        return owned.back().get();
    }
    std::vector<CqzUInt> Values(CqzTimeCorrelatedIter& c)
    {
        c.GetValue(values, statuses);
        return values;
    }

    CqzData data;
    CqzDataBuilder b{data};
    std::vector<std::unique_ptr<CqzSampleIterBase>> owned;
    std::vector<CqzUInt> values;
    std::vector<int> statuses;
};

TEST_F(SampleAccess, ReadsEachLabelAtARowAndNoDataOutOfRange)
{
    const CqzUInt wide(0xDEADBEEF00000001ull, 0x0123456789ABCDEFull);
    b.AddTable().Time().Digital(L"BUS", 8).Integral(L"W", 128).Digital(L"D", 3);
    b.Row(0, {0xA5, wide, 5}).Row(1, {0x5A, CqzDataBuilder::Unknown(), 2});
    CqzTimeCorrelatedIter c(data, {Make<CqzSampleIter>(L"BUS", -1, 3, 5),
                                   Make<CqzSampleIntegerIter>(L"W", -1, 1, 5),
                                   Make<CqzSampleIter>(L"D", -1, 3, 5)});
    ASSERT_EQ(c.GetIterCount(), 3);
    c.SetIndex(0);
    EXPECT_EQ(Values(c), (std::vector<CqzUInt>{0xA5, wide, 5}));
    EXPECT_EQ(statuses, (std::vector<int>{0, 0, 0}));
    c.SetIndex(1);
    EXPECT_EQ(Values(c)[0], CqzUInt(0x5A));
    EXPECT_EQ(statuses, (std::vector<int>{0, 4, 0}));
    for (std::int64_t row : {-1, 2, 1000})
    {
        c.SetIndex(row);
        EXPECT_EQ(Values(c), (std::vector<CqzUInt>{0, 0, 0})) << row;
        EXPECT_EQ(statuses, (std::vector<int>{3, 3, 3})) << row;
    }
    c.SetIndex(0, 0); // row 0 has no subrow
    c.GetValue(values, statuses);
    EXPECT_EQ(statuses[0], 3);
}

// Occurrences of one label are read once and copied; stepping with Next must land where
// SetIndex lands, statuses included, up to and past the last row.
TEST_F(SampleAccess, NextMatchesSetIndexAndRepeatedLabelsReadAlike)
{
    b.AddTable().Time().Digital(L"A", 8).Digital(L"B", 8);
    b.Row(0, {1, 10}).Row(1, {2, CqzDataBuilder::Unknown()}).Row(2, {3, 30});
    auto iters = [this]
    {
        return std::vector<CqzSampleIterBase*>{
            Make<CqzSampleIter>(L"A", -1, 3, 5), Make<CqzSampleIter>(L"B", -1, 3, 5),
            Make<CqzSampleIter>(L"A", -1, 3, 5), Make<CqzSampleIter>(L"A", 0, 3, 5)};
    };
    CqzTimeCorrelatedIter stepped(data, iters()), indexed(data, iters());
    std::vector<CqzUInt> expected;
    std::vector<int> expectedStatuses;
    stepped.SetIndex(0);
    for (std::int64_t row = 0; row < 5; ++row, stepped.Next())
    {
        indexed.SetIndex(row);
        indexed.GetValue(expected, expectedStatuses);
        EXPECT_EQ(Values(stepped), expected) << row;
        EXPECT_EQ(statuses, expectedStatuses) << row;
        EXPECT_EQ(values[0], values[2]) << row;
    }
    indexed.SetIndex(1);
    EXPECT_EQ(Values(indexed), (std::vector<CqzUInt>{2, 10, 2, 0}));
    EXPECT_EQ(statuses, (std::vector<int>{0, 4, 0, 0}));
}

TEST_F(SampleAccess, ABitChannelReadsOneBitAndABitBeyondTheWidthHasNoData)
{
    b.AddTable().Digital(L"BUS", 8).Integral(L"W", 128);
    b.Row(0, {0b1000'0010, CqzUInt(1ull << 63, 0)});
    CqzTimeCorrelatedIter c(
        data, {Make<CqzSampleIter>(L"BUS", 1, 3, 5), Make<CqzSampleIter>(L"BUS", 0, 3, 5),
               Make<CqzSampleIter>(L"BUS", 7, 3, 5), Make<CqzSampleIter>(L"BUS", 8, 3, 5),
               Make<CqzSampleIntegerIter>(L"W", 127, 1, 5)});
    c.SetIndex(0);
    EXPECT_EQ(Values(c), (std::vector<CqzUInt>{1, 0, 1, 0, 1}));
    EXPECT_EQ(statuses, (std::vector<int>{0, 0, 0, 3, 0}));
}

TEST_F(SampleAccess, UnknownLabelsNullIteratorsAndWrongKindsGiveNoData)
{
    b.AddTable().Digital(L"D", 4).String(L"S");
    b.Row(0, {3, L"ok"});
    CqzSampleIter unknown(data, CqzLabelChannel(CqzID(), -1), 3, 5);
    EXPECT_EQ(unknown.GetTable(), nullptr);
    CqzTimeCorrelatedIter c(data, {&unknown, nullptr, Make<CqzSampleStringIter>(L"S", -1, 5, true),
                                   Make<CqzSampleIter>(L"D", -1, 3, 5)});
    c.SetIndex(0);
    std::vector<CString> texts{L"stale", L"stale"};
    c.GetValue(texts, statuses);
    EXPECT_EQ(texts, (std::vector<CString>{L"", L"", L"ok", L""}));
    EXPECT_EQ(statuses, (std::vector<int>{3, 3, 0, 3}));
    c.GetValue(values, statuses);
    EXPECT_EQ(statuses, (std::vector<int>{3, 3, 3, 0}));
    c.SetPosition(CqzPosition(0)); // the table has no time column
    c.GetValue(values, statuses);
    EXPECT_EQ(statuses, (std::vector<int>{3, 3, 3, 3}));
}

TEST_F(SampleAccess, TextsAreAssignedIntoTheCallersStringsWithoutReallocating)
{
    b.AddTable().String(L"S");
    b.Row(0, {L"a rather long text that does not fit a small-string buffer"}).Row(0, {L"short"});
    CqzTimeCorrelatedIter c(data, {Make<CqzSampleStringIter>(L"S", -1, 5, true)});
    std::vector<CString> texts;
    c.SetIndex(0);
    c.GetValue(texts, statuses);
    const wchar_t* buffer = texts[0].GetString();
    const CString* slot = texts.data();
    c.SetIndex(1);
    c.GetValue(texts, statuses);
    EXPECT_EQ(texts[0], L"short");
    EXPECT_EQ(texts.data(), slot);
    EXPECT_EQ(texts[0].GetString(), buffer);
}

// Two tables sampled at different times: A at 10, 20, 20, 30; B at 15, 25, 40, 41, ...
class TimeCorrelation : public SampleAccess
{
protected:
    void SetUp() override
    {
        SampleAccess::SetUp();
        b.AddTable().Time().Integral(L"A", 16);
        b.Row(10, {1}).Row(20, {2}).Row(20, {3}).Row(30, {4});
        b.AddTable().Time().Integral(L"B", 32);
        b.Row(15, {100}).Row(25, {101});
        for (int i = 0; i < 200; ++i)
            b.Row(40 + i, {200 + i});
    }
    // The row of a table whose time is the last at or before t, by a plain walk.
    static std::int64_t Expected(const CqzDataTable& t, std::int64_t time)
    {
        std::int64_t row = -1;
        while (row + 1 < t.GetRowCount() && t.GetTimeAt(row + 1).GetTime() <= time)
            ++row;
        return row;
    }
};

TEST_F(TimeCorrelation, StandsOnTheLastRowAtOrBeforeThePosition)
{
    CqzTimeCorrelatedIter c(data, {Make<CqzSampleIntegerIter>(L"A", -1, 1, 5),
                                   Make<CqzSampleIntegerIter>(L"B", -1, 1, 5)});
    struct
    {
        std::int64_t time;
        std::vector<CqzUInt> values;
        std::vector<int> statuses;
    } cases[] = {{5, {0, 0}, {3, 3}},      {10, {1, 0}, {0, 3}},   {12, {1, 0}, {0, 3}},
                 {15, {1, 100}, {0, 0}},   {20, {3, 100}, {0, 0}}, {29, {3, 101}, {0, 0}},
                 {1000, {4, 399}, {0, 0}}, {-50, {0, 0}, {3, 3}},  {30, {4, 101}, {0, 0}}};
    for (const auto& k : cases)
    {
        c.SetPosition(CqzPosition(k.time));
        EXPECT_EQ(Values(c), k.values) << "at " << k.time;
        EXPECT_EQ(statuses, k.statuses) << "at " << k.time;
    }
    c.SetPosition(CqzPosition::Invalid());
    c.GetValue(values, statuses);
    EXPECT_EQ(statuses, (std::vector<int>{3, 3}));
}

TEST_F(TimeCorrelation, ForwardStepsBackwardAndLongJumpsAllLandRight)
{
    CqzSampleIterBase* a = Make<CqzSampleIntegerIter>(L"A", -1, 1, 5);
    CqzSampleIterBase* bIter = Make<CqzSampleIntegerIter>(L"B", -1, 1, 5);
    std::mt19937 random(11);
    std::int64_t time = 0;
    for (int step = 0; step < 3000; ++step)
    {
        const int kind = random() % 10;
        if (kind < 7)
            time += random() % 3; // small steps forward, often the same time again
        else if (kind < 9)
            time -= random() % 60; // backward jumps
        else
            time += random() % 150; // long jumps forward
        a->SetPosition(CqzPosition(time));
        bIter->SetPosition(CqzPosition(time));
        ASSERT_EQ(a->GetLine(), Expected(*a->GetTable(), time)) << "at " << time;
        ASSERT_EQ(bIter->GetLine(), Expected(*bIter->GetTable(), time)) << "at " << time;
    }
}

TEST_F(TimeCorrelation, TheTimeIteratorDrivesTheOtherTables)
{
    const CqzDataTable& first = *data.GetTable(0);
    CqzSampleTimeIter time(data, CqzLabelChannel(first.GetColumn(eqzRoleTime)->GetLabelID(), -1), 7,
                           5);
    CqzTimeCorrelatedIter c(data, {Make<CqzSampleIntegerIter>(L"B", -1, 1, 5)});
    std::vector<CqzUInt> seen;
    time.SetIndex(0);
    do
    {
        c.SetPosition(time.GetPosition());
        seen.push_back(Values(c)[0]);
    } while (time.Next());
    EXPECT_EQ(seen, (std::vector<CqzUInt>{0, 100, 100, 101}));
    EXPECT_EQ(statuses[0], 0);
    EXPECT_FALSE(time.GetPosition().IsValid()); // walked past the last row
}

TEST_F(SampleAccess, SubrowsAreAddressedByRowAndSubrowAndByTime)
{
    b.AddTable().Time().Integral(L"V", 8).String(L"M");
    b.Row(0, {1, L"row0"}).Row(10, {2, L"row1"}).Subrow(12, {21, L"sub0"});
    b.Subrow(14, {22, CqzDataBuilder::NoData()}).Row(20, {3});
    CqzSampleIterBase* v = Make<CqzSampleIntegerIter>(L"V", -1, 1, 5);
    CqzSampleIterBase* m = Make<CqzSampleStringIter>(L"M", -1, 5, true);
    CqzTimeCorrelatedIter c(data, {v});
    CqzTimeCorrelatedIter texts(data, {m});
    std::vector<CString> strings;

    c.SetIndex(1, 1);
    EXPECT_EQ(Values(c)[0], CqzUInt(22));
    texts.SetIndex(1, 1);
    texts.GetValue(strings, statuses);
    EXPECT_EQ(statuses[0], 3);
    texts.SetIndex(2);
    texts.GetValue(strings, statuses); // a new row holds the line before it, status included
    EXPECT_EQ(statuses[0], 3);
    c.SetIndex(1, 2); // no third subrow
    Values(c);
    EXPECT_EQ(statuses[0], 3);

    c.SetPosition(CqzPosition(13)); // between the two subrows of row 1
    EXPECT_EQ(Values(c)[0], CqzUInt(21));
    EXPECT_EQ(v->GetLine(), 2);

    std::vector<std::int64_t> times;
    v->SetIndex(1);
    do
        times.push_back(v->GetPosition().GetTime());
    while (v->Next());
    EXPECT_EQ(times, (std::vector<std::int64_t>{10, 12, 14, 20}));
}

} // namespace
