#include "qzSystem/data/CqzLineIndex.h"

#include <algorithm>

int CqzLineIndex::GetSubrowCount(std::int64_t row) const
{
    if (!m_hasSubrows || row < 0 || row >= m_rows)
        return 0;
    return static_cast<int>(EndOfRow(row) - m_starts[row] - 1);
}

std::int64_t CqzLineIndex::GetRowOfLine(std::int64_t line) const
{
    if (line < 0 || line >= m_lines)
        return -1;
    if (!m_hasSubrows)
        return line;
    return std::upper_bound(m_starts.begin(), m_starts.end(), line) - m_starts.begin() - 1;
}

void CqzLineIndex::Reserve(std::int64_t rows)
{
    if (m_hasSubrows && rows > 0)
        m_starts.reserve(static_cast<std::size_t>(rows));
}

void CqzLineIndex::AppendRows(std::int64_t count)
{
    if (count <= 0)
        return;
    if (m_hasSubrows)
        for (std::int64_t i = 0; i < count; ++i)
            m_starts.push_back(m_lines + i);
    m_rows += count;
    m_lines += count;
}

bool CqzLineIndex::AppendSubrow()
{
    if (m_rows == 0)
        return false;
    EnableSubrows();
    ++m_lines;
    return true;
}

void CqzLineIndex::EnableSubrows()
{
    if (m_hasSubrows)
        return;
    m_starts.resize(static_cast<std::size_t>(m_rows));
    for (std::int64_t row = 0; row < m_rows; ++row)
        m_starts[row] = row;
    m_hasSubrows = true;
}
