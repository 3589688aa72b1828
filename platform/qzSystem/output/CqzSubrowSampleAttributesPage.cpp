#include "qzSystem/output/CqzSubrowSampleAttributesPage.h"

#include <cstring>

CqzSubrowSampleAttributesPage::CqzSubrowSampleAttributesPage(std::int64_t rowCount,
                                                             CqzPageBlockPool& pool)
    : m_pool(pool), m_rowCount(static_cast<std::size_t>(rowCount))
{
    bool zeroed = false;
    m_mainLines = static_cast<CqzSampleAttributes*>(pool.Take(&zeroed));
    if (!zeroed)
        Reset();
}

CqzSubrowSampleAttributesPage::~CqzSubrowSampleAttributesPage()
{
    m_pool.Give(m_mainLines);
}

std::int64_t CqzSubrowSampleAttributesPage::GetSubrowCount(std::int64_t offset) const
{
    if (m_subrows.empty())
        return 0;
    return static_cast<std::int64_t>(m_subrows[static_cast<std::size_t>(offset)].size());
}

CqzSampleAttributes CqzSubrowSampleAttributesPage::Get(std::int64_t offset, std::int64_t line) const
{
    if (line == 0)
        return m_mainLines[static_cast<std::size_t>(offset)];
    if (line < 0 || line > GetSubrowCount(offset))
        return CqzSampleAttributes();
    return m_subrows[static_cast<std::size_t>(offset)][static_cast<std::size_t>(line - 1)];
}

bool CqzSubrowSampleAttributesPage::Set(std::int64_t offset, std::int64_t line,
                                        const CqzSampleAttributes& value)
{
    if (line == 0)
        m_mainLines[static_cast<std::size_t>(offset)] = value;
    else if (line < 0 || line > GetSubrowCount(offset))
        return false;
    else
        m_subrows[static_cast<std::size_t>(offset)][static_cast<std::size_t>(line - 1)] = value;
    return true;
}

void CqzSubrowSampleAttributesPage::AddSubrow(std::int64_t offset)
{
    if (m_subrows.empty())
        m_subrows.resize(m_rowCount);
    m_subrows[static_cast<std::size_t>(offset)].emplace_back();
}

void CqzSubrowSampleAttributesPage::Reset()
{
    // Default records are zero bytes (see CqzSampleAttributesPage).
    std::memset(static_cast<void*>(m_mainLines), 0, m_rowCount * sizeof *m_mainLines);
    m_subrows.clear();
}
