#pragma once
// The rows a table window shows of one data table, reading the filter tool's records only for
// the rows it is asked about: with hidden rows left out, every step over hidden rows jumps
// through the runs the filter cache knows (registered when their page was produced) and reads
// the records of the others; with hidden rows shown, rows are simply consecutive. Also finds
// rows by time (CqzViewFind finds values). The table must outlive it. A row of a table with
// subrows is drawn as its lines: the main line, then its subrows, each line hidden or shown
// on its own (hidden ones drawn only with hidden rows shown), as the listing writes them.

#include "CqzRowAttributes.h"
#include "CqzTableText.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CqzViewRows
{
public:
    CqzViewRows(const CqzDataTable& table, const CqzID& instanceID);

    void SetShowHidden(bool show) { m_showHidden = show; }
    bool GetShowHidden() const { return m_showHidden; }
    std::int64_t GetRowCount() const { return m_records.GetRowCount(); }
    CqzRowAttributes& GetRecords() { return m_records; }
    const CqzTableText& GetText() const { return m_text; }

    // The first row at or after `row` that is drawn; GetRowCount() when none is.
    std::int64_t Next(std::int64_t row);
    // The last row at or before `row` that is drawn; -1 when none is.
    std::int64_t Previous(std::int64_t row);
    // The lines of a drawn row that are drawn: -1 for the main line, then subrow numbers.
    std::vector<int> DrawnLines(std::int64_t row);

    // Up to `count` drawn rows from the first drawn row at or after `top`.
    std::vector<std::int64_t> Lines(std::int64_t top, int count);
    // The top row of the last screenful of `count` drawn rows (0 when fewer are drawn).
    std::int64_t LastTop(int count);
    // The drawn row `lines` rows below (negative: above) the drawn row at or after `top`;
    // stays at the first or last drawn row.
    std::int64_t Step(std::int64_t top, std::int64_t lines);

    // The first drawn row at or after a time ("4.86 us", "120 ns"; a bare number is in the
    // unit of the table's time column); nothing for a text that is not a time.
    std::optional<std::int64_t> FindTime(const std::string& text);
    // A time text in picoseconds; nothing when it is not one (or is before 0).
    static std::optional<std::int64_t> ParseTime(const std::string& text,
                                                 const std::string& defaultUnit);

private:
    bool IsDrawn(std::int64_t row);

    const CqzDataTable& m_table;
    CqzRowAttributes m_records;
    CqzTableText m_text;
    CqzID m_instanceID;
    bool m_showHidden = false;
};
