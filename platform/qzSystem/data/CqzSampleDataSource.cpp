#include "qzSystem/data/CqzSampleDataSource.h"

#include "qzSystem/data/CqzIntegralDataSourceIter.h"
#include "qzSystem/data/CqzStringDataSourceIter.h"

CqzSampleDataSource::CqzSampleDataSource(std::shared_ptr<CqzSampleStore> store)
    : m_store(std::move(store))
{
}

CString CqzSampleDataSource::GetDataTypeName() const
{
    switch (m_store->GetKind())
    {
    case eqzSampleString:
        return L"CString";
    case eqzSampleTime:
        return L"CqzPosition";
    default:
        return L"CqzUInt";
    }
}

std::int64_t CqzSampleDataSource::GetRowCount() const
{
    return m_store->GetCount();
}

std::unique_ptr<CqzDataSource> CqzSampleDataSource::Clone() const
{
    return std::make_unique<CqzSampleDataSource>(m_store);
}

CqzDataSourceIter* CqzSampleDataSource::CreateIter()
{
    if (m_store->GetKind() == eqzSampleString)
        return new CqzStringDataSourceIter(m_store);
    return new CqzIntegralDataSourceIter(m_store);
}
