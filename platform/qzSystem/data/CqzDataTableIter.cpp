#include "qzSystem/data/CqzDataTableIter.h"

#include "qzSystem/data/CqzData.h"

struct CqzDataTableIter::SqzImp
{
    const CqzData* data = nullptr;
    int count = 0;
    int index = 0;
};

CqzDataTableIter::CqzDataTableIter(const CqzData& data) : m_imp(std::make_unique<SqzImp>())
{
    m_imp->data = &data;
    m_imp->count = data.GetTableCount();
}

CqzDataTableIter::~CqzDataTableIter() = default;

void CqzDataTableIter::First()
{
    m_imp->index = 0;
}

bool CqzDataTableIter::IsDone() const
{
    return m_imp->index >= m_imp->count;
}

void CqzDataTableIter::Next()
{
    if (!IsDone())
        ++m_imp->index;
}

CqzDataTable* CqzDataTableIter::GetCurrentTable() const
{
    return IsDone() ? nullptr : m_imp->data->GetTable(m_imp->index);
}
