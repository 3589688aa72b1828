#include "qzSystem/data/CqzDataColumn.h"

struct CqzDataColumn::SqzImp
{
    int index = 0;
};

CqzDataColumn::CqzDataColumn(const CqzID& labelID, int index)
    : CqzDataColumnComponent(labelID), m_imp(std::make_unique<SqzImp>())
{
    m_imp->index = index;
}

CqzDataColumn::~CqzDataColumn() = default;

int CqzDataColumn::GetIndex() const
{
    return m_imp->index;
}
