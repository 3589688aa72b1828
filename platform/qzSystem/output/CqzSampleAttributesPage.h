#pragma once
// One page of a paged attribute source with one record per row. Its records live in a chunk
// of the store's page block pool, which must outlive the page.

#include "qzSystem/output/CqzDataProducer.h"
#include "qzSystem/output/CqzPageBlockPool.h"
#include "qzSystem/output/CqzPageStore.h"
#include "qzSystem/output/CqzSampleAttributes.h"

#include <cstdint>
#include <cstring>
#include <type_traits>

// Reset writes default records as zero bytes.
static_assert(CqzSampleAttributes().GetRaw() == 0 && sizeof(CqzSampleAttributes) == 8 &&
              std::is_trivially_copyable_v<CqzSampleAttributes>);

class CqzSampleAttributesPage
{
public:
    // The chunk bytes a page of pageSize rows needs.
    static std::size_t GetChunkBytes(int pageSize)
    {
        return static_cast<std::size_t>(pageSize) * sizeof(CqzSampleAttributes);
    }

    // rowCount at most the page size the pool was made for. The records start as default
    // records (a chunk fresh from the pool already holds zero bytes).
    CqzSampleAttributesPage(std::int64_t rowCount, CqzPageBlockPool& pool)
        : m_pool(pool), m_count(static_cast<std::size_t>(rowCount))
    {
        bool zeroed = false;
        m_records = static_cast<CqzSampleAttributes*>(pool.Take(&zeroed));
        if (!zeroed)
            Reset();
    }
    ~CqzSampleAttributesPage() { m_pool.Give(m_records); }
    CqzSampleAttributesPage(const CqzSampleAttributesPage&) = delete;
    CqzSampleAttributesPage& operator=(const CqzSampleAttributesPage&) = delete;

    // `offset` is the row's place in the page; the caller keeps it in range.
    const CqzSampleAttributes& Get(std::int64_t offset) const
    {
        return m_records[static_cast<std::size_t>(offset)];
    }
    void Set(std::int64_t offset, const CqzSampleAttributes& value)
    {
        m_records[static_cast<std::size_t>(offset)] = value;
    }
    // count records from offset on; the caller keeps them inside the page.
    void Read(std::int64_t offset, CqzSampleAttributes* out, std::int64_t count) const
    {
        std::memcpy(out, m_records + offset, static_cast<std::size_t>(count) * sizeof *out);
    }
    void Write(std::int64_t offset, const CqzSampleAttributes* values, std::int64_t count)
    {
        std::memcpy(m_records + offset, values, static_cast<std::size_t>(count) * sizeof *values);
    }
    // Back to default records, as before production.
    void Reset() { std::memset(static_cast<void*>(m_records), 0, m_count * sizeof *m_records); }

private:
    CqzPageBlockPool& m_pool;
    CqzSampleAttributes* m_records = nullptr;
    std::size_t m_count;
};

using CqzSampleAttributesPageStore =
    CqzPageStore<CqzSampleAttributesPage, CqzDataProducer<CqzSampleAttributes>>;
