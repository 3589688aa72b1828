#include "CqzBenchBaseline.h"

#include "CqzBenchWorkload.h"

#include <cwctype>

namespace
{
constexpr std::uint64_t Hidden = std::uint64_t{1} << 11;
constexpr std::uint64_t Colored = std::uint64_t{1} << 13;

constexpr std::uint64_t ColorRecord(std::uint32_t color)
{
    return Colored | (std::uint64_t{color & 0xffffffu} << 32);
}
} // namespace

std::uint64_t CqzBenchBaseline::Decide(std::uint32_t addr, std::uint32_t data, std::uint32_t stat,
                                       const wchar_t* msg)
{
    if (addr >= 0x1000 && addr <= 0x1fff && (stat & 0xf0) == 0x30)
        return Hidden;
    if (msg != nullptr && ContainsNoCase(msg, L"err"))
        return ColorRecord(CqzBenchWorkload::MsgColor);
    if (data == 0xdead)
        return ColorRecord(CqzBenchWorkload::DataColor);
    // A Show term hides whatever it does not match.
    if (!(addr < 0x8000))
        return Hidden;
    return 0;
}

bool CqzBenchBaseline::ContainsNoCase(const wchar_t* text, const wchar_t* pattern)
{
    if (*pattern == L'\0')
        return true;
    for (; *text != L'\0'; ++text)
    {
        const wchar_t* t = text;
        const wchar_t* p = pattern;
        while (*t != L'\0' && *p != L'\0' && static_cast<wchar_t>(std::towlower(*t)) == *p)
            ++t, ++p;
        if (*p == L'\0')
            return true;
    }
    return false;
}

void CqzBenchBaseline::Run(const CqzBenchWorkload& workload, std::vector<std::uint64_t>& records)
{
    const std::int64_t rows = workload.GetRowCount();
    records.resize(static_cast<std::size_t>(rows));
    const CqzValueStore& addr = workload.GetStore(CqzBenchWorkload::eAddr).GetEntries();
    const CqzValueStore& data = workload.GetStore(CqzBenchWorkload::eData).GetEntries();
    const CqzValueStore& stat = workload.GetStore(CqzBenchWorkload::eStat).GetEntries();
    const CqzSampleStore* msg =
        workload.HasText() ? &workload.GetStore(CqzBenchWorkload::eMsg) : nullptr;
    for (std::int64_t row = 0; row < rows; ++row)
        records[static_cast<std::size_t>(row)] =
            Decide(static_cast<std::uint32_t>(addr.GetLow(row)),
                   static_cast<std::uint32_t>(data.GetLow(row)),
                   static_cast<std::uint32_t>(stat.GetLow(row)),
                   msg != nullptr ? msg->GetText(row) : nullptr);
}
