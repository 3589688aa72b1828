#include "CqzViewRows.h"

#include "qzSystem/output/CqzDataCacheMgr.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace
{

std::optional<double> UnitScale(const std::string& unit)
{
    static const std::pair<const char*, double> units[] = {{"ps", 1.0}, {"ns", 1e3}, {"us", 1e6},
                                                           {"µs", 1e6}, {"ms", 1e9}, {"s", 1e12}};
    for (const auto& [name, scale] : units)
        if (unit == name)
            return scale;
    return std::nullopt;
}

} // namespace

CqzViewRows::CqzViewRows(const CqzDataTable& table, const CqzID& instanceID)
    : m_table(table), m_records(table, instanceID), m_text(table), m_instanceID(instanceID)
{
}

bool CqzViewRows::IsDrawn(std::int64_t row)
{
    return m_showHidden || !m_records.IsRowHidden(row);
}

std::int64_t CqzViewRows::Next(std::int64_t row)
{
    row = std::max<std::int64_t>(row, 0);
    if (m_showHidden)
        return std::min(row, GetRowCount());
    return m_records.NextShown(row);
}

std::int64_t CqzViewRows::Previous(std::int64_t row)
{
    row = std::min(row, GetRowCount() - 1);
    while (row >= 0 && !IsDrawn(row))
    {
        // The record was read, so the runs of its page are registered.
        const CqzDataTableFilterCache* cache =
            CqzDataCacheMgr::Instance().GetSystemFilterCache().GetCache(m_instanceID,
                                                                        m_table.GetID());
        row = cache && cache->IsHidden(row) ? cache->GetPreviousShownRow(row) : row - 1;
    }
    return row;
}

std::vector<int> CqzViewRows::DrawnLines(std::int64_t row)
{
    const int subrows = m_table.GetSubrowCount(row);
    if (subrows == 0)
        return {-1};
    std::vector<int> lines;
    for (int subrow = -1; subrow < subrows; ++subrow)
        if (m_showHidden || !m_records.Get(row, subrow).IsHidden())
            lines.push_back(subrow);
    return lines;
}

std::vector<std::int64_t> CqzViewRows::Lines(std::int64_t top, int count)
{
    std::vector<std::int64_t> rows;
    for (std::int64_t row = Next(top); row < GetRowCount() && int(rows.size()) < count;
         row = Next(row + 1))
        rows.push_back(row);
    return rows;
}

std::int64_t CqzViewRows::LastTop(int count)
{
    std::int64_t top = Previous(GetRowCount() - 1);
    for (int i = 1; i < count && top > 0; ++i)
    {
        const std::int64_t above = Previous(top - 1);
        if (above < 0)
            break;
        top = above;
    }
    return std::max<std::int64_t>(top, 0);
}

std::int64_t CqzViewRows::Step(std::int64_t top, std::int64_t lines)
{
    std::int64_t row = Next(top);
    if (row >= GetRowCount())
        row = Previous(GetRowCount() - 1);
    for (; lines > 0; --lines)
    {
        const std::int64_t below = Next(row + 1);
        if (below >= GetRowCount())
            break;
        row = below;
    }
    for (; lines < 0; ++lines)
    {
        const std::int64_t above = Previous(row - 1);
        if (above < 0)
            break;
        row = above;
    }
    return std::max<std::int64_t>(row, 0);
}

std::optional<std::int64_t> CqzViewRows::ParseTime(const std::string& text,
                                                   const std::string& defaultUnit)
{
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    double number = 0;
    std::string unit, rest;
    if (!(in >> number) || !std::isfinite(number) || number < 0)
        return std::nullopt;
    in >> unit >> rest;
    if (!rest.empty())
        return std::nullopt;
    const std::optional<double> scale = UnitScale(unit.empty() ? defaultUnit : unit);
    const double ps = scale ? number * *scale : NAN;
    if (!scale || !(std::fabs(ps) < 9.0e18))
        return std::nullopt;
    return static_cast<std::int64_t>(std::llround(ps));
}

std::optional<std::int64_t> CqzViewRows::FindTime(const std::string& text)
{
    const std::string heading = m_text.GetTimeHeading(); // "Time (ns)"
    const std::size_t open = heading.find('(');
    const std::string unit =
        open == std::string::npos ? "ps" : heading.substr(open + 1, heading.size() - open - 2);
    const std::optional<std::int64_t> time = ParseTime(text, unit);
    if (!time)
        return std::nullopt;
    // Times never decrease from row to row: the first row at or after the time by bisection.
    std::int64_t low = 0, high = GetRowCount();
    while (low < high)
    {
        const std::int64_t mid = low + (high - low) / 2;
        const CqzPosition at = m_table.GetTimeAt(m_table.GetLine(mid));
        if (at.IsValid() && at.GetTime() < *time)
            low = mid + 1;
        else
            high = mid;
    }
    return Next(low);
}
