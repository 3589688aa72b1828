#pragma once
// Base of the paged data sources that analysis tools fill on demand: the values are kept in
// pages, and a page is asked of the source's producer the first time a row of it is read (and
// again after Invalidate). Handles made by Clone share the pages, their states, the counts and
// the producer. See CqzPageTable for the meaning of each operation.

#include "qzSystem/data/CqzDataSource.h"
#include "qzSystem/ids/CqzID.h"

#include <cstdint>

class CqzPageTable;

class CqzPageDataSource : public CqzDataSource
{
public:
    std::int64_t GetRowCount() const override;
    int GetPageSize() const;
    std::int64_t GetPageCount() const;
    // 0 never produced, 1 produced, 2 invalidated; -1 for a page index out of range.
    int GetPageState(std::int64_t page) const;
    // How many pages hold storage (produced, being produced, or written by a producer).
    virtual std::int64_t GetAllocatedPageCount() const = 0;

    // The table the source backs and the tool instance that makes it (the key of its filter
    // cache ranges, which this call empties).
    void SetIDs(const CqzID& tableID, const CqzID& instanceID);
    const CqzID& GetTableID() const;
    const CqzID& GetInstanceID() const;

    // Marks every produced page invalidated (state 2): the next read produces it again. Also
    // empties the filter cache ranges of this source's (instance, table).
    void Invalidate();
    bool IsProducing() const;
    // Follows a table that grew (see CqzPageTable::GrowRows).
    bool GrowRows(std::int64_t rowCount);

    std::int64_t GetDisplayableRowCount() const;
    void SetDisplayableRowCount(std::int64_t count);

    void NotifyBlockDone(std::int64_t firstRow, int value);
    std::int64_t GetBlockDoneCount() const;
    std::int64_t GetLastBlockDoneRow() const;

protected:
    virtual CqzPageTable& GetPageTable() const = 0;
};
