#include "qzSystem/data/CqzData.h"

#include <vector>

struct CqzData::SqzImp
{
    bool valid = true;
    std::vector<std::unique_ptr<CqzDataTable>> tables;
};

CqzData::CqzData() : m_imp(std::make_unique<SqzImp>()) {}

CqzData::~CqzData() = default;

bool CqzData::IsDataValid() const
{
    return m_imp->valid && !m_imp->tables.empty();
}

void CqzData::SetDataValid(bool valid)
{
    m_imp->valid = valid;
}

int CqzData::GetTableCount() const
{
    return static_cast<int>(m_imp->tables.size());
}

CqzDataTable* CqzData::GetTable(int index) const
{
    return index >= 0 && index < GetTableCount() ? m_imp->tables[index].get() : nullptr;
}

CqzDataTable* CqzData::FindTable(const CqzID& tableID) const
{
    for (const auto& table : m_imp->tables)
        if (table->GetID() == tableID)
            return table.get();
    return nullptr;
}

CqzDataTable* CqzData::AddTable(const CqzID& tableID)
{
    if (CqzDataTable* existing = FindTable(tableID))
        return existing;
    m_imp->tables.push_back(std::make_unique<CqzDataTable>(tableID));
    return m_imp->tables.back().get();
}

void CqzData::RemoveAllTables()
{
    m_imp->tables.clear();
}

CqzDataTableIter* CqzData::CreateIter() const
{
    return new CqzDataTableIter(*this);
}

CqzDataTable* CqzData::GetTableWithLabelID(const CqzID& labelID) const
{
    for (const auto& table : m_imp->tables)
        if (table->FindColumn(labelID) >= 0)
            return table.get();
    return nullptr;
}

CqzDataColumn* CqzData::GetColumnWithLabelID(const CqzID& labelID) const
{
    const CqzDataTable* table = GetTableWithLabelID(labelID);
    return table ? table->GetColumnWithLabelID(labelID) : nullptr;
}
