#pragma once
// Registers the runs of hidden rows of one produced block with the table's filter cache, so
// that displays can skip them. Short runs inside a block are left out (the display steps over
// them row by row); runs at the block's edges are always registered, since they may continue
// into the neighbouring blocks.

#include <cstdint>

class CqzDataTableFilterCache;
class CqzFilterPageMask;

class CqzFilterHiddenRuns
{
public:
    static constexpr std::int64_t MinimumRun = 32;

    CqzFilterHiddenRuns(CqzDataTableFilterCache& cache, std::int64_t firstRow);

    // Rows must be given in order, starting at the block's first row.
    void AddRow(std::int64_t row, bool hidden);
    // The same for count rows in a row, all hidden or all shown.
    void AddRows(std::int64_t row, std::int64_t count, bool hidden);
    // Rows row ... row + count - 1 (count at most 512), hidden where their bit is set.
    void AddRows(std::int64_t row, const CqzFilterPageMask& hidden, int count);
    // Registers a trailing run of any length; `end` is the row after the block's last.
    void Finish(std::int64_t end);

private:
    void Register(std::int64_t end);
    void AddWord(std::int64_t row, std::uint64_t bits, int count);
    void AddRunsOneByOne(std::int64_t row, std::uint64_t bits, int count);

    CqzDataTableFilterCache& m_cache;
    std::int64_t m_firstRow;
    std::int64_t m_length = 0;
    bool m_startsAtFirst = false;
};
