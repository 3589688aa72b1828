// The acquired-data model: tables, label columns, roles, subrows, data sources.

#include "qzSystem/data/CqzData.h"
#include "qzSystem/data/CqzDataBuilder.h"
#include "qzSystem/data/CqzIntegralDataSourceIter.h"
#include "qzSystem/data/CqzSampleDataSource.h"
#include "qzSystem/data/CqzStringDataSourceIter.h"
#include "qzSystem/managers/CqzLabelMgr.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{

class DataTable : public ::testing::Test
{
protected:
    void SetUp() override { CqzLabelMgr::Instance().Reset(); }
    void TearDown() override { CqzLabelMgr::Instance().Reset(); }

    CqzData data;
    CqzDataTable& table = *data.AddTable();
};

TEST_F(DataTable, LabelColumnsRegisterTheirLabelWithTypeBitAndWidth)
{
    struct
    {
        EqzLabelType type;
        int width;
        int registeredWidth;
        int widthAttribute;
    } cases[] = {{eqzLabelDigital, 5, 5, -1},
                 {eqzLabelIntegral, 8, 8, 19},
                 {eqzLabelIntegral, 128, 128, 23},
                 {eqzLabelString, 7, 0, -1},
                 {eqzLabelTime, 0, 64, -1}};
    for (const auto& c : cases)
    {
        const CqzID id;
        const int column = table.AddLabelColumn(c.type, L"L", c.width, id);
        ASSERT_GE(column, 0);
        const CqzLabel* label = CqzLabelMgr::Instance().IDToLabel(id);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->GetType(), CqzBitSet{c.type});
        EXPECT_EQ(label->GetWidth(), c.registeredWidth);
        const CqzBitSet attributes = table.GetColumnAt(column)->GetAttributes();
        EXPECT_EQ(attributes, c.widthAttribute < 0 ? CqzBitSet() : CqzBitSet{c.widthAttribute});
        EXPECT_EQ(data.GetColumnWithLabelID(id), table.GetColumnAt(column));
    }
}

TEST_F(DataTable, RefusesBadWidthsTypesAndDuplicateLabels)
{
    const CqzID id;
    EXPECT_EQ(table.AddLabelColumn(eqzLabelIntegral, L"I", 12), -1);
    EXPECT_EQ(table.AddLabelColumn(eqzLabelDigital, L"D", 0), -1);
    EXPECT_EQ(table.AddLabelColumn(eqzLabelDigital, L"D", 129), -1);
    EXPECT_EQ(table.AddLabelColumn(static_cast<EqzLabelType>(1), L"B", 8), -1);
    EXPECT_EQ(table.AddLabelColumn(eqzLabelDigital, L"D", 8, id), 0);
    EXPECT_EQ(table.AddLabelColumn(eqzLabelDigital, L"D", 8, id), -1);
    EXPECT_EQ(table.GetColumnCount(), 1);
}

TEST_F(DataTable, ColumnsTakeTheirRoles)
{
    EXPECT_EQ(table.GetColumn(eqzRoleTime), nullptr);
    const CqzID data0, time;
    table.AddLabelColumn(eqzLabelDigital, L"A", 4, data0);
    table.AddLabelColumn(eqzLabelTime, L"T", 0, time);
    table.AddLabelColumn(eqzLabelDigital, L"B", 4);
    EXPECT_EQ(table.GetColumn(eqzRoleData)->GetLabelID(), data0);
    EXPECT_EQ(table.GetColumn(eqzRoleTime)->GetLabelID(), time);
    EXPECT_EQ(table.GetColumn(eqzRoleAttributes), nullptr);
    EXPECT_EQ(table.GetColumn(eqzRoleSubrowCount), nullptr);

    // An analysis tool adds its attribute column and makes it the table's.
    const CqzID tool;
    EXPECT_FALSE(table.SetAttributeID(eqzRoleAttributes, tool)); // no such column yet
    CqzDataColumn* added = table.AddColumn(tool);
    EXPECT_EQ(table.AddColumn(tool), added); // one column per identifier
    added->SetAttributes(CqzBitSet{15, 16});
    EXPECT_TRUE(table.SetAttributeID(eqzRoleAttributes, tool));
    EXPECT_EQ(table.GetColumn(eqzRoleAttributes), added);
    EXPECT_EQ(added->GetIndex(), 3);
}

