#include "qzSystem/output/CqzDataSourceProxy.h"

#include "qzSystem/managers/CqzInfoMgr.h"

namespace
{

// Beyond this the page table alone would take gigabytes.
constexpr std::int64_t MaxPageCount = std::int64_t{1} << 31;

// Why the request is refused, or an empty text when it can be served.
CString Refusal(const CString& typeName, std::int64_t rowCount, int pageSize, int flags)
{
    CString why;
    if (typeName != CString(CqzSampleAttributes::TypeName))
        why.Format(L"no paged data source for the data type \"%s\"", typeName);
    else if (rowCount < 0)
        why.Format(L"row count %lld is negative", static_cast<long long>(rowCount));
    else if (pageSize < 1)
        why.Format(L"page size %d is below 1", pageSize);
    else if (rowCount / pageSize >= MaxPageCount)
        why.Format(L"row count %lld needs more than %lld pages of %d rows",
                   static_cast<long long>(rowCount), static_cast<long long>(MaxPageCount),
                   pageSize);
    else if (flags != 0)
        why.Format(L"flags %d are not supported (pass 0)", flags);
    return why;
}

bool Accept(const CString& typeName, std::int64_t rowCount, int pageSize, int flags)
{
    const CString why = Refusal(typeName, rowCount, pageSize, flags);
    if (why.IsEmpty())
        return true;
    CqzInfoMgr::Instance().LogMessage(L"CqzDataSourceProxy: " + why, eqzLogError);
    return false;
}

} // namespace

std::unique_ptr<CqzPageSampleAttributesDataSource>
CqzDataSourceProxy::CreatePageDataSource(const CString& typeName, std::int64_t rowCount,
                                         int pageSize, int flags)
{
    if (!Accept(typeName, rowCount, pageSize, flags))
        return nullptr;
    return std::make_unique<CqzPageSampleAttributesDataSource>(rowCount, pageSize);
}

std::unique_ptr<CqzPageSubrowSampleAttributesDataSource>
CqzDataSourceProxy::CreatePageDataSourceWithSubrows(const CString& typeName, std::int64_t rowCount,
                                                    int pageSize)
{
    if (!Accept(typeName, rowCount, pageSize, 0))
        return nullptr;
    return std::make_unique<CqzPageSubrowSampleAttributesDataSource>(rowCount, pageSize);
}
