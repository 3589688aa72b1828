// A table whose rows have subrows is drawn line by line, as the listing writes it: each row's
// main line, then its subrows numbered "row.n", and a copy of the selected rows gives them all.

#include "CqzViewTable.h"
#include "ViewTestSupport.h"
#include "qzSystem/data/CqzData.h"
#include "qzSystem/data/CqzDataTable.h"

#include <QApplication>
#include <QClipboard>
#include <QtTest/QTest>

#include <sstream>

namespace
{

const auto* const environment = ::testing::AddGlobalTestEnvironment(new ViewEnvironment);

TEST(ViewSubrowTest, SubrowsAreDrawnAndCopiedUnderTheirRow)
{
    CqzData data;
    CqzDataTable& table = *data.AddTable();
    table.AddLabelColumn(eqzLabelTime, L"T");
    const int value = table.AddLabelColumn(eqzLabelIntegral, L"N", 8);
    std::int64_t time = 0;
    const int subrows[] = {0, 2, 0, 1};
    for (int row = 0; row < 4; ++row)
    {
        table.AppendRow(time += 10);
        table.SetValue(value, CqzUInt(std::uint64_t(row * 10)));
        for (int s = 1; s <= subrows[row]; ++s)
        {
            table.AppendSubrow(time += 1);
            table.SetValue(value, CqzUInt(std::uint64_t(row * 10 + s)));
        }
    }
    CqzViewTable view;
    view.resize(600, 400);
    view.SetRows(std::make_unique<CqzViewRows>(table, CqzID()));
    view.show();

    std::vector<std::pair<std::int64_t, int>> lines;
    for (const SqzViewLine& line : view.GetLayout())
        lines.emplace_back(line.row, line.subrow);
    EXPECT_EQ(lines, (std::vector<std::pair<std::int64_t, int>>{
                         {0, -1}, {1, -1}, {1, 0}, {1, 1}, {2, -1}, {3, -1}, {3, 0}}));
    EXPECT_EQ(view.GetDrawnRows(), (std::vector<std::int64_t>{0, 1, 2, 3}));

    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier,
                      QPoint(20, view.GetLayout()[1].y + 4));
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier,
                      QPoint(20, view.GetLayout()[4].y + 4));
    std::istringstream copied(view.GetSelectionText());
    std::string line;
    std::vector<std::string> numbers;
    std::getline(copied, line); // heading
    while (std::getline(copied, line))
        numbers.push_back(line.substr(0, line.find('\t')) + "=" + line.substr(line.rfind('\t') + 1));
    EXPECT_EQ(numbers, (std::vector<std::string>{"1=10", "1.1=11", "1.2=12", "2=20"}));
}

} // namespace
