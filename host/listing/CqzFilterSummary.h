#pragma once
// Counts the fate of every row of a data set after a run: rows, shown, hidden and coloured
// (shown rows drawn in a colour). Reads every record, so the tool produces every page.

#include "qzSystem/data/CqzData.h"

#include <cstdint>
#include <string>

struct SqzFilterCounts
{
    std::int64_t rows = 0;
    std::int64_t shown = 0;
    std::int64_t hidden = 0;
    std::int64_t colored = 0;
};

class CqzFilterSummary
{
public:
    static SqzFilterCounts Count(const CqzData& data, const CqzID& instanceID, bool progress,
                                 int table = -1);
    // "600 rows: 412 shown, 188 hidden, 37 coloured".
    static std::string Describe(const SqzFilterCounts& counts);
};
