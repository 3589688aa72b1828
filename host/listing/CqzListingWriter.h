#pragma once
// Writes the filtered listing of a data set to a terminal (or any stream): row number, time
// and label values per line, coloured lines in their 24-bit colour when colour is on, hidden
// lines skipped (jumping over the runs of hidden rows the filter cache knows) or listed dimmed.
// A row with subrows is listed as a display shows it: its main line, then each subrow line
// numbered ROW.N (from 1). Only rows firstRow to lastRow (-1: the last) are listed, at most
// `limit` rows per table (-1: all). Where hidden rows are skipped a line says how many
// ("… 12 hidden rows …"). With `nearColor` the listing starts at the screenful of shown rows
// with the most colours (from firstRow when none is coloured), so that the first screen shows
// what the filter did.

#include "qzSystem/data/CqzData.h"

#include <cstdint>
#include <ostream>

struct SqzListingOptions
{
    std::int64_t limit = 200;
    bool showHidden = false;
    bool color = false;
    std::int64_t firstRow = 0;
    std::int64_t lastRow = -1;
    bool nearColor = false;
    // The one table listed (-1: every table).
    int table = -1;
};

class CqzListingWriter
{
public:
    CqzListingWriter(std::ostream& out, const SqzListingOptions& options);

    // Returns whether the listing of a table ran to the table's last row (so that rows still
    // arriving could have been listed too).
    bool Write(const CqzData& data, const CqzID& instanceID);

private:
    void WriteTable(const CqzDataTable& table, const CqzID& instanceID);
    void WriteHiddenRun(std::int64_t count);

    std::ostream& m_out;
    SqzListingOptions m_options;
    bool m_ranToEnd = false;
};
