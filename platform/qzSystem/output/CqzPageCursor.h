#pragma once
// The row position of an iterator over a paged source, with the page it stands on kept at
// hand: stepping through rows touches the page table only at page boundaries, or when the
// store's generation shows that pages were produced, freed or invalidated meanwhile.

#include "qzSystem/output/CqzPageTable.h"

#include <cstdint>
#include <memory>

template <class TStore> class CqzPageCursor
{
public:
    using Page = typename TStore::Page;

    explicit CqzPageCursor(std::shared_ptr<TStore> store)
        : m_store(std::move(store)), m_rowCount(m_store->GetRowCount()),
          m_pageSize(m_store->GetPageSize()), m_row(m_rowCount)
    {
    }

    TStore& GetStore() const { return *m_store; }
    std::int64_t GetRow() const { return m_row; }
    bool IsAtEnd() const { return m_row >= m_rowCount; }
    // The row's place in its page.
    std::int64_t GetOffset() const { return m_offset; }

    // False, and at end, for a row out of range.
    bool SetRow(std::int64_t row)
    {
        m_cachedFor = NotCached;
        if (row < 0 || row >= m_rowCount)
        {
            m_row = m_rowCount;
            return false;
        }
        m_row = row;
        m_pageIndex = row / m_pageSize;
        m_offset = row % m_pageSize;
        return true;
    }

    // Rows from the current one to the end of its page (0 at end).
    std::int64_t GetRowsLeftInPage() const
    {
        if (IsAtEnd())
            return 0;
        const std::int64_t inPage = m_pageSize - m_offset;
        return inPage < m_rowCount - m_row ? inPage : m_rowCount - m_row;
    }
    // Moves count rows on (at end when that leaves the source).
    void Advance(std::int64_t count) { SetRow(m_row + count); }

    bool NextRow()
    {
        if (IsAtEnd())
            return false;
        ++m_row;
        if (++m_offset == m_pageSize)
        {
            m_offset = 0;
            ++m_pageIndex;
            m_cachedFor = NotCached;
        }
        return !IsAtEnd();
    }

    // The storage of the current row's page. With `mayProduce` an unproduced page is produced
    // first; with `forWrite` a page without storage gets it. Null at end, or when the page has
    // no storage and none was asked for.
    Page* Access(bool mayProduce, bool forWrite)
    {
        if (IsAtEnd())
            return nullptr;
        // One compare answers both "cached at all" and "cached for this kind of access".
        if (m_cachedFor != int{mayProduce} || m_generation != m_store->GetGeneration() ||
            (forWrite && m_page == nullptr))
            Lookup(mayProduce, forWrite);
        return m_page;
    }

private:
    void Lookup(bool mayProduce, bool forWrite)
    {
        m_page = mayProduce ? m_store->ProducePage(m_pageIndex) : m_store->FindPage(m_pageIndex);
        if (m_page == nullptr && forWrite)
            m_page = m_store->AllocatePage(m_pageIndex);
        m_generation = m_store->GetGeneration();
        m_cachedFor = int{mayProduce};
    }

    std::shared_ptr<TStore> m_store;
    std::int64_t m_rowCount;
    std::int64_t m_pageSize;
    std::int64_t m_row;
    std::int64_t m_pageIndex = 0;
    std::int64_t m_offset = 0;
    Page* m_page = nullptr;
    std::uint64_t m_generation = 0;
    // NotCached, or whether the page pointer was looked up for reads that may produce (1) or not.
    static constexpr int NotCached = -1;
    int m_cachedFor = NotCached;
};
