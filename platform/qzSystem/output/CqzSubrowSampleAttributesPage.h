#pragma once
// One page of a paged attribute source with one record per subrow: each row has its main line
// and any number of further subrows. Subrow storage is made only for pages that have subrows.

#include "qzSystem/output/CqzDataSubrowProducer.h"
#include "qzSystem/output/CqzPageBlockPool.h"
#include "qzSystem/output/CqzPageStore.h"
#include "qzSystem/output/CqzSampleAttributes.h"

#include <cstdint>
#include <vector>

class CqzSubrowSampleAttributesPage
{
public:
    // The main lines take a chunk of the store's pool, which must outlive the page.
    using Memory = CqzPageBlockPool;
    static std::size_t GetMemoryArgument(int pageSize)
    {
        return static_cast<std::size_t>(pageSize) * sizeof(CqzSampleAttributes);
    }
    CqzSubrowSampleAttributesPage(std::int64_t rowCount, CqzPageBlockPool& pool);
    ~CqzSubrowSampleAttributesPage();
    CqzSubrowSampleAttributesPage(const CqzSubrowSampleAttributesPage&) = delete;
    CqzSubrowSampleAttributesPage& operator=(const CqzSubrowSampleAttributesPage&) = delete;

    // The number of subrows of the row at `offset` (its lines are 0 ... count, 0 the main line).
    std::int64_t GetSubrowCount(std::int64_t offset) const;
    // The record of a line; a default record for a line the row does not have.
    CqzSampleAttributes Get(std::int64_t offset, std::int64_t line) const;
    // Writes the record of a line; false for a line the row does not have.
    bool Set(std::int64_t offset, std::int64_t line, const CqzSampleAttributes& value);
    // Appends one subrow (default record) to the row.
    void AddSubrow(std::int64_t offset);
    // Back to default main lines and no subrows, as before production.
    void Reset();

private:
    CqzPageBlockPool& m_pool;
    CqzSampleAttributes* m_mainLines = nullptr;
    std::size_t m_rowCount;
    std::vector<std::vector<CqzSampleAttributes>> m_subrows; // empty, or one list per row
};

using CqzSubrowSampleAttributesPageStore =
    CqzPageStore<CqzSubrowSampleAttributesPage, CqzDataSubrowProducer<CqzSampleAttributes>>;