TEST_F(DataTable, RowsHoldTheLineBeforeAndTimesMayNotGoBack)
{
    CqzDataBuilder b(data);
    b.AddTable().Time().Integral(L"N", 16).String(L"S");
    CqzDataTable& t = b.GetTable();
    const int n = t.FindColumn(b.GetLabelID(L"N"));
    const int s = t.FindColumn(b.GetLabelID(L"S"));
    b.Row(10, {7, L"x"}).Row(20, {CqzDataBuilder::Unknown()});
    EXPECT_EQ(t.AppendRow(19), -1);
    EXPECT_EQ(t.GetRowCount(), 2);
    EXPECT_EQ(t.AppendRow(20), 2); // equal times are fine

    CqzUInt value;
    CString text;
    EXPECT_EQ(t.GetSample(n, 1, value), 4);
    EXPECT_EQ(t.GetSample(n, 2, value), 4); // the status holds too
    EXPECT_EQ(value, CqzUInt(7));
    EXPECT_EQ(t.GetSample(s, 2, text), 0);
    EXPECT_EQ(text, L"x");
    EXPECT_EQ(t.GetTimeAt(2), CqzPosition(20));
    EXPECT_EQ(t.GetSample(n, 3, value), 3); // no such line
    EXPECT_EQ(t.GetSample(s, 0, value), 3); // a number from a string column
    EXPECT_EQ(t.GetSample(7, 0, text), 3);  // no such column
    EXPECT_FALSE(t.SetText(n, L"y"));       // a text for a number column
    EXPECT_FALSE(t.SetTimeAt(1, 25));       // would pass the time of line 2

    // A column added later reads no data for the earlier rows.
    const int late = t.AddLabelColumn(eqzLabelDigital, L"Late", 8);
    t.AppendRow(30);
    t.SetValue(late, CqzUInt(9));
    EXPECT_EQ(t.GetSample(late, 2, value), 3);
    EXPECT_EQ(t.GetSample(late, 3, value), 0);
    EXPECT_EQ(value, CqzUInt(9));
}

TEST_F(DataTable, BulkWritesCheckTheirRangeAndTimeOrder)
{
    const int n = table.AddLabelColumn(eqzLabelDigital, L"N", 12);
    table.AddLabelColumn(eqzLabelTime, L"T");
    table.Reserve(1000);
    EXPECT_EQ(table.AppendRows(1000), 0);
    std::vector<std::uint64_t> values(1000);
    std::vector<std::int64_t> times(1000);
    for (int i = 0; i < 1000; ++i)
    {
        values[i] = 0x1000u + i;
        times[i] = 1000 * i;
    }
    EXPECT_TRUE(table.SetValues(n, 0, values.data(), 1000));
    EXPECT_FALSE(table.SetValues(n, 1, values.data(), 1000));
    EXPECT_TRUE(table.SetTimes(0, times.data(), 1000));
    std::swap(times[3], times[4]);
    EXPECT_FALSE(table.SetTimes(0, times.data(), 1000));
    EXPECT_EQ(table.GetTimeAt(3), CqzPosition(3000)); // nothing written by the refused call
    CqzUInt value;
    EXPECT_EQ(table.GetSample(n, 999, value), 0);
    EXPECT_EQ(value, CqzUInt((0x1000u + 999) & 0xFFFu)); // cut to 12 bits
}

// Rows appended for writing hold the last line only in each column's held rows; one-bit
// columns are cut inside a byte, where a held bit and a written one share it.
TEST_F(DataTable, RowsAppendedForWritingHoldOnlyTheirHeldRows)
{
    const int bits = table.AddLabelColumn(eqzLabelDigital, L"B", 1);
    const int wide = table.AddLabelColumn(eqzLabelDigital, L"W", 16);
    table.AddLabelColumn(eqzLabelTime, L"T");
    ASSERT_EQ(table.AppendRow(5), 0);
    table.SetValue(bits, CqzUInt(1));
    table.SetValue(wide, CqzUInt(0xabcd));
    const std::int64_t times[] = {7, 7, 9, 12, 20, 21, 22, 30, 31, 40, 41};
    const std::int64_t held[] = {3, 11, 0};
    ASSERT_EQ(table.AppendRowsToWrite(11, times, held), 1);
    const std::uint64_t written = 0b01010101;
    ASSERT_TRUE(table.SetPackedBits(bits, 4, &written, 0, 8));
    CqzUInt value;
    for (int row = 1; row <= 11; ++row)
    {
        EXPECT_EQ(table.GetTimeAt(row), CqzPosition(times[row - 1])) << row;
        table.GetSample(bits, row, value);
        EXPECT_EQ(value, CqzUInt(row <= 3 ? 1u : (written >> (row - 4)) & 1)) << row;
        table.GetSample(wide, row, value);
        EXPECT_EQ(value, CqzUInt(0xabcd)) << row;
    }
    const std::int64_t early[] = {39, 50};
    const std::int64_t unsorted[] = {50, 45};
    EXPECT_EQ(table.AppendRowsToWrite(2, early, held), -1);
    EXPECT_EQ(table.AppendRowsToWrite(2, unsorted, held), -1);
    EXPECT_EQ(table.GetRowCount(), 12);
}

