#pragma once
// What a person looks for in the view's table: a value in one column or in any, matched as a
// number (0x404, 0b10000000100, 404h, 1028, with the don't-care digits of the term language:
// 0x4?4) against the value of digital and integral labels, or as text: a substring of what the
// table shows, in any case ("404" finds 00000404, "ack" finds irq_ack). A search goes over the
// drawn rows in steps of a bounded number of rows, so that a long one can show its progress
// and be cancelled between steps. The rows must outlive it.

#include "CqzViewRows.h"

#include "qzSystem/ids/CqzUInt.h"

#include <cstdint>
#include <optional>
#include <string>

class CqzViewFind
{
public:
    // `column`: a listed column, or -1 for every column.
    CqzViewFind(CqzViewRows& rows, int column, const std::string& text);

    bool Matches(std::int64_t row) const;
    // Looks at up to `budget` drawn rows after `from` (forward) or before it. Answers the first
    // that matches; else nothing, with `from` moved to the last row looked at. The search has
    // reached an end when `from` is -1 or the row count.
    std::optional<std::int64_t> Step(std::int64_t& from, bool forward, std::int64_t budget);
    bool AtEnd(std::int64_t from) const { return from < 0 || from >= m_rows.GetRowCount(); }

private:
    bool MatchesColumn(std::int64_t line, int column) const;

    CqzViewRows& m_rows;
    int m_column;
    std::string m_lower;
    std::optional<CqzUInt> m_number;
    CqzUInt m_care;
};
