#pragma once
// The texts of one data table as the listing and the exports show them: the label columns in
// table order (digital, integral and text labels), each row's time in one unit chosen for the
// table, and each value (digital buses in hexadecimal, one-bit labels 0/1, integral labels in
// decimal, texts as they are; empty where there is no data). An unknown digital value shows
// its x and z digits ("30zz", "z"; 'X' or 'Z' for a digit only partly unknown); other
// unknown values show "x". Times take at least three decimals of the unit and as many more as
// the time step needs. Does not own the table.

#include "qzSystem/data/CqzDataTable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CqzTableText
{
public:
    explicit CqzTableText(const CqzDataTable& table);

    const CqzDataTable& GetTable() const { return m_table; }
    int GetColumnCount() const { return static_cast<int>(m_columns.size()); }
    // UTF-8 name of a listed column.
    const std::string& GetName(int listed) const { return m_columns[listed].name; }
    // "Time (ns)" and the like.
    std::string GetTimeHeading() const { return "Time (" + m_unit + ")"; }

    // How a line is numbered: "12" for row 12's main line (subrow -1), "12.1" for its first
    // subrow.
    static std::string LineName(std::int64_t row, int subrow);
    // The mark of a run of hidden rows left out of a listing or a page: "… 12 hidden rows …".
    static std::string HiddenRun(std::int64_t count);
    // The texts of any line (a main line or a subrow; CqzDataTable::GetLine).
    std::string TimeOfLine(std::int64_t line) const;
    std::string ValueOfLine(std::int64_t line, int listed) const;
    // The value of a digital or integral column at a line, when it is known; nothing for text
    // columns, unknown values and lines without data.
    std::optional<CqzUInt> NumberOfLine(std::int64_t line, int listed) const;

    // The widest of the heading and the column's values (at most 40) as a terminal shows them
    // (CqzTerminalText), for aligned columns.
    std::size_t GuessWidth(int listed) const;

private:
    struct SqzColumn
    {
        int index;
        std::string name;
        EqzLabelType type;
        int width;
    };

    const CqzDataTable& m_table;
    std::size_t WidestValue(const SqzColumn& column) const;
    static int ChooseDecimals(const CqzDataTable& table, std::int64_t divisor);
    std::string UnknownValue(const SqzColumn& column, std::int64_t line,
                             const CqzUInt& value) const;

    std::vector<SqzColumn> m_columns;
    std::string m_unit;
    std::int64_t m_divisor = 1;
    int m_decimals = 0;
};
