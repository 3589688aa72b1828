// Time columns of a fixed rate: kept as a progression (no stored entries) while the times are
// one, and from the first time that breaks it stored exactly as a plain column holds them.

#include "qzSystem/data/CqzDataBuilder.h"
#include "qzSystem/data/CqzIntegralDataSourceIter.h"
#include "qzSystem/data/CqzSampleIntegerIter.h"
#include "qzSystem/data/CqzSampleIter.h"
#include "qzSystem/data/CqzSampleStore.h"
#include "qzSystem/data/CqzSampleTimeIter.h"
#include "qzSystem/data/CqzTimeCorrelatedIter.h"
#include "qzSystem/managers/CqzLabelMgr.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <random>

namespace
{

// One operation on a store: append held lines, append zero lines, write times from a line, or
// write a run of times (first, step, count) from a line.
struct SqzStep
{
    enum EKind
    {
        eHold,
        eZeros,
        eWrite,
        eRun
    } kind;
    std::int64_t at; // lines to append, or the first line written
    std::vector<std::int64_t> times = {};
};

struct SqzProgressionCase
{
    const char* name;
    std::vector<SqzStep> steps;
    bool kept;
};

class TimeProgression : public ::testing::TestWithParam<SqzProgressionCase>
{
};

// The time store against a plain 64-bit store given the same operations.
TEST_P(TimeProgression, ReadsAsAPlainStoreAndStoresNothingWhileKept)
{
    CqzSampleStore times(eqzSampleTime, 0);
    CqzValueStore plain(64);
    for (const SqzStep& step : GetParam().steps)
    {
        if (step.kind == SqzStep::eHold || step.kind == SqzStep::eZeros)
        {
            times.Append(step.at, step.kind == SqzStep::eHold);
            plain.Append(step.at, step.kind == SqzStep::eHold);
            continue;
        }
        if (step.kind == SqzStep::eRun)
        {
            const std::int64_t first = step.times[0], by = step.times[1], count = step.times[2];
            ASSERT_TRUE(times.SetTimeSteps(step.at, count, first, by));
            for (std::int64_t i = 0; i < count; ++i)
                plain.Set(step.at + i, CqzUInt(static_cast<std::uint64_t>(first + i * by)));
            continue;
        }
        const auto count = static_cast<std::int64_t>(step.times.size());
        if (count == 1)
            ASSERT_TRUE(times.SetTime(step.at, step.times[0]));
        else
            ASSERT_TRUE(times.SetTimes(step.at, step.times.data(), count));
        plain.SetRange(step.at, reinterpret_cast<const std::uint64_t*>(step.times.data()), count);
    }
    ASSERT_EQ(times.GetCount(), plain.GetCount());
    for (std::int64_t i = 0; i < plain.GetCount(); ++i)
    {
        EXPECT_EQ(times.GetTime(i), static_cast<std::int64_t>(plain.GetLow(i))) << "line " << i;
        EXPECT_EQ(times.GetEntries().Get(i), plain.Get(i)) << "line " << i;
    }
    const CqzValueStore& entries = times.GetEntries();
    EXPECT_EQ(entries.IsProgression(), GetParam().kept);
    if (GetParam().kept)
        EXPECT_EQ(entries.GetBytes(), nullptr);
    else
        EXPECT_EQ(std::memcmp(entries.GetBytes(), plain.GetBytes(), plain.GetByteSize()), 0);
}

SqzStep Hold(std::int64_t lines)
{
    return {SqzStep::eHold, lines};
}
SqzStep Zeros(std::int64_t lines)
{
    return {SqzStep::eZeros, lines};
}
SqzStep Write(std::int64_t first, std::vector<std::int64_t> times)
{
    return {SqzStep::eWrite, first, std::move(times)};
}
SqzStep Run(std::int64_t line, std::int64_t first, std::int64_t step, std::int64_t count)
{
    return {SqzStep::eRun, line, {first, step, count}};
}

INSTANTIATE_TEST_SUITE_P(
    Writes, TimeProgression,
    ::testing::Values(
        SqzProgressionCase{
            "BatchesOfOneRate",
            {Hold(4), Write(0, {100, 110, 120, 130}), Hold(3), Write(4, {140, 150, 160})},
            true},
        SqzProgressionCase{
            "RowByRowFromANegativeTime",
            {Hold(1), Write(0, {-5}), Hold(1), Write(1, {-2}), Hold(1), Write(2, {1})},
            true},
        SqzProgressionCase{
            "HeldLinesAndZerosBeforeTheFirstTime", {Zeros(2), Write(0, {0, 9}), Hold(3)}, true},
        SqzProgressionCase{
            "BreakInsideABatch", {Hold(6), Write(0, {0, 10, 20, 30, 35, 40})}, false},
        SqzProgressionCase{
            "BreakInALaterBatchKeepsTheHeldLines",
            {Hold(3), Write(0, {0, 5, 10}), Hold(3), Write(3, {15, 20, 26}), Hold(2)},
            false},
        SqzProgressionCase{
            "TimeAfterHeldLines",
            {Hold(1), Write(0, {0}), Hold(1), Write(1, {10}), Hold(3), Write(4, {50})},
            false},
        SqzProgressionCase{"TimeOnItBeforeHeldLines",
                           {Hold(2), Write(0, {0, 10}), Hold(2), Write(2, {20})},
                           false},
        SqzProgressionCase{"ZeroLinesAfterATime", {Hold(1), Write(0, {5}), Zeros(2)}, false},
        SqzProgressionCase{
            "RunsOfOneRate", {Hold(4), Run(0, 100, 10, 4), Hold(3), Run(4, 140, 10, 3)}, true},
        SqzProgressionCase{
            "RunAfterWrittenTimes", {Hold(2), Write(0, {-4, 1}), Hold(5), Run(2, 6, 5, 5)}, true},
        SqzProgressionCase{"RunFromTheSecondLineSetsTheStep",
                           {Hold(1), Run(0, 7, 0, 1), Hold(3), Run(1, 9, 2, 3)},
                           true},
        SqzProgressionCase{
            "RunOffTheProgression", {Hold(3), Run(0, 0, 5, 3), Hold(3), Run(3, 16, 5, 3)}, false},
        SqzProgressionCase{"RunWithAnotherStep",
                           {Hold(2), Run(0, 0, 5, 2), Hold(4), Run(2, 10, 6, 4), Hold(1)},
                           false},
        SqzProgressionCase{
            "RunAfterABreak", {Hold(3), Write(0, {0, 1, 5}), Hold(4), Run(3, 9, 4, 4)}, false}),
    [](const auto& info) { return std::string(info.param.name); });

// A table whose time column is read through every kind of reader: 3000 rows from -1000 ps on
// every 7 ps, written row by row, in batches as an importer writes them, or appended in runs of
// a first time and a step, and optionally broken from one row on.
struct SqzTableCase
{
    const char* name;
    enum EWay
    {
        eRows,
        eBatches,
        eRuns
    } way;
    std::int64_t breakRow; // from this row on the times are 3 ps later; -1: never
};

class TimeProgressionTable : public ::testing::TestWithParam<SqzTableCase>
{
protected:
    void SetUp() override
    {
        CqzLabelMgr::Instance().Reset();
        b.AddTable().Time().Integral(L"V", 16);
        const SqzTableCase& c = GetParam();
        for (std::int64_t row = 0; row < kRows; ++row)
            times.push_back(-1000 + 7 * row + (c.breakRow >= 0 && row >= c.breakRow ? 3 : 0));
        CqzDataTable& table = b.GetTable();
        if (c.way == SqzTableCase::eRows)
        {
            for (std::int64_t row = 0; row < kRows; ++row)
                b.Row(times[row], {static_cast<std::uint64_t>(row & 0xffff)});
            return;
        }
        std::vector<std::uint64_t> values(kRows);
        for (std::int64_t row = 0; row < kRows; ++row)
            values[row] = static_cast<std::uint64_t>(row & 0xffff);
        for (std::int64_t first = 0; first < kRows;)
        {
            std::int64_t count = std::min<std::int64_t>(2048, kRows - first);
            if (c.way == SqzTableCase::eRuns)
            {
                // Runs end at the break, so that each is a progression.
                if (first < c.breakRow && first + count > c.breakRow)
                    count = c.breakRow - first;
                ASSERT_EQ(table.AppendRows(count, times[first], 7), first);
            }
            else
            {
                table.AppendRows(count);
                ASSERT_TRUE(table.SetTimes(first, times.data() + first, count));
            }
            ASSERT_TRUE(table.SetValues(1, first, values.data() + first, count));
            first += count;
        }
    }
    void TearDown() override { CqzLabelMgr::Instance().Reset(); }

