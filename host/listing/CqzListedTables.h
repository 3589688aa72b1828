#pragma once
// The tables a listing, summary or export walks: every table of the data set, or the one
// chosen (--table, or the first decoder's table when decoding).

#include "CqzHostOptions.h"
#include "CqzHostSession.h"
#include "qzSystem/data/CqzData.h"

#include <string>

#include <vector>

class CqzListedTables
{
public:
    // `chosen` -1: every table.
    static std::vector<int> Of(const CqzData& data, int chosen);
    // The table chosen: --table, else the first decoder's when decoding, else -1 (all).
    static int Chosen(const SqzHostOptions& options, const CqzHostSession& session);
    // A table's name: "capture" for the capture's, else its decoder's.
    static std::string Name(const CqzHostSession& session, int table);
};
