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
    return WritePages(count, [values](CqzSampleAttributesPage& page, std::int64_t offset,
                                      std::int64_t done, std::int64_t rows)
                      { page.Write(offset, values + done, rows); });
}

std::int64_t CqzPageSampleAttributesDataSourceIter::SetChosenValues(
    const std::uint8_t* picks, const CqzSampleAttributes* choices, int choiceCount,
    std::int64_t count)
{
    return WritePages(count, [=](CqzSampleAttributesPage& page, std::int64_t offset,
                                 std::int64_t done, std::int64_t rows)
                      { page.WriteChosen(offset, picks + done, choices, choiceCount, rows); });
}

template <typename F>
std::int64_t CqzPageSampleAttributesDataSourceIter::WritePages(std::int64_t count, F&& write)
{
    std::int64_t written = 0;
    while (written < count)
    {
        const std::int64_t rows = std::min(count - written, m_cursor.GetRowsLeftInPage());
        CqzSampleAttributesPage* page = rows > 0 ? m_cursor.Access(MayProduce(), true) : nullptr;
        if (page == nullptr)
            break;
        write(*page, m_cursor.GetOffset(), written, rows);
        m_cursor.Advance(rows);
        written += rows;
    }
    return written;
}
