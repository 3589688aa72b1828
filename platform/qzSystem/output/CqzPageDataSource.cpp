#include "qzSystem/output/CqzPageDataSource.h"

#include "qzSystem/output/CqzPageTable.h"

std::int64_t CqzPageDataSource::GetRowCount() const
{
    return GetPageTable().GetRowCount();
}

int CqzPageDataSource::GetPageSize() const
{
    return GetPageTable().GetPageSize();
}

std::int64_t CqzPageDataSource::GetPageCount() const
{
    return GetPageTable().GetPageCount();
}

int CqzPageDataSource::GetPageState(std::int64_t page) const
{
    return GetPageTable().GetPageState(page);
}

void CqzPageDataSource::SetIDs(const CqzID& tableID, const CqzID& instanceID)
{
    GetPageTable().SetIDs(tableID, instanceID);
}

const CqzID& CqzPageDataSource::GetTableID() const
{
    return GetPageTable().GetTableID();
}

const CqzID& CqzPageDataSource::GetInstanceID() const
{
    return GetPageTable().GetInstanceID();
}

void CqzPageDataSource::Invalidate()
{
    GetPageTable().Invalidate();
}

bool CqzPageDataSource::GrowRows(std::int64_t rowCount)
{
    return GetPageTable().GrowRows(rowCount);
}

bool CqzPageDataSource::IsProducing() const
{
    return GetPageTable().IsProducing();
}

std::int64_t CqzPageDataSource::GetDisplayableRowCount() const
{
    return GetPageTable().GetDisplayableRowCount();
}

void CqzPageDataSource::SetDisplayableRowCount(std::int64_t count)
{
    GetPageTable().SetDisplayableRowCount(count);
}

void CqzPageDataSource::NotifyBlockDone(std::int64_t firstRow, int value)
{
    GetPageTable().NotifyBlockDone(firstRow, value);
}

std::int64_t CqzPageDataSource::GetBlockDoneCount() const
{
    return GetPageTable().GetBlockDoneCount();
}

std::int64_t CqzPageDataSource::GetLastBlockDoneRow() const
{
    return GetPageTable().GetLastBlockDoneRow();
}
