#include "qzSystem/output/CqzPageSubrowSampleAttributesDataSourceIter.h"

CqzPageSubrowSampleAttributesDataSourceIter::CqzPageSubrowSampleAttributesDataSourceIter(
    std::shared_ptr<CqzSubrowSampleAttributesPageStore> store)
    : m_cursor(std::move(store))
{
    m_cursor.SetRow(0);
}

bool CqzPageSubrowSampleAttributesDataSourceIter::SetPosition(std::int64_t row)
{
    m_line = 0;
    return m_cursor.SetRow(row);
}

bool CqzPageSubrowSampleAttributesDataSourceIter::Next()
{
    if (IsAtEnd())
        return false;
    if (m_line < GetSubrowCount())
    {
        ++m_line;
        return true;
    }
    return NextRow();
}

bool CqzPageSubrowSampleAttributesDataSourceIter::NextRow()
{
    m_line = 0;
    return m_cursor.NextRow();
}

CqzSampleAttributes CqzPageSubrowSampleAttributesDataSourceIter::GetValue()
{
    const CqzSubrowSampleAttributesPage* page = m_cursor.Access(true, false);
    return page ? page->Get(m_cursor.GetOffset(), m_line) : CqzSampleAttributes();
}

bool CqzPageSubrowSampleAttributesDataSourceIter::SetValue(const CqzSampleAttributes& value)
{
    CqzSubrowSampleAttributesPage* page = m_cursor.Access(MayProduce(), true);
    return page != nullptr && page->Set(m_cursor.GetOffset(), m_line, value);
}

bool CqzPageSubrowSampleAttributesDataSourceIter::AddSubrow()
{
    CqzSubrowSampleAttributesPage* page = m_cursor.Access(MayProduce(), true);
    if (page == nullptr)
        return false;
    page->AddSubrow(m_cursor.GetOffset());
    return true;
}

std::int64_t CqzPageSubrowSampleAttributesDataSourceIter::GetSubrowCount()
{
    // Moving through lines is navigation, not reading: the producer's does not produce.
    const CqzSubrowSampleAttributesPage* page = m_cursor.Access(MayProduce(), false);
    return page ? page->GetSubrowCount(m_cursor.GetOffset()) : 0;
}