TEST_F(DataTable, SubrowsGetTheirOwnLinesAndACountColumn)
{
    CqzDataBuilder b(data);
    b.AddTable().Time().Integral(L"V", 8);
    b.Row(0, {1}).Row(10, {2}).Subrow(11, {3}).Subrow(12, {4}).Row(20, {5});
    CqzDataTable& t = b.GetTable();
    EXPECT_TRUE(t.HasSubrows());
    EXPECT_EQ(t.GetRowCount(), 3);
    EXPECT_EQ(t.GetLineCount(), 5);
    EXPECT_EQ(t.GetLine(1, 1), 3);
    EXPECT_EQ(t.GetLine(1, 2), -1);
    EXPECT_EQ(t.GetLine(0, 0), -1);
    EXPECT_EQ(t.GetLine(2), 4);
    EXPECT_EQ(t.GetRowOfLine(3), 1);
    EXPECT_EQ(t.GetRowOfLine(4), 2);

    CqzDataColumn* counts = t.GetColumn(eqzRoleSubrowCount);
    ASSERT_NE(counts, nullptr);
    std::unique_ptr<CqzDataSourceIter> iter(counts->GetDataSource()->CreateIter());
    auto* integral = dynamic_cast<CqzIntegralDataSourceIter*>(iter.get());
    ASSERT_NE(integral, nullptr);
    std::vector<std::uint64_t> seen;
    for (integral->SetPosition(0); !integral->IsAtEnd(); integral->Next())
        seen.push_back(integral->GetValue().GetLow());
    EXPECT_EQ(seen, (std::vector<std::uint64_t>{0, 2, 0}));
    EXPECT_THROW(b.Subrow(5, {}), std::invalid_argument); // time goes back
}

TEST_F(DataTable, ADataSourceCopySharesTheValues)
{
    const int s = table.AddLabelColumn(eqzLabelString, L"S");
    table.AppendRow();
    table.SetText(s, L"first");
    std::unique_ptr<CqzDataSource> copy = table.GetColumnAt(s)->GetDataSource()->Clone();
    table.SetText(s, L"second");
    EXPECT_EQ(copy->GetDataTypeName(), L"CString");
    std::unique_ptr<CqzDataSourceIter> iter(copy->CreateIter());
    auto* strings = dynamic_cast<CqzStringDataSourceIter*>(iter.get());
    ASSERT_NE(strings, nullptr);
    CString text;
    EXPECT_EQ(strings->GetText(text), 0);
    EXPECT_EQ(text, L"second");
    EXPECT_FALSE(strings->SetPosition(1));
    EXPECT_EQ(strings->GetText(text), 3);
}

TEST_F(DataTable, TheBuilderRefusesMisuseWithAClearError)
{
    CqzDataBuilder b(data);
    EXPECT_THROW(b.Row(0, {1}), std::invalid_argument); // no table yet
    b.AddTable().Digital(L"D", 4).String(L"S");
    EXPECT_THROW(b.Digital(L"D", 2), std::invalid_argument);   // duplicate name
    EXPECT_THROW(b.Integral(L"I", 12), std::invalid_argument); // no such integral width
    EXPECT_THROW(b.Row(0, {1, L"s", 2}), std::invalid_argument);
    EXPECT_THROW(b.Row(0, {L"text", L"s"}), std::invalid_argument);
    EXPECT_THROW(b.GetLabelID(L"missing"), std::invalid_argument);
    EXPECT_EQ(b.GetTable().GetRowCount(), 0); // refused rows were not appended
    try
    {
        b.Row(1, {1, 2});
        FAIL() << "a number into a string column was accepted";
    }
    catch (const std::invalid_argument& e)
    {
        EXPECT_NE(std::string(e.what()).find("label S"), std::string::npos) << e.what();
    }
}

TEST(Data, WalksItsTablesAndIsValidOnlyWithTables)
{
    CqzData data;
    EXPECT_FALSE(data.IsDataValid());
    const CqzID first, second;
    data.AddTable(first);
    data.AddTable(second);
    EXPECT_EQ(data.AddTable(first), data.GetTable(0));
    EXPECT_TRUE(data.IsDataValid());

    std::unique_ptr<CqzDataTableIter> iter(data.CreateIter());
    std::vector<CqzID> ids;
    for (iter->First(); !iter->IsDone(); iter->Next())
        ids.push_back(iter->GetCurrentTable()->GetID());
    EXPECT_EQ(ids, (std::vector<CqzID>{first, second}));
    EXPECT_EQ(iter->GetCurrentTable(), nullptr);
}

} // namespace
