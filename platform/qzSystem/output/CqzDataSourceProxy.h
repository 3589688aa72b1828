#pragma once
// Makes the host's paged data sources by data type name. Only "CqzSampleAttributes" sources
// are made here. A refused request (unknown type name, negative row count, page size below 1,
// flags other than 0) returns null and logs an error saying why.

#include "mfc/CString.h"
#include "qzSystem/output/CqzPageSampleAttributesDataSource.h"
#include "qzSystem/output/CqzPageSubrowSampleAttributesDataSource.h"

#include <cstdint>
#include <memory>

class CqzDataSourceProxy
{
public:
    // A source with one value per row, in pages of `pageSize` rows. `flags` is reserved: 0.
    static std::unique_ptr<CqzPageSampleAttributesDataSource>
    CreatePageDataSource(const CString& typeName, std::int64_t rowCount, int pageSize, int flags);
    // A source with one value per subrow, in pages of `pageSize` rows.
    static std::unique_ptr<CqzPageSubrowSampleAttributesDataSource>
    CreatePageDataSourceWithSubrows(const CString& typeName, std::int64_t rowCount, int pageSize);
};
