#pragma once
// Iterator over a column of numbers (also time, read as its 64 bits), for example a table's
// subrow-count column. Made by CqzSampleDataSource::CreateIter; the caller owns it.

#include "qzSystem/data/CqzSampleStoreIter.h"

class CqzIntegralDataSourceIter : public CqzSampleStoreIter
{
public:
    explicit CqzIntegralDataSourceIter(std::shared_ptr<const CqzSampleStore> store);

    // The value at the position; 0 at the end.
    CqzUInt GetValue() const;
};
