#pragma once
// The data source of a label column: a handle on the column's CqzSampleStore. Copies made by
// Clone share the store. Its iterators are CqzIntegralDataSourceIter for numbers and time and
// CqzStringDataSourceIter for texts; they walk the store's entries (sample lines).

#include "qzSystem/data/CqzDataSource.h"
#include "qzSystem/data/CqzSampleStore.h"

#include <memory>

class CqzSampleDataSource : public CqzDataSource
{
public:
    explicit CqzSampleDataSource(std::shared_ptr<CqzSampleStore> store);

    // "CqzUInt", "CString" or "CqzPosition".
    CString GetDataTypeName() const override;
    std::int64_t GetRowCount() const override;
    std::unique_ptr<CqzDataSource> Clone() const override;
    CqzDataSourceIter* CreateIter() override;

    const std::shared_ptr<CqzSampleStore>& GetStore() const { return m_store; }

private:
    std::shared_ptr<CqzSampleStore> m_store;
};
