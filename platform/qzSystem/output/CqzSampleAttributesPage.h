#pragma once
// One page of a paged attribute source with one record per row.

#include "qzSystem/output/CqzDataProducer.h"
#include "qzSystem/output/CqzPageStore.h"
#include "qzSystem/output/CqzSampleAttributes.h"

#include <algorithm>
#include <cstdint>
#include <vector>

class CqzSampleAttributesPage
{
public:
    explicit CqzSampleAttributesPage(std::int64_t rowCount)
        : m_records(static_cast<std::size_t>(rowCount))
    {
    }

    // `offset` is the row's place in the page; the caller keeps it in range.
    const CqzSampleAttributes& Get(std::int64_t offset) const
    {
        return m_records[static_cast<std::size_t>(offset)];
    }
    void Set(std::int64_t offset, const CqzSampleAttributes& value)
    {
        m_records[static_cast<std::size_t>(offset)] = value;
    }
    // Back to default records, as before production.
    void Reset() { std::fill(m_records.begin(), m_records.end(), CqzSampleAttributes()); }

private:
    std::vector<CqzSampleAttributes> m_records;
};

using CqzSampleAttributesPageStore =
    CqzPageStore<CqzSampleAttributesPage, CqzDataProducer<CqzSampleAttributes>>;
