#include "qzSystem/managers/CqzMemoryBudget.h"

#include "qzSystem/managers/CqzMemoryLimitError.h"

#include <algorithm>
#include <cstdio>

CqzMemoryBudget::CqzMemoryBudget(std::uint64_t limit, const std::string& source)
    : m_limit(limit), m_source(source)
{
}

CqzMemoryBudget& CqzMemoryBudget::Run()
{
    static CqzMemoryBudget budget;
    return budget;
}

void CqzMemoryBudget::SetLimit(std::uint64_t bytes, const std::string& source)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_limit = bytes;
    m_source = source;
}

std::uint64_t CqzMemoryBudget::GetLimit() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_limit;
}

void CqzMemoryBudget::Clear()
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_parts.clear();
    m_limit = 0;
    m_source.clear();
}

void CqzMemoryBudget::Hold(const std::string& part, std::uint64_t bytes, const std::string& purpose)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    Change(part, bytes, purpose);
}

void CqzMemoryBudget::Take(const std::string& part, std::uint64_t bytes)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const std::uint64_t held = m_parts[part].held;
    Change(part, held + std::min(bytes, ~std::uint64_t{0} - held), "");
}

void CqzMemoryBudget::Give(const std::string& part, std::uint64_t bytes)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_parts.find(part);
    if (it != m_parts.end())
        it->second.held -= std::min(bytes, it->second.held);
}

void CqzMemoryBudget::SetAside(const std::string& part, std::uint64_t bytes)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_parts[part].aside = bytes;
}

std::uint64_t CqzMemoryBudget::GetCounted() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return CountedWithout("");
}

std::string CqzMemoryBudget::Describe(std::uint64_t bytes)
{
    static const char* const units[] = {"bytes", "KiB", "MiB", "GiB", "TiB"};
    double value = static_cast<double>(bytes);
    int unit = 0;
    while (value >= 1024 && unit < 4)
    {
        value /= 1024;
        ++unit;
    }
    char text[32];
    std::snprintf(text, sizeof text, unit == 0 ? "%.0f %s" : "%.1f %s", value, units[unit]);
    return text;
}

// Under the lock.
void CqzMemoryBudget::Change(const std::string& part, std::uint64_t held,
                             const std::string& purpose)
{
    SqzPart& entry = m_parts[part];
    const std::uint64_t counted = std::max(held, entry.aside);
    const std::uint64_t others = CountedWithout(part);
    if (m_limit != 0 && (counted > m_limit || others > m_limit - counted))
        throw CqzMemoryLimitError(Refusal(part, counted, purpose));
    entry.held = held;
}

std::uint64_t CqzMemoryBudget::CountedWithout(const std::string& part) const
{
    std::uint64_t total = 0;
    for (const auto& [name, entry] : m_parts)
        if (name != part)
            total += std::min(std::max(entry.held, entry.aside), ~std::uint64_t{0} - total);
    return total;
}

// "the capture needs about 18.8 KiB of memory for 10000 rows of 9 labels, besides about
// 1.0 MiB for the filter's output; 16.0 KiB are allowed by QZFILTER_MEMORY_LIMIT"
std::string CqzMemoryBudget::Refusal(const std::string& part, std::uint64_t need,
                                     const std::string& purpose) const
{
    std::string text = part + " needs about " + Describe(need) + " of memory" +
                       (purpose.empty() ? "" : " " + purpose);
    const char* joint = ", besides about ";
    for (const auto& [name, entry] : m_parts)
        if (const std::uint64_t counted = std::max(entry.held, entry.aside);
            name != part && counted > 0)
        {
            text += joint + Describe(counted) + " for " + name;
            joint = " and about ";
        }
    return text + "; " + DescribeLimit(m_limit, m_source);
}

std::string CqzMemoryBudget::DescribeLimit(std::uint64_t bytes, const std::string& source)
{
    const bool available = source.rfind("available", 0) == 0;
    return Describe(bytes) + " are " + (available ? "" : "allowed by ") + source;
}
