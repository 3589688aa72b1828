#pragma once
// The tables a listing, summary or export walks: every table of the data set, or the one
// chosen (--table, or the first decoder's table when decoding).

#include "qzSystem/data/CqzData.h"

#include <vector>

class CqzListedTables
{
public:
    // `chosen` -1: every table.
    static std::vector<int> Of(const CqzData& data, int chosen);
};
