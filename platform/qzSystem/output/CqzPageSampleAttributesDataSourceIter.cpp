#include "qzSystem/output/CqzPageSampleAttributesDataSourceIter.h"

CqzPageSampleAttributesDataSourceIter::CqzPageSampleAttributesDataSourceIter(
    std::shared_ptr<CqzSampleAttributesPageStore> store)
    : m_cursor(std::move(store))
{
    m_cursor.SetRow(0);
}

CqzSampleAttributes CqzPageSampleAttributesDataSourceIter::GetValue()
{
    const CqzSampleAttributesPage* page = m_cursor.Access(true, false);
    return page ? page->Get(m_cursor.GetOffset()) : CqzSampleAttributes();
}

bool CqzPageSampleAttributesDataSourceIter::SetValue(const CqzSampleAttributes& value)
{
    CqzSampleAttributesPage* page = m_cursor.Access(MayProduce(), true);
    if (page == nullptr)
        return false;
    page->Set(m_cursor.GetOffset(), value);
    return true;
}
