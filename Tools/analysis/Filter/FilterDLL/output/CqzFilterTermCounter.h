#pragma once
// Counts, for the run engine that owns it, the rows each enabled term decided while pages are
// produced, and serves the counts to the host (CqzTermCountIFace). A page is counted the first
// time it is produced after a Reset only: the host may produce a page again (after an
// invalidation with the same filter) and must not see its rows twice. Reset starts over for a
// newly compiled filter.

#include "qzSystem/commands/CqzTermCountIFace.h"

#include <cstdint>
#include <vector>

class CqzFilterTermCounter : public CqzTermCountIFace
{
public:
    // New terms (names and actions; counts are cleared) and the data set's row count.
    void Reset(std::vector<SqzTermCount> terms, std::int64_t rows);
    // Whether page `page` of output `output` is still to be counted; marks it counted.
    bool StartPage(int output, std::int64_t page);
    // Rows decided by a term (its action tells hidden or coloured), or by none (term -1).
    void Add(int term, std::int64_t rows = 1);

    SqzTermCounts GetTermCounts() const override { return m_counts; }

private:
    SqzTermCounts m_counts;
    std::vector<std::vector<bool>> m_counted;
};
