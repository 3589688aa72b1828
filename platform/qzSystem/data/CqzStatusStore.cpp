#include "qzSystem/data/CqzStatusStore.h"

#include <algorithm>

void CqzStatusStore::Clear()
{
    m_lines.clear();
    m_statuses.clear();
}

void CqzStatusStore::Fill(int status)
{
    Clear();
    if (status != 0)
    {
        m_lines.push_back(0);
        m_statuses.push_back(status);
    }
}

std::size_t CqzStatusStore::UpperBound(std::int64_t line) const
{
    return static_cast<std::size_t>(std::upper_bound(m_lines.begin(), m_lines.end(), line) -
                                    m_lines.begin());
}

int CqzStatusStore::Get(std::int64_t line) const
{
    return StatusBefore(UpperBound(line));
}

int CqzStatusStore::Seek(std::int64_t line, std::size_t& cursor) const
{
    const std::size_t n = m_lines.size();
    // Forward by a few changes first: the usual case when reading line after line.
    if (cursor < n && m_lines[cursor] <= line)
    {
        for (int step = 0; step < 4 && cursor < n && m_lines[cursor] <= line; ++step)
            ++cursor;
        if (cursor == n || m_lines[cursor] > line)
            return StatusBefore(cursor);
    }
    cursor = UpperBound(line);
    return StatusBefore(cursor);
}

void CqzStatusStore::Set(std::int64_t line, int status, std::int64_t lineCount)
{
    if (line < 0 || line >= lineCount)
        return;
    // Appending at the end of the column is the common case: no search.
    const bool atTail = m_lines.empty() || line >= m_lines.back();
    const std::size_t at = atTail ? m_lines.size() : UpperBound(line);
    const int old = StatusBefore(at);
    if (old == status)
        return;
    std::size_t change = at;
    if (at > 0 && m_lines[at - 1] == line)
    {
        change = at - 1;
        m_statuses[change] = status;
    }
    else
    {
        m_lines.insert(m_lines.begin() + at, line);
        m_statuses.insert(m_statuses.begin() + at, status);
    }
    // The line after keeps the status it had, unless it starts a change of its own.
    const std::size_t next = change + 1;
    if (line + 1 < lineCount && (next == m_lines.size() || m_lines[next] != line + 1))
    {
        m_lines.insert(m_lines.begin() + next, line + 1);
        m_statuses.insert(m_statuses.begin() + next, old);
    }
    if (next < m_lines.size())
        RemoveIfRedundant(next);
    RemoveIfRedundant(change);
}

void CqzStatusStore::RemoveIfRedundant(std::size_t change)
{
    if (m_statuses[change] != StatusBefore(change))
        return;
    m_lines.erase(m_lines.begin() + change);
    m_statuses.erase(m_statuses.begin() + change);
}
