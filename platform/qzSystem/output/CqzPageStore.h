#pragma once
// The pages of one paged data source and the producer that fills them. A page is allocated
// only when it is produced or written, so memory follows the pages asked for, not the row
// count: the page table costs one pointer and one state byte per page. Shared by the source's
// handles and iterators; TPage is the page layout (rows, or rows with subrows), TProducer the
// producer base class; TPage takes its memory from the store's TPage::Memory, made from
// TPage::GetMemoryArgument(page size).

#include "qzSystem/output/CqzPageTable.h"

#include <cstdint>
#include <memory>
#include <vector>

template <class TPage, class TProducer> class CqzPageStore : public CqzPageTable
{
public:
    using Page = TPage;
    using Producer = TProducer;

    CqzPageStore(std::int64_t rowCount, int pageSize)
        : CqzPageTable(rowCount, pageSize), m_memory(TPage::GetMemoryArgument(GetPageSize()))
    {
    }
    // The memory goes with the pages, so they need not give their chunks back one by one.
    ~CqzPageStore() override { m_memory.Close(); }

    // The last page's storage goes when it was partial: it was made for fewer rows.
    bool GrowRows(std::int64_t rowCount) override
    {
        const std::int64_t partial = GetPartialPage();
        if (!CqzPageTable::GrowRows(rowCount))
            return false;
        if (m_pages.Erase(partial))
            --m_allocatedPages;
        return true;
    }

    // The page's storage, or null when it has none (or the index is out of range).
    TPage* FindPage(std::int64_t page) const
    {
        return m_pages.Find(page);
    }

    // The page's storage, made (all default values) when it has none yet; null out of range.
    TPage* AllocatePage(std::int64_t page)
    {
        if (!IsPageIndex(page))
            return nullptr;
        const auto [stored, made] = m_pages.TryEmplace(page, DescribePage(page).GetRowCount(), m_memory);
        if (made)
        {
            ++m_allocatedPages;
            Touch();
        }
        return stored;
    }

    // Makes sure the page is produced, asking the producer when it is not, and returns its
    // storage (null when there is none). Nothing is asked while another page of this source is
    // being produced, so a producer reading its own source cannot recurse.
    TPage* ProducePage(std::int64_t page)
    {
        if (!IsPageIndex(page))
            return nullptr;
        if (GetPageState(page) == PageProduced || IsProducing() || !m_producer)
            return FindPage(page);
        BeginProduction(page);
        // A new page starts with default records; one produced before is reset to them.
        if (TPage* earlier = FindPage(page))
            earlier->Reset();
        else
            AllocatePage(page);
        bool succeeded = false;
        try
        {
            const CqzDataPage description = DescribePage(page);
            succeeded = m_producer->Produce(description, description.GetFirstRow());
        }
        catch (...)
        {
            FinishProduction(page, false);
            throw;
        }
        FinishProduction(page, succeeded);
        return FindPage(page);
    }

    // Installs the producer (owned, shared by all handles); the earlier one is destroyed.
    // Refused while a page is being produced.
    bool SetProducer(std::unique_ptr<TProducer> producer)
    {
        if (IsProducing())
            return false;
        m_producer = std::move(producer);
        m_dropProducerAfterProduction = false;
        ++m_producerSerial;
        return true;
    }
    TProducer* GetProducer() const { return m_producer.get(); }
    // Counts the SetProducer calls: tells a handle whether the producer it installed is still
    // the one in place.
    std::uint64_t GetProducerSerial() const { return m_producerSerial; }
    // Destroys the producer, at once or, during a production, when the production ends.
    void ReleaseProducer()
    {
        if (IsProducing())
            m_dropProducerAfterProduction = true;
        else
            m_producer.reset();
    }

    std::int64_t GetAllocatedPageCount() const { return m_allocatedPages; }

private:
    void FinishProduction(std::int64_t page, bool succeeded)
    {
        if (!succeeded)
            FreePage(page);
        EndProduction(page, succeeded);
        if (m_dropProducerAfterProduction)
        {
            m_dropProducerAfterProduction = false;
            m_producer.reset();
        }
    }

    void FreePage(std::int64_t page)
    {
        if (!m_pages.Erase(page))
            return;
        --m_allocatedPages;
        Touch();
    }

    // The pages' memory; declared before the pages, so that it outlives them.
    typename TPage::Memory m_memory;
    // Storage of the pages that have it, by page index. Mutable: FindPage hands out writable
    // pages.
    mutable CqzPageSlots<TPage> m_pages;
    std::unique_ptr<TProducer> m_producer;
    std::int64_t m_allocatedPages = 0;
    std::uint64_t m_producerSerial = 0;
    bool m_dropProducerAfterProduction = false;
};
