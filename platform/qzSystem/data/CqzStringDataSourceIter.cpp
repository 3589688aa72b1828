#include "qzSystem/data/CqzStringDataSourceIter.h"

CqzStringDataSourceIter::CqzStringDataSourceIter(std::shared_ptr<const CqzSampleStore> store)
    : CqzSampleStoreIter(std::move(store))
{
}

int CqzStringDataSourceIter::GetText(CString& text) const
{
    if (IsAtEnd() || GetStore().GetKind() != eqzSampleString)
    {
        text.Empty();
        return 3;
    }
    text = GetStore().GetText(GetPosition());
    return GetStatus();
}
