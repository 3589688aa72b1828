#include "CqzPageProduction.h"

#include "CqzRowAttributes.h"
#include "qzSystem/data/CqzDataColumn.h"
#include "qzSystem/output/CqzPageDataSource.h"

namespace
{
constexpr int ProducedState = 1;
constexpr std::int64_t ProgressEvery = 64;
} // namespace

CqzPageDataSource* CqzPageProduction::GetSource(const CqzDataTable& table, const CqzID& instanceID)
{
    CqzID owner;
    const CqzDataColumn* column = table.GetColumn(eqzRoleAttributes);
    if (column == nullptr || !table.GetAttributeID(eqzRoleAttributes, owner) || owner != instanceID)
        return nullptr;
    return dynamic_cast<CqzPageDataSource*>(column->GetDataSource());
}

std::int64_t CqzPageProduction::GetPageCount(const CqzData& data, const CqzID& instanceID)
{
    std::int64_t pages = 0;
    for (int t = 0; t < data.GetTableCount(); ++t)
        if (const CqzPageDataSource* source = GetSource(*data.GetTable(t), instanceID))
            pages += source->GetPageCount();
    return pages;
}

std::int64_t CqzPageProduction::GetProducedCount(const CqzData& data, const CqzID& instanceID)
{
    std::int64_t produced = 0;
    for (int t = 0; t < data.GetTableCount(); ++t)
        if (const CqzPageDataSource* source = GetSource(*data.GetTable(t), instanceID))
            for (std::int64_t page = 0; page < source->GetPageCount(); ++page)
                produced += source->GetPageState(page) == ProducedState ? 1 : 0;
    return produced;
}

bool CqzPageProduction::ProduceAll(const CqzData& data, const CqzID& instanceID,
                                   const Progress& progress)
{
    const std::int64_t total = GetPageCount(data, instanceID);
    std::int64_t done = 0;
    for (int t = 0; t < data.GetTableCount(); ++t)
    {
        const CqzDataTable& table = *data.GetTable(t);
        const CqzPageDataSource* source = GetSource(table, instanceID);
        if (source == nullptr)
            continue;
        CqzRowAttributes records(table, instanceID);
        const std::int64_t size = source->GetPageSize();
        for (std::int64_t page = 0; page < source->GetPageCount(); ++page, ++done)
        {
            if (source->GetPageState(page) != ProducedState)
                records.Get(page * size);
            if (done % ProgressEvery == 0 && progress && !progress(done, total))
                return false;
        }
    }
    if (progress)
        progress(total, total);
    return true;
}
