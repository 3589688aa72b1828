#pragma once
// Writes the filtered listing of a data set to a terminal (or any stream): row number, time
// and label values per row, coloured rows in their 24-bit colour when colour is on, hidden rows
// skipped (jumping over the runs the filter cache knows) or listed dimmed. At most `limit`
// rows per table are listed (-1: all).

#include "qzSystem/data/CqzData.h"

#include <cstdint>
#include <ostream>

struct SqzListingOptions
{
    std::int64_t limit = 200;
    bool showHidden = false;
    bool color = false;
};

class CqzListingWriter
{
public:
    CqzListingWriter(std::ostream& out, const SqzListingOptions& options);

    void Write(const CqzData& data, const CqzID& instanceID);

private:
    void WriteTable(const CqzDataTable& table, const CqzID& instanceID);

    std::ostream& m_out;
    SqzListingOptions m_options;
};
