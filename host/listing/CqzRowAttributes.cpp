#include "CqzRowAttributes.h"

#include "qzSystem/output/CqzDataCacheMgr.h"
#include "qzSystem/output/CqzPageDataSource.h"
#include "qzSystem/output/CqzSampleAttributesDataSourceIter.h"

#include <algorithm>
#include <vector>

struct CqzRowAttributes::SqzImp
{
    SqzImp(const CqzDataTable& t, const CqzID& id) : table(t), instanceID(id) {}

    const CqzDataTable& table;
    CqzID instanceID;
    std::unique_ptr<CqzSampleAttributesDataSourceIter> iter;
    bool perSubrow = false;
    std::int64_t skipped = 0;
    // Records kept per row are read a page of the tool's output at a time (the rows of a page
    // are produced together); reading them one by one costs more than producing them.
    std::int64_t pageRows = 1;
    std::vector<CqzSampleAttributes> page;
    std::int64_t pageFirst = -1;

    const CqzDataTableFilterCache* Cache() const
    {
        return CqzDataCacheMgr::Instance().GetSystemFilterCache().GetCache(instanceID,
                                                                           table.GetID());
    }
};

CqzRowAttributes::CqzRowAttributes(const CqzDataTable& table, const CqzID& instanceID)
    : m_imp(std::make_unique<SqzImp>(table, instanceID))
{
    const CqzDataColumn* column = table.GetColumn(eqzRoleAttributes);
    CqzDataSource* source = column ? column->GetDataSource() : nullptr;
    if (source == nullptr || source->GetDataTypeName() != CString(CqzSampleAttributes::TypeName))
        return;
    m_imp->iter.reset(dynamic_cast<CqzSampleAttributesDataSourceIter*>(source->CreateIter()));
    if (!m_imp->iter)
        return;
    m_imp->iter->SetAccessMode(0);
    m_imp->perSubrow = m_imp->iter->IsPerSubrow();
    if (auto* pages = dynamic_cast<const CqzPageDataSource*>(source))
        m_imp->pageRows = std::max(1, pages->GetPageSize());
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
    if (!m_imp->iter || row < 0 || row >= GetRowCount())
        return CqzSampleAttributes();
    if (!m_imp->perSubrow)
        return subrow < 0 ? FromPage(row) : CqzSampleAttributes();
    if (subrow >= m_imp->table.GetSubrowCount(row))
        return CqzSampleAttributes();
    // The iterator stands on the row's main line; its subrows follow line by line.
    if (!m_imp->iter->SetPosition(row))
        return CqzSampleAttributes();
    for (int line = -1; line < subrow; ++line)
        m_imp->iter->Next();
    return m_imp->iter->GetValue();
}

CqzSampleAttributes CqzRowAttributes::FromPage(std::int64_t row)
{
    SqzImp& imp = *m_imp;
    if (imp.pageFirst < 0 || row < imp.pageFirst ||
        row >= imp.pageFirst + static_cast<std::int64_t>(imp.page.size()))
    {
        const std::int64_t first = row - row % imp.pageRows;
        imp.pageFirst = -1;
        if (!imp.iter->SetPosition(first))
            return CqzSampleAttributes();
        imp.page.resize(static_cast<std::size_t>(std::min(imp.pageRows, GetRowCount() - first)));
        imp.iter->GetValues(imp.page.data(), static_cast<std::int64_t>(imp.page.size()));
        imp.pageFirst = first;
    }
    return imp.page[static_cast<std::size_t>(row - imp.pageFirst)];
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
    return m_imp->perSubrow ? m_imp->table.GetSubrowCount(row) : 0;
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
