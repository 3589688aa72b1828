#include "CqzRowAttributes.h"

#include "qzSystem/output/CqzDataCacheMgr.h"
#include "qzSystem/output/CqzSampleAttributesDataSourceIter.h"

#include <algorithm>

struct CqzRowAttributes::SqzImp
{
    const CqzDataTable& table;
    CqzID instanceID;
    std::unique_ptr<CqzSampleAttributesDataSourceIter> iter;
    std::int64_t position = -1;
    std::int64_t skipped = 0;

    const CqzDataTableFilterCache* Cache() const
    {
        return CqzDataCacheMgr::Instance().GetSystemFilterCache().GetCache(instanceID,
                                                                           table.GetID());
    }
};

CqzRowAttributes::CqzRowAttributes(const CqzDataTable& table, const CqzID& instanceID)
    : m_imp(new SqzImp{table, instanceID, nullptr})
{
    const CqzDataColumn* column = table.GetColumn(eqzRoleAttributes);
    CqzDataSource* source = column ? column->GetDataSource() : nullptr;
    if (source == nullptr || source->GetDataTypeName() != CString(CqzSampleAttributes::TypeName))
        return;
    m_imp->iter.reset(dynamic_cast<CqzSampleAttributesDataSourceIter*>(source->CreateIter()));
    if (m_imp->iter)
        m_imp->iter->SetAccessMode(0);
}

CqzRowAttributes::~CqzRowAttributes() = default;

bool CqzRowAttributes::HasRecords() const
{
    return m_imp->iter != nullptr;
}

std::int64_t CqzRowAttributes::GetRowCount() const
{
    return m_imp->table.GetRowCount();
}

CqzSampleAttributes CqzRowAttributes::Get(std::int64_t row, int subrow)
{
    if (!m_imp->iter || row < 0 || row >= GetRowCount() ||
        subrow >= m_imp->table.GetSubrowCount(row))
        return CqzSampleAttributes();
    if (m_imp->iter->IsPerSubrow())
    {
        // The iterator stands on the row's main line; its subrows follow line by line.
        m_imp->position = -1;
        if (!m_imp->iter->SetPosition(row))
            return CqzSampleAttributes();
        for (int line = -1; line < subrow; ++line)
            m_imp->iter->Next();
        return m_imp->iter->GetValue();
    }
    if (subrow >= 0)
        return CqzSampleAttributes();
    if (row == m_imp->position)
        return m_imp->iter->GetValue();
    if (row == m_imp->position + 1 && m_imp->position >= 0)
        m_imp->iter->Next();
    else if (!m_imp->iter->SetPosition(row))
        return CqzSampleAttributes();
    m_imp->position = row;
    return m_imp->iter->GetValue();
}

bool CqzRowAttributes::IsRowHidden(std::int64_t row)
{
    for (int subrow = -1; subrow < RecordedSubrows(row); ++subrow)
        if (!Get(row, subrow).IsHidden())
            return false;
    return true;
}

bool CqzRowAttributes::IsRowColored(std::int64_t row)
{
    for (int subrow = -1; subrow < RecordedSubrows(row); ++subrow)
    {
        const CqzSampleAttributes record = Get(row, subrow);
        if (record.IsColored() && !record.IsHidden())
            return true;
    }
    return false;
}

// Subrows that have records of their own (none when the records are kept per row).
int CqzRowAttributes::RecordedSubrows(std::int64_t row) const
{
    return m_imp->iter && m_imp->iter->IsPerSubrow() ? m_imp->table.GetSubrowCount(row) : 0;
}

std::int64_t CqzRowAttributes::NextShown(std::int64_t row)
{
    const std::int64_t rows = GetRowCount();
    if (!m_imp->iter)
        return row < rows ? row : rows;
    while (row < rows)
    {
        if (!IsRowHidden(row))
            return row;
        // The record was read, so its page exists and its registered runs are known.
        const CqzDataTableFilterCache* cache = m_imp->Cache();
        const std::int64_t next =
            cache && cache->IsHidden(row) ? cache->GetNextShownRow(row) : row + 1;
        const std::int64_t landed = std::min(next, rows);
        m_imp->skipped += landed - row - 1;
        row = landed;
    }
    return rows;
}

std::int64_t CqzRowAttributes::GetSkippedByCache() const
{
    return m_imp->skipped;
}
