#pragma once
// Base of everything that backs a data column: stored label values, and the paged sources that
// analysis tools fill on demand. A copy made by Clone reads and writes the same values.

#include "mfc/CString.h"

#include <cstdint>
#include <memory>

class CqzDataSourceIter;

class CqzDataSource
{
public:
    virtual ~CqzDataSource() = default;

    // The name of the value type, for example "CqzSampleAttributes".
    virtual CString GetDataTypeName() const = 0;
    virtual std::int64_t GetRowCount() const = 0;
    // A new handle on the same values.
    virtual std::unique_ptr<CqzDataSource> Clone() const = 0;
    // A new iterator over the values; the caller owns it.
    virtual CqzDataSourceIter* CreateIter() = 0;
};
