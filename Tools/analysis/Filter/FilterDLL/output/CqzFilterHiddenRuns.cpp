#include "output/CqzFilterHiddenRuns.h"

#include "qzSystem/output/CqzDataTableFilterCache.h"

CqzFilterHiddenRuns::CqzFilterHiddenRuns(CqzDataTableFilterCache& cache, std::int64_t firstRow)
    : m_cache(cache), m_firstRow(firstRow)
{
}

void CqzFilterHiddenRuns::AddRow(std::int64_t row, bool hidden)
{
    if (hidden)
    {
        if (row == m_firstRow)
            m_startsAtFirst = true;
        ++m_length;
        return;
    }
    if (m_length >= MinimumRun || (m_length > 0 && m_startsAtFirst))
        Register(row);
    m_length = 0;
    m_startsAtFirst = false;
}

void CqzFilterHiddenRuns::AddRows(std::int64_t row, std::int64_t count, bool hidden)
{
    if (count <= 0)
        return;
    // After the first of several shown rows the run is empty, so the others change nothing.
    AddRow(row, hidden);
    if (hidden)
        m_length += count - 1;
}

void CqzFilterHiddenRuns::Finish(std::int64_t end)
{
    if (m_length > 0)
        Register(end);
    m_length = 0;
}

void CqzFilterHiddenRuns::Register(std::int64_t end)
{
    m_cache.AddRange(end - m_length, end - 1);
}
