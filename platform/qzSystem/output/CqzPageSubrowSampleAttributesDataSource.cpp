#include "qzSystem/output/CqzPageSubrowSampleAttributesDataSource.h"

CqzPageSubrowSampleAttributesDataSource::CqzPageSubrowSampleAttributesDataSource(
    std::int64_t rowCount, int pageSize)
    : CqzPageSubrowSampleAttributesDataSource(
          std::make_shared<CqzSubrowSampleAttributesPageStore>(rowCount, pageSize))
{
}

CqzPageSubrowSampleAttributesDataSource::CqzPageSubrowSampleAttributesDataSource(
    std::shared_ptr<CqzSubrowSampleAttributesPageStore> store)
    : CqzPageSourceBase(std::move(store))
{
}

CqzPageSubrowSampleAttributesDataSource::~CqzPageSubrowSampleAttributesDataSource() = default;
