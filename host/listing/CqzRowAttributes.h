#pragma once
// Reads the display records the filter tool attached to the rows of one table, through the
// table's attribute column, and finds shown rows: runs of hidden rows registered in the filter
// cache are jumped over without reading them, and every other row's own records are checked
// (short runs are not registered). Records kept per row are read a page of the tool's output
// at a time and kept: after the tool runs again, make a new reader. In a table with subrows
// every line (a row's main line and each subrow) has its own record, and a row is hidden when
// all its lines are. Reading a record makes the tool produce its page. Owned by whoever lists
// or exports the table; the table must outlive it.

#include "qzSystem/data/CqzDataTable.h"
#include "qzSystem/output/CqzSampleAttributes.h"

#include <cstdint>
#include <memory>

class CqzRowAttributes
{
public:
    CqzRowAttributes(const CqzDataTable& table, const CqzID& instanceID);
    ~CqzRowAttributes();

    // Whether the table has an attribute column of records; without one every row is shown.
    bool HasRecords() const;
    std::int64_t GetRowCount() const;

    // The record of a row's main line (subrow -1) or of one of its subrows (0 first); a
    // default record out of range or without records.
    CqzSampleAttributes Get(std::int64_t row, int subrow = -1);
    // Whether every line of the row is hidden.
    bool IsRowHidden(std::int64_t row);
    // Whether a shown line of the row (its main line or a subrow) is coloured.
    bool IsRowColored(std::int64_t row);
    // The first shown row at or after `row`, or GetRowCount() when there is none.
    std::int64_t NextShown(std::int64_t row);
    // How many rows NextShown jumped over through the filter cache so far.
    std::int64_t GetSkippedByCache() const;

private:
    CqzSampleAttributes FromPage(std::int64_t row);
    int RecordedSubrows(std::int64_t row) const;

    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
