#include "qzSystem/data/CqzUnknownDigitStore.h"

#include <algorithm>

void CqzUnknownDigitStore::Set(std::int64_t line, const CqzUInt& unknown, const CqzUInt& floating)
{
    const auto from =
        std::lower_bound(m_records.begin(), m_records.end(), line,
                         [](const SqzRecord& r, std::int64_t l) { return r.line < l; });
    m_records.erase(from, m_records.end());
    const bool open = !unknown.IsZero() || !floating.IsZero();
    if (open || IsOpen())
        m_records.push_back({line, unknown, floating, open});
}

bool CqzUnknownDigitStore::Get(std::int64_t line, CqzUInt& unknown, CqzUInt& floating) const
{
    const auto after =
        std::upper_bound(m_records.begin(), m_records.end(), line,
                         [](std::int64_t l, const SqzRecord& r) { return l < r.line; });
    if (after == m_records.begin() || !std::prev(after)->open)
        return false;
    unknown = std::prev(after)->unknown;
    floating = std::prev(after)->floating;
    return true;
}
