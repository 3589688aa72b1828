#pragma once
// The hidden rows of one data table as seen by one analysis tool instance: a sorted set of
// disjoint row ranges, merged as they are added (in any order, overlapping or adjoining), so
// that a display can skip hidden rows without reading their attribute records. Owned by the
// system filter cache.

#include "qzSystem/ids/CqzID.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class CqzDataTableFilterCache
{
public:
    CqzDataTableFilterCache(const CqzID& instanceID, const CqzID& tableID);
    ~CqzDataTableFilterCache();
    CqzDataTableFilterCache(const CqzDataTableFilterCache&) = delete;
    CqzDataTableFilterCache& operator=(const CqzDataTableFilterCache&) = delete;

    const CqzID& GetInstanceID() const;
    const CqzID& GetTableID() const;

    // Registers rows first ... last (inclusive) as hidden. Ignored, with false, when first is
    // negative, last is below first, or last is the largest 64-bit value.
    bool AddRange(std::int64_t first, std::int64_t last);
    bool IsHidden(std::int64_t row) const;
    // The first row at or after `row` that is not registered hidden (a negative row counts as
    // row 0). The answer may lie beyond the table's last row.
    std::int64_t GetNextShownRow(std::int64_t row) const;
    // The last row at or before `row` that is not registered hidden; -1 when there is none.
    std::int64_t GetPreviousShownRow(std::int64_t row) const;

    // The number of rows inside registered ranges.
    std::int64_t GetHiddenRowCount() const;
    std::size_t GetRangeCount() const;
    // The merged ranges as (first, last) pairs in row order.
    std::vector<std::pair<std::int64_t, std::int64_t>> GetRanges() const;
    void Clear();

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m;
};
