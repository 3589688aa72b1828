#include "qzSystem/data/CqzSampleStoreIter.h"

CqzSampleStoreIter::CqzSampleStoreIter(std::shared_ptr<const CqzSampleStore> store)
    : m_store(std::move(store))
{
}

bool CqzSampleStoreIter::SetPosition(std::int64_t row)
{
    const std::int64_t count = m_store->GetCount();
    m_position = row >= 0 && row < count ? row : count;
    return m_position < count;
}

bool CqzSampleStoreIter::Next()
{
    if (IsAtEnd())
        return false;
    ++m_position;
    return !IsAtEnd();
}

int CqzSampleStoreIter::GetStatus() const
{
    if (IsAtEnd())
        return 3;
    return m_store->GetStatuses().Get(m_position, m_statusCursor);
}