    CqzLabelChannel TimeLabel(int bit = -1) const
    {
        return CqzLabelChannel(b.GetTable().GetColumn(eqzRoleTime)->GetLabelID(), bit);
    }
    // The last row whose time is at or before t, -1 when there is none.
    std::int64_t RowAt(std::int64_t t) const
    {
        return std::upper_bound(times.begin(), times.end(), t) - times.begin() - 1;
    }

    static constexpr std::int64_t kRows = 3000;
    CqzData data;
    CqzDataBuilder b{data};
    std::vector<std::int64_t> times;
};

TEST_P(TimeProgressionTable, EveryReaderSeesTheWrittenTimes)
{
    const CqzDataTable& table = b.GetTable();
    ASSERT_EQ(table.GetRowCount(), kRows);
    EXPECT_EQ(table.GetTimeStore()->GetEntries().IsProgression(), GetParam().breakRow < 0);

    CqzSampleTimeIter time(data, TimeLabel(), 7, 5);
    std::unique_ptr<CqzIntegralDataSourceIter> column(static_cast<CqzIntegralDataSourceIter*>(
        table.GetColumn(eqzRoleTime)->GetDataSource()->CreateIter()));
    std::int64_t row = 0;
    time.SetIndex(0);
    column->SetPosition(0);
    do
    {
        ASSERT_EQ(table.GetTimeAt(row).GetTime(), times[row]) << "row " << row;
        ASSERT_EQ(time.GetPosition().GetTime(), times[row]) << "row " << row;
        ASSERT_EQ(column->GetValue(), CqzUInt(static_cast<std::uint64_t>(times[row])));
        column->Next();
        ++row;
    } while (time.Next());
    EXPECT_EQ(row, kRows);
}

TEST_P(TimeProgressionTable, PositionsLandOnTheLastRowAtOrBeforeThem)
{
    CqzSampleIntegerIter value(data, b.Channel(L"V"), 1, 5);
    CqzSampleIntegerIter asNumber(data, TimeLabel(), 1, 5);
    CqzSampleIter bit(data, TimeLabel(2), 3, 5);
    CqzTimeCorrelatedIter c(data, {&value, &asNumber, &bit});
    std::vector<CqzUInt> values;
    std::vector<int> statuses;
    std::mt19937 random(5);
    std::int64_t t = -1010;
    for (int step = 0; step < 2000; ++step)
    {
        const int kind = static_cast<int>(random() % 10);
        t += kind < 7   ? static_cast<int>(random() % 9)
             : kind < 9 ? -static_cast<int>(random() % 500)
                        : static_cast<int>(random() % 3000);
        c.SetPosition(CqzPosition(t));
        c.GetValue(values, statuses);
        const std::int64_t row = RowAt(t);
        ASSERT_EQ(value.GetLine(), row) << "at " << t;
        if (row < 0)
        {
            EXPECT_EQ(statuses, (std::vector<int>{3, 3, 3})) << "at " << t;
            continue;
        }
        const auto stored = static_cast<std::uint64_t>(times[row]);
        ASSERT_EQ(values, (std::vector<CqzUInt>{CqzUInt(static_cast<std::uint64_t>(row)),
                                                CqzUInt(stored), CqzUInt((stored >> 2) & 1)}))
            << "at " << t;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Tables, TimeProgressionTable,
    ::testing::Values(SqzTableCase{"BatchesKept", SqzTableCase::eBatches, -1},
                      SqzTableCase{"RowsKept", SqzTableCase::eRows, -1},
                      SqzTableCase{"RunsKept", SqzTableCase::eRuns, -1},
                      SqzTableCase{"BatchesBrokenLate", SqzTableCase::eBatches, 2500},
                      SqzTableCase{"RowsBrokenAtTheSecondRow", SqzTableCase::eRows, 1},
                      SqzTableCase{"RunsBrokenLate", SqzTableCase::eRuns, 2500},
                      SqzTableCase{"RunsBrokenAtTheSecondRow", SqzTableCase::eRuns, 1}),
    [](const auto& info) { return std::string(info.param.name); });

// Runs whose times would decrease or leave the range of times are refused whole.
TEST(TimeProgressionRuns, RefusesRunsThatCannotFollow)
{
    CqzLabelMgr::Instance().Reset();
    CqzData data;
    CqzDataBuilder b{data};
    b.AddTable().Time();
    CqzDataTable& table = b.GetTable();
    const std::int64_t max = std::numeric_limits<std::int64_t>::max();
    ASSERT_EQ(table.AppendRows(3, -10, 5), 0);
    EXPECT_EQ(table.AppendRows(2, -1, 5), -1);      // before the last time (0)
    EXPECT_EQ(table.AppendRows(2, 0, -1), -1);      // a negative step
    EXPECT_EQ(table.AppendRows(0, 5, 5), -1);       // no rows
    EXPECT_EQ(table.AppendRows(3, max - 9, 5), -1); // the last time beyond the range
    EXPECT_EQ(table.GetRowCount(), 3);
    EXPECT_EQ(table.AppendRows(2, max - 5, 5), 3);
    EXPECT_EQ(table.GetTimeAt(4).GetTime(), max);
    EXPECT_EQ(table.GetTimeAt(2).GetTime(), 0);
    CqzLabelMgr::Instance().Reset();
}

} // namespace
