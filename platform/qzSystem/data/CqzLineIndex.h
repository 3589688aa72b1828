#pragma once
// Where the lines of each row of a table are. A row is one line (its main line) plus its
// subrows; lines are numbered in order. Without subrows line and row are the same and nothing
// is stored; with subrows the first line of each row is kept. Owned by CqzDataTable; read
// inline by the sample iterators.

#include <cstdint>
#include <vector>

class CqzLineIndex
{
public:
    std::int64_t GetRowCount() const { return m_rows; }
    std::int64_t GetLineCount() const { return m_lines; }
    bool HasSubrows() const { return m_hasSubrows; }

    // The line of a row (subrow -1) or of one of its subrows (0 first); -1 when there is none.
    std::int64_t GetLine(std::int64_t row, int subrow) const
    {
        if (static_cast<std::uint64_t>(row) >= static_cast<std::uint64_t>(m_rows) || subrow < -1)
            return -1;
        if (!m_hasSubrows)
            return subrow == -1 ? row : -1;
        const std::int64_t line = m_starts[row] + 1 + subrow;
        return line < EndOfRow(row) ? line : -1;
    }
    // Subrows of a row; 0 for a row out of range.
    int GetSubrowCount(std::int64_t row) const;
    // The row a line belongs to, or -1.
    std::int64_t GetRowOfLine(std::int64_t line) const;

    void Reserve(std::int64_t rows);
    void AppendRows(std::int64_t count);
    // Adds a line to the last row; false without rows.
    bool AppendSubrow();
    // Starts keeping the first line of each row (every row so far is one line).
    void EnableSubrows();

private:
    std::int64_t EndOfRow(std::int64_t row) const
    {
        return row + 1 < m_rows ? m_starts[row + 1] : m_lines;
    }

    std::vector<std::int64_t> m_starts;
    std::int64_t m_rows = 0;
    std::int64_t m_lines = 0;
    bool m_hasSubrows = false;
};
