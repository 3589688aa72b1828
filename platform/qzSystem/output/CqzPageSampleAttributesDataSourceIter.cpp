#include "qzSystem/output/CqzPageSampleAttributesDataSourceIter.h"

#include <algorithm>

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

void CqzPageSampleAttributesDataSourceIter::GetValues(CqzSampleAttributes* values,
                                                      std::int64_t count)
{
    while (count > 0)
    {
        const std::int64_t rows = std::min(count, m_cursor.GetRowsLeftInPage());
        if (rows == 0)
            return std::fill(values, values + count, CqzSampleAttributes());
        const CqzSampleAttributesPage* page = m_cursor.Access(true, false);
        if (page != nullptr)
            page->Read(m_cursor.GetOffset(), values, rows);
        else
            std::fill(values, values + rows, CqzSampleAttributes());
        m_cursor.Advance(rows);
        values += rows;
        count -= rows;
    }
}

std::int64_t CqzPageSampleAttributesDataSourceIter::SetValues(const CqzSampleAttributes* values,
                                                              std::int64_t count)
{
    std::int64_t written = 0;
    while (written < count)
    {
        const std::int64_t rows = std::min(count - written, m_cursor.GetRowsLeftInPage());
        CqzSampleAttributesPage* page = rows > 0 ? m_cursor.Access(MayProduce(), true) : nullptr;
        if (page == nullptr)
            break;
        page->Write(m_cursor.GetOffset(), values + written, rows);
        m_cursor.Advance(rows);
        written += rows;
    }
    return written;
}
