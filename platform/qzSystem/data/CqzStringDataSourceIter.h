#pragma once
// Iterator over a string column. Made by CqzSampleDataSource::CreateIter; the caller owns it.

#include "mfc/CString.h"
#include "qzSystem/data/CqzSampleStoreIter.h"

class CqzStringDataSourceIter : public CqzSampleStoreIter
{
public:
    explicit CqzStringDataSourceIter(std::shared_ptr<const CqzSampleStore> store);

    // The text at the position into text (empty at the end); returns the status.
    int GetText(CString& text) const;
};
