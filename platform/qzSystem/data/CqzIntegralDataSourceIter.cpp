#include "qzSystem/data/CqzIntegralDataSourceIter.h"

CqzIntegralDataSourceIter::CqzIntegralDataSourceIter(std::shared_ptr<const CqzSampleStore> store)
    : CqzSampleStoreIter(std::move(store))
{
}

CqzUInt CqzIntegralDataSourceIter::GetValue() const
{
    if (IsAtEnd() || GetStore().GetKind() == eqzSampleString)
        return CqzUInt();
    return GetStore().GetValue(GetPosition());
}
