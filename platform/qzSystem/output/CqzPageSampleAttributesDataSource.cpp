#include "qzSystem/output/CqzPageSampleAttributesDataSource.h"

CqzPageSampleAttributesDataSource::CqzPageSampleAttributesDataSource(std::int64_t rowCount,
                                                                     int pageSize)
    : CqzPageSampleAttributesDataSource(
          std::make_shared<CqzSampleAttributesPageStore>(rowCount, pageSize))
{
}

CqzPageSampleAttributesDataSource::CqzPageSampleAttributesDataSource(
    std::shared_ptr<CqzSampleAttributesPageStore> store)
    : CqzPageSourceBase(std::move(store))
{
}

CqzPageSampleAttributesDataSource::~CqzPageSampleAttributesDataSource() = default;
