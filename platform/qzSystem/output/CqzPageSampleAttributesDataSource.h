#pragma once
// Paged source of CqzSampleAttributes records, one per row, filled page by page by its
// producer (a CqzDataProducer<CqzSampleAttributes>, kept by the source). Made through
// CqzDataSourceProxy::CreatePageDataSource; owned by whoever made it. Clone gives a second
// handle on the same pages.

#include "qzSystem/output/CqzPageSampleAttributesDataSourceIter.h"
#include "qzSystem/output/CqzPageSourceBase.h"
#include "qzSystem/output/CqzSampleAttributesPage.h"

#include <cstdint>
#include <memory>

class CqzPageSampleAttributesDataSource final
    : public CqzPageSourceBase<CqzPageSampleAttributesDataSource, CqzSampleAttributesPageStore,
                               CqzPageSampleAttributesDataSourceIter>
{
public:
    // Throws std::invalid_argument for a negative row count or a page size below 1.
    CqzPageSampleAttributesDataSource(std::int64_t rowCount, int pageSize);
    ~CqzPageSampleAttributesDataSource() override;

private:
    friend class CqzPageSourceBase<CqzPageSampleAttributesDataSource, CqzSampleAttributesPageStore,
                                   CqzPageSampleAttributesDataSourceIter>;
    explicit CqzPageSampleAttributesDataSource(std::shared_ptr<CqzSampleAttributesPageStore> store);
};
