#include "qzSystem/output/CqzDataTableFilterCache.h"

#include "qzSystem/output/CqzBlockArena.h"

#include <algorithm>
#include <limits>
#include <map>
#include <memory_resource>
#include <new>

struct CqzDataTableFilterCache::SqzImp
{
    using RangeMap = std::pmr::map<std::int64_t, std::int64_t>;

    CqzID instanceID;
    CqzID tableID;
    // The nodes of `ranges`; declared first, so that it outlives the map.
    CqzBlockArena arena;
    // First row -> last row, disjoint, not adjoining. Never destroyed: its nodes hold integers
    // only and go with the arena's blocks, so dropping millions of ranges costs nothing a range.
    union
    {
        RangeMap ranges;
    };
    std::int64_t hiddenRows = 0;

    SqzImp() { new (&ranges) RangeMap(&arena); }
    ~SqzImp() {}
    SqzImp(const SqzImp&) = delete;
    SqzImp& operator=(const SqzImp&) = delete;

    void Drop()
    {
        arena.Reset();
        new (&ranges) RangeMap(&arena);
        hiddenRows = 0;
    }

    // Ranges registered in row order, as a producer does, go at the end or extend the last
    // range without a search of the tree (whose nodes are spread over a deep output's memory).
    bool AddAtEnd(std::int64_t first, std::int64_t last)
    {
        if (!ranges.empty() && ranges.rbegin()->second + 1 < first)
        {
            ranges.emplace_hint(ranges.end(), first, last);
            hiddenRows += last - first + 1;
            return true;
        }
        if (ranges.empty() || ranges.rbegin()->first > first)
            return false;
        std::int64_t& end = ranges.rbegin()->second;
        if (last > end)
            hiddenRows += last - end, end = last;
        return true;
    }

    // The range holding `row`, or end().
    RangeMap::const_iterator Find(std::int64_t row) const
    {
        auto it = ranges.upper_bound(row);
        if (it == ranges.begin())
            return ranges.end();
        --it;
        return it->second >= row ? it : ranges.end();
    }
};

CqzDataTableFilterCache::CqzDataTableFilterCache(const CqzID& instanceID, const CqzID& tableID)
    : m(std::make_unique<SqzImp>())
{
    m->instanceID = instanceID;
    m->tableID = tableID;
}

CqzDataTableFilterCache::~CqzDataTableFilterCache() = default;

const CqzID& CqzDataTableFilterCache::GetInstanceID() const
{
    return m->instanceID;
}

const CqzID& CqzDataTableFilterCache::GetTableID() const
{
    return m->tableID;
}

bool CqzDataTableFilterCache::AddRange(std::int64_t first, std::int64_t last)
{
    if (first < 0 || last < first || last == std::numeric_limits<std::int64_t>::max())
        return false;
    if (m->AddAtEnd(first, last))
        return true;
    auto it = m->ranges.upper_bound(first);
    if (it != m->ranges.begin() && std::prev(it)->second >= first - 1)
        --it;
    // A range that starts at or before `first` and reaches no further range is extended in
    // place (runs registered in row order): no node is made or freed.
    if (it != m->ranges.end() && it->first <= first &&
        (std::next(it) == m->ranges.end() || std::next(it)->first - 1 > last))
    {
        const std::int64_t end = std::max(last, it->second);
        m->hiddenRows += end - it->second;
        it->second = end;
        return true;
    }
    // Swallow every range that overlaps or adjoins [first, last].
    while (it != m->ranges.end() && it->first - 1 <= last)
    {
        first = std::min(first, it->first);
        last = std::max(last, it->second);
        m->hiddenRows -= it->second - it->first + 1;
        it = m->ranges.erase(it);
    }
    m->ranges.emplace_hint(it, first, last);
    m->hiddenRows += last - first + 1;
    return true;
}

bool CqzDataTableFilterCache::IsHidden(std::int64_t row) const
{
    return m->Find(row) != m->ranges.end();
}

std::int64_t CqzDataTableFilterCache::GetNextShownRow(std::int64_t row) const
{
    row = std::max<std::int64_t>(row, 0);
    auto it = m->Find(row);
    return it == m->ranges.end() ? row : it->second + 1;
}

std::int64_t CqzDataTableFilterCache::GetPreviousShownRow(std::int64_t row) const
{
    if (row < 0)
        return -1;
    auto it = m->Find(row);
    return it == m->ranges.end() ? row : it->first - 1;
}

std::int64_t CqzDataTableFilterCache::GetHiddenRowCount() const
{
    return m->hiddenRows;
}

std::size_t CqzDataTableFilterCache::GetRangeCount() const
{
    return m->ranges.size();
}

std::vector<std::pair<std::int64_t, std::int64_t>> CqzDataTableFilterCache::GetRanges() const
{
    return {m->ranges.begin(), m->ranges.end()};
}

void CqzDataTableFilterCache::Clear()
{
    m->Drop();
}
