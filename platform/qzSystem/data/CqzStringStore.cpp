#include "qzSystem/data/CqzStringStore.h"

#include <algorithm>
#include <string_view>

namespace
{
std::size_t Hash(const wchar_t* text, std::size_t length)
{
    return std::hash<std::wstring_view>()(std::wstring_view(text, length));
}
} // namespace

CqzStringStore::CqzStringStore()
{
    Clear();
}

void CqzStringStore::Clear()
{
    m_pool.assign(1, L'\0');
    m_offsets.assign(1, 0);
    m_index.clear();
    m_index.emplace(Hash(L"", 0), 0);
}

std::size_t CqzStringStore::Length(std::uint32_t id) const
{
    const std::uint64_t end = id + 1 < m_offsets.size() ? m_offsets[id + 1] : m_pool.size();
    return static_cast<std::size_t>(end - m_offsets[id] - 1);
}

std::uint32_t CqzStringStore::Add(const wchar_t* text, std::size_t length)
{
    if (!text)
        length = 0;
    const std::size_t hash = Hash(text ? text : L"", length);
    auto [first, last] = m_index.equal_range(hash);
    for (auto it = first; it != last; ++it)
        if (Length(it->second) == length &&
            std::equal(text, text + length, m_pool.data() + m_offsets[it->second]))
            return it->second;
    const auto id = static_cast<std::uint32_t>(m_offsets.size());
    m_offsets.push_back(m_pool.size());
    m_pool.insert(m_pool.end(), text, text + length);
    m_pool.push_back(L'\0');
    m_index.emplace(hash, id);
    return id;
}
