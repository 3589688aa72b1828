#include "output/CqzFilterHiddenRuns.h"

#include "evaluation/CqzFilterPageMask.h"
#include "qzSystem/output/CqzDataTableFilterCache.h"

#include <algorithm>
#include <bit>

namespace
{
// Whether the bits hold MinimumRun (32) set bits in a row.
bool HasLongRun(std::uint64_t bits)
{
    for (int shift = 1; shift < 32; shift *= 2)
        bits &= bits >> shift;
    return bits != 0;
}
} // namespace

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

void CqzFilterHiddenRuns::AddRows(std::int64_t row, const CqzFilterPageMask& hidden, int count)
{
    for (int at = 0; at < count; at += 64)
        AddWord(row + at, hidden.GetWord(at / 64), count - at < 64 ? count - at : 64);
}

// A word of rows at a time. Between its first and its last shown row a word can only hold runs
// shorter than MinimumRun that do not start the block (unless HasLongRun), which register
// nothing: only the run through its first shown row and the run after its last one matter.
void CqzFilterHiddenRuns::AddWord(std::int64_t row, std::uint64_t bits, int count)
{
    const std::uint64_t rows = count == 64 ? ~0ull : (std::uint64_t{1} << count) - 1;
    bits &= rows;
    if (bits == 0 || bits == rows)
        return AddRows(row, count, bits != 0);
    if (HasLongRun(bits))
        return AddRunsOneByOne(row, bits, count);
    const int leading = std::countr_one(bits);
    AddRows(row, leading, true);
    AddRow(row + leading, false);
    const int trailing = std::countl_one(bits << (64 - count));
    AddRows(row + count - trailing, trailing, true);
}

void CqzFilterHiddenRuns::AddRunsOneByOne(std::int64_t row, std::uint64_t bits, int count)
{
    for (int at = 0; at < count;)
    {
        const bool hidden = ((bits >> at) & 1) != 0;
        const std::uint64_t rest = (hidden ? ~bits : bits) >> at;
        const int length = rest == 0 ? count - at : std::min(count - at, std::countr_zero(rest));
        AddRows(row + at, length, hidden);
        at += length;
    }
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
