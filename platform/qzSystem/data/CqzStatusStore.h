#pragma once
// Data statuses of one column, stored sparsely: only the lines where the status changes are
// kept (line, status), status 0 before the first of them. A column without any status other
// than 0 costs nothing; a column that is unknown for a long stretch costs two entries.
// Status 3 means "no data at this sample", 4 "value unknown". Owned by a CqzSampleStore.

#include <cstddef>
#include <cstdint>
#include <vector>

class CqzStatusStore
{
public:
    bool IsEmpty() const { return m_lines.empty(); }
    // Number of stored changes.
    std::size_t GetChangeCount() const { return m_lines.size(); }
    void Clear();
    // Gives every line the same status.
    void Fill(int status);

    // Sets the status of one line of a column of lineCount lines. The status of the lines
    // after it is kept; a line appended later takes the status of the last line.
    void Set(std::int64_t line, int status, std::int64_t lineCount);

    int Get(std::int64_t line) const;
    // The same with a cursor that the caller keeps between calls (start it at 0): reading the
    // same line or moving forward by a few lines costs a compare or two.
    int Get(std::int64_t line, std::size_t& cursor) const
    {
        const std::size_t n = m_lines.size();
        if (n == 0)
            return 0;
        if (cursor <= n && (cursor == 0 || m_lines[cursor - 1] <= line) &&
            (cursor == n || m_lines[cursor] > line))
            return cursor == 0 ? 0 : m_statuses[cursor - 1];
        return Seek(line, cursor);
    }

    // Calls visit(from, to, status) for each stretch of lines from ... to - 1 of equal status,
    // in order, covering lines first ... end - 1.
    template <class F> void VisitRuns(std::int64_t first, std::int64_t end, F&& visit) const
    {
        std::size_t change = UpperBound(first);
        int status = StatusBefore(change);
        for (std::int64_t from = first; from < end; ++change)
        {
            const std::int64_t to =
                change < m_lines.size() && m_lines[change] < end ? m_lines[change] : end;
            visit(from, to, status);
            from = to;
            if (change < m_lines.size())
                status = m_statuses[change];
        }
    }

private:
    // Number of changes at or before line.
    std::size_t UpperBound(std::int64_t line) const;
    int Seek(std::int64_t line, std::size_t& cursor) const;
    int StatusBefore(std::size_t change) const { return change == 0 ? 0 : m_statuses[change - 1]; }
    void RemoveIfRedundant(std::size_t change);

    std::vector<std::int64_t> m_lines;
    std::vector<std::int32_t> m_statuses;
};
