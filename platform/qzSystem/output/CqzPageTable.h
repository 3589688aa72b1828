#pragma once
// The bookkeeping shared by every handle and iterator of one paged data source: its shape (rows,
// page size), the state of each page, the identifiers it was given, its count of displayable
// rows and its "block done" notices. The pages themselves are kept by CqzPageStore, which
// derives from this class. Held through shared pointers by the handles and iterators.

#include "qzSystem/ids/CqzID.h"
#include "qzSystem/output/CqzDataPage.h"
#include "qzSystem/output/CqzPageSlots.h"

#include <cstdint>
#include <vector>

class CqzPageTable
{
public:
    static constexpr int PageNeverProduced = 0;
    static constexpr int PageProduced = 1;
    static constexpr int PageInvalidated = 2;
    // Iterators in this access mode belong to the producer: they never ask for production.
    static constexpr int ProducerAccessMode = 5;

    // Throws std::invalid_argument for a negative row count or a page size below 1.
    CqzPageTable(std::int64_t rowCount, int pageSize);
    // Destroys the filter cache of its (instance, table) unless a newer source took it over.
    virtual ~CqzPageTable();
    CqzPageTable(const CqzPageTable&) = delete;
    CqzPageTable& operator=(const CqzPageTable&) = delete;

    std::int64_t GetRowCount() const { return m_rowCount; }
    int GetPageSize() const { return m_pageSize; }
    std::int64_t GetPageCount() const { return m_pageCount; }
    bool IsPageIndex(std::int64_t page) const { return page >= 0 && page < GetPageCount(); }
    // The page's first row and row count; call with a valid page index only.
    CqzDataPage DescribePage(std::int64_t page) const;
    // 0 never produced, 1 produced, 2 invalidated; -1 for a page index out of range.
    int GetPageState(std::int64_t page) const;
    // Changes whenever a page is allocated, freed or changes state: iterators keep a page
    // pointer only while the generation they saw is current.
    std::uint64_t GetGeneration() const { return m_generation; }

    // Marks every produced page invalidated, so that the next read produces it again, and
    // empties the filter cache ranges registered for this source's (instance, table).
    void Invalidate();
    bool IsProducing() const { return m_producingPage >= 0; }
    // Follows a table that grew to rowCount rows (a capture still arriving): the new rows are
    // displayable and never produced, and a last page that was partial is to be produced again
    // (its records and its count change go). False, and no change, for fewer rows or while a
    // page is produced.
    virtual bool GrowRows(std::int64_t rowCount);
    // The page being produced, or -1.
    std::int64_t GetProducingPage() const { return m_producingPage; }

    // Gives the source the table it backs and the tool instance that makes it; an earlier
    // source of the same pair is replaced, so the pair's filter cache ranges are emptied and
    // the cache belongs to this source (an earlier pair of this source is released).
    void SetIDs(const CqzID& tableID, const CqzID& instanceID);
    const CqzID& GetTableID() const { return m_tableID; }
    const CqzID& GetInstanceID() const { return m_instanceID; }

    // Starts at the row count. A change made while a page is produced is booked to that page
    // and taken back when the page is produced again or its production fails, so producing a
    // page twice does not count its hidden rows twice. Kept within 0 ... row count.
    std::int64_t GetDisplayableRowCount() const { return m_displayableRows; }
    void SetDisplayableRowCount(std::int64_t count);

    // Told by a producer when a block starting at `firstRow` is written; `value` is the
    // producer's status for the block (analysis tools pass 1).
    void NotifyBlockDone(std::int64_t firstRow, int value);
    std::int64_t GetBlockDoneCount() const { return m_blockDoneCount; }
    // First row and value of the last block done; -1 and 0 before any.
    std::int64_t GetLastBlockDoneRow() const { return m_lastBlockDoneRow; }
    int GetLastBlockDoneValue() const { return m_lastBlockDoneValue; }

protected:
    // Production of a page begins: its earlier count change is taken back.
    void BeginProduction(std::int64_t page);
    // Production ends; the page becomes produced, or never produced when it failed.
    void EndProduction(std::int64_t page, bool succeeded);
    void Touch() { ++m_generation; }
    // The last page when it holds fewer rows than a page, else -1.
    std::int64_t GetPartialPage() const;

private:
    void TakeBackCountChange(std::int64_t page);

    std::int64_t m_rowCount;
    int m_pageSize;
    std::int64_t m_pageCount;
    // Per page: its state and the change to the displayable-row count booked to its latest
    // production.
    struct SqzPageEntry
    {
        std::uint8_t state = PageNeverProduced;
        std::int64_t countChange = 0;
    };
    // The pages that were ever produced or are being produced; a page not listed was never
    // produced. Kept sparse so that making a source costs nothing per page: a display asks for
    // few pages of a deep capture. One entry serves both, so producing a page adds one.
    CqzPageSlots<SqzPageEntry> m_entries;
    std::uint64_t m_generation = 0;
    std::int64_t m_producingPage = -1;
    CqzID m_tableID;
    CqzID m_instanceID;
    bool m_hasIDs = false;
    std::int64_t m_displayableRows;
    std::int64_t m_blockDoneCount = 0;
    std::int64_t m_lastBlockDoneRow = -1;
    int m_lastBlockDoneValue = 0;
};
