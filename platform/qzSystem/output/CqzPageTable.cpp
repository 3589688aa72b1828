#include "qzSystem/output/CqzPageTable.h"

#include "qzSystem/output/CqzDataCacheMgr.h"

#include <algorithm>
#include <stdexcept>

namespace
{

std::int64_t CheckedRowCount(std::int64_t rowCount)
{
    if (rowCount < 0)
        throw std::invalid_argument("paged data source: negative row count");
    return rowCount;
}

int CheckedPageSize(int pageSize)
{
    if (pageSize < 1)
        throw std::invalid_argument("paged data source: page size must be at least 1");
    return pageSize;
}

} // namespace

CqzPageTable::CqzPageTable(std::int64_t rowCount, int pageSize)
    : m_rowCount(CheckedRowCount(rowCount)), m_pageSize(CheckedPageSize(pageSize)),
      m_pageCount(m_rowCount / m_pageSize + (m_rowCount % m_pageSize != 0 ? 1 : 0)),
      m_displayableRows(rowCount)
{
}

CqzDataPage CqzPageTable::DescribePage(std::int64_t page) const
{
    const std::int64_t first = page * m_pageSize;
    return CqzDataPage(page, first, std::min<std::int64_t>(m_pageSize, m_rowCount - first));
}

int CqzPageTable::GetPageState(std::int64_t page) const
{
    if (!IsPageIndex(page))
        return -1;
    const SqzPageEntry* entry = m_entries.Find(page);
    return entry == nullptr ? PageNeverProduced : entry->state;
}

void CqzPageTable::Invalidate()
{
    m_entries.ForEach(
        [](std::int64_t, SqzPageEntry& entry)
        {
            if (entry.state == PageProduced)
                entry.state = PageInvalidated;
        });
    Touch();
    CqzDataCacheMgr::Instance().GetSystemFilterCache().ClearCache(m_instanceID, m_tableID);
}

std::int64_t CqzPageTable::GetPartialPage() const
{
    return m_rowCount % m_pageSize != 0 ? m_pageCount - 1 : -1;
}

bool CqzPageTable::GrowRows(std::int64_t rowCount)
{
    if (rowCount < m_rowCount || IsProducing())
        return false;
    if (const SqzPageEntry* entry = m_entries.Find(GetPartialPage()))
    {
        m_displayableRows += entry->countChange;
        m_entries.Erase(GetPartialPage());
    }
    m_displayableRows += rowCount - m_rowCount;
    m_rowCount = rowCount;
    m_pageCount = m_rowCount / m_pageSize + (m_rowCount % m_pageSize != 0 ? 1 : 0);
    Touch();
    return true;
}

CqzPageTable::~CqzPageTable()
{
    if (m_hasIDs)
        CqzDataCacheMgr::Instance().GetSystemFilterCache().ReleaseCache(m_instanceID, m_tableID,
                                                                        this);
}

void CqzPageTable::SetIDs(const CqzID& tableID, const CqzID& instanceID)
{
    CqzSystemFilterCache& caches = CqzDataCacheMgr::Instance().GetSystemFilterCache();
    if (m_hasIDs)
        caches.ReleaseCache(m_instanceID, m_tableID, this);
    m_tableID = tableID;
    m_instanceID = instanceID;
    m_hasIDs = true;
    caches.ClaimCache(m_instanceID, m_tableID, this);
}

void CqzPageTable::SetDisplayableRowCount(std::int64_t count)
{
    count = std::clamp<std::int64_t>(count, 0, m_rowCount);
    if (IsProducing())
        m_entries.TryEmplace(m_producingPage).first->countChange += m_displayableRows - count;
    m_displayableRows = count;
}

void CqzPageTable::NotifyBlockDone(std::int64_t firstRow, int value)
{
    ++m_blockDoneCount;
    m_lastBlockDoneRow = firstRow;
    m_lastBlockDoneValue = value;
}

void CqzPageTable::BeginProduction(std::int64_t page)
{
    m_producingPage = page;
    TakeBackCountChange(page);
    Touch();
}

void CqzPageTable::EndProduction(std::int64_t page, bool succeeded)
{
    m_producingPage = -1;
    if (succeeded)
        m_entries.TryEmplace(page).first->state = PageProduced;
    else
    {
        TakeBackCountChange(page);
        m_entries.Erase(page);
    }
    Touch();
}

void CqzPageTable::TakeBackCountChange(std::int64_t page)
{
    SqzPageEntry* entry = m_entries.Find(page);
    if (entry == nullptr)
        return;
    m_displayableRows =
        std::clamp<std::int64_t>(m_displayableRows + entry->countChange, 0, m_rowCount);
    entry->countChange = 0;
}
