#pragma once
// Common part of the iterators over a CqzSampleStore: the entry position and its status.
// Made by CqzSampleDataSource::CreateIter; the caller owns it. Keeps the store alive.

#include "qzSystem/data/CqzDataSourceIter.h"
#include "qzSystem/data/CqzSampleStore.h"

#include <memory>

class CqzSampleStoreIter : public CqzDataSourceIter
{
public:
    bool SetPosition(std::int64_t row) override;
    std::int64_t GetPosition() const override { return m_position; }
    bool IsAtEnd() const override { return m_position >= m_store->GetCount(); }
    bool Next() override;

    // The status at the position; 3 (no data) at the end.
    int GetStatus() const;

protected:
    explicit CqzSampleStoreIter(std::shared_ptr<const CqzSampleStore> store);
    const CqzSampleStore& GetStore() const { return *m_store; }

private:
    std::shared_ptr<const CqzSampleStore> m_store;
    std::int64_t m_position = 0;
    mutable std::size_t m_statusCursor = 0;
};
