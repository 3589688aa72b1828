#pragma once
// Paged source of CqzSampleAttributes records, one per subrow: each row has its main line and
// the subrows its producer adds (through an iterator's AddSubrow) when it produces the row's
// page. The producer is a CqzDataSubrowProducer<CqzSampleAttributes>, kept by the source. Made
// through CqzDataSourceProxy::CreatePageDataSourceWithSubrows; owned by whoever made it. Clone
// gives a second handle on the same pages.

#include "qzSystem/output/CqzPageSourceBase.h"
#include "qzSystem/output/CqzPageSubrowSampleAttributesDataSourceIter.h"
#include "qzSystem/output/CqzSubrowSampleAttributesPage.h"

#include <cstdint>
#include <memory>

class CqzPageSubrowSampleAttributesDataSource final
    : public CqzPageSourceBase<CqzPageSubrowSampleAttributesDataSource,
                               CqzSubrowSampleAttributesPageStore,
                               CqzPageSubrowSampleAttributesDataSourceIter>
{
public:
    // Throws std::invalid_argument for a negative row count or a page size below 1.
    CqzPageSubrowSampleAttributesDataSource(std::int64_t rowCount, int pageSize);
    ~CqzPageSubrowSampleAttributesDataSource() override;

private:
    friend class CqzPageSourceBase<CqzPageSubrowSampleAttributesDataSource,
                                   CqzSubrowSampleAttributesPageStore,
                                   CqzPageSubrowSampleAttributesDataSourceIter>;
    explicit CqzPageSubrowSampleAttributesDataSource(
        std::shared_ptr<CqzSubrowSampleAttributesPageStore> store);
};
