#pragma once
// The text pool of a string column: every distinct text once, NUL-terminated, in one buffer,
// numbered from 0 (text 0 is the empty text). Lines of the column hold text numbers. Owned by
// a CqzSampleStore.

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

class CqzStringStore
{
public:
    CqzStringStore();

    // The number of the text, adding it to the pool when it is new.
    std::uint32_t Add(const wchar_t* text, std::size_t length);
    // The text with this number; the empty text for an unknown number.
    const wchar_t* Get(std::uint32_t id) const
    {
        return id < m_offsets.size() ? m_pool.data() + m_offsets[id] : m_pool.data();
    }
    std::size_t GetTextCount() const { return m_offsets.size(); }
    // Characters in the pool, terminators included.
    std::size_t GetPoolSize() const { return m_pool.size(); }
    void Clear();

private:
    std::size_t Length(std::uint32_t id) const;

    std::vector<wchar_t> m_pool;
    std::vector<std::uint64_t> m_offsets;
    // Hash of a text to the numbers of the pooled texts with that hash.
    std::unordered_multimap<std::size_t, std::uint32_t> m_index;
};
