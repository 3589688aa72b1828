#include "CqzBenchMemoryProbe.h"

#include "qzSystem/data/CqzData.h"
#include "qzSystem/output/CqzPageDataSource.h"

#include <malloc.h>

#include <fstream>
#include <sstream>
#include <string>

namespace
{
template <typename F> void ForEachOutput(const CqzData& data, F visit)
{
    for (int i = 0; i < data.GetTableCount(); ++i)
    {
        const CqzDataColumn* column = data.GetTable(i)->GetColumn(eqzRoleAttributes);
        auto* source = column ? dynamic_cast<CqzPageDataSource*>(column->GetDataSource()) : nullptr;
        if (source != nullptr)
            visit(*source);
    }
}
} // namespace

std::int64_t CqzBenchMemoryProbe::GetResidentBytes()
{
    std::ifstream status("/proc/self/status");
    return status ? ParseResidentBytes(status) : -1;
}

std::int64_t CqzBenchMemoryProbe::GetResidentBytesTrimmed()
{
    malloc_trim(0);
    return GetResidentBytes();
}

std::int64_t CqzBenchMemoryProbe::ParseResidentBytes(std::istream& status)
{
    return ParseStatusBytes(status, "VmRSS:");
}

std::int64_t CqzBenchMemoryProbe::GetPeakResidentBytes()
{
    std::ifstream status("/proc/self/status");
    return status ? ParseStatusBytes(status, "VmHWM:") : -1;
}

bool CqzBenchMemoryProbe::ResetPeakResidentBytes()
{
    std::ofstream refs("/proc/self/clear_refs");
    return refs && (refs << "5").flush();
}

std::int64_t CqzBenchMemoryProbe::ParseStatusBytes(std::istream& status, const std::string& field)
{
    std::string line;
    while (std::getline(status, line))
    {
        if (line.rfind(field, 0) != 0)
            continue;
        std::istringstream fields(line.substr(field.size()));
        std::int64_t amount = -1;
        std::string unit;
        if (!(fields >> amount >> unit) || amount < 0 || unit != "kB")
            return -1;
        return amount * 1024;
    }
    return -1;
}

std::int64_t CqzBenchMemoryProbe::GetAllocatedPages(const CqzData& data)
{
    std::int64_t pages = 0;
    ForEachOutput(data, [&](const CqzPageDataSource& source)
                  { pages += source.GetAllocatedPageCount(); });
    return pages;
}

std::int64_t CqzBenchMemoryProbe::GetPageBytes(const CqzData& data)
{
    std::int64_t bytes = 0;
    ForEachOutput(data,
                  [&](const CqzPageDataSource& source)
                  {
                      // A byte a row: the code of the record in the source's palette
                      // (the workloads' few distinct records never make a page plain).
                      bytes = static_cast<std::int64_t>(source.GetPageSize());
                  });
    return bytes;
}
