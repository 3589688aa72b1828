#include "qzSystem/data/CqzValueStore.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <new>

static_assert(std::endian::native == std::endian::little,
              "values are stored as the low bytes of little-endian words");

namespace
{
int ByteWidthFor(int bits)
{
    if (bits <= 8)
        return 1;
    if (bits <= 16)
        return 2;
    if (bits <= 32)
        return 4;
    return bits <= 64 ? 8 : 16;
}
} // namespace

CqzValueStore::CqzValueStore(int widthBits)
    : m_widthBits(std::clamp(widthBits, 1, 128)), m_byteWidth(ByteWidthFor(m_widthBits)),
      m_mask(CqzUInt::LowMask(m_widthBits))
{
}

CqzValueStore::~CqzValueStore()
{
    std::free(m_data);
}

void CqzValueStore::Grow(std::size_t bytes)
{
    if (bytes <= m_capacity)
        return;
    void* grown = std::realloc(m_data, bytes);
    if (!grown)
        throw std::bad_alloc();
    m_data = static_cast<std::uint8_t*>(grown);
    m_capacity = bytes;
}

void CqzValueStore::Reserve(std::int64_t count)
{
    if (count > 0)
        Grow(static_cast<std::size_t>(count) * m_byteWidth);
}

void CqzValueStore::AppendMany(std::int64_t count, bool hold)
{
    if (count <= 0)
        return;
    const std::size_t need = m_size + static_cast<std::size_t>(count) * m_byteWidth;
    if (need > m_capacity)
        Grow(std::max(need, m_capacity + m_capacity / 2 + 64));
    const CqzUInt fill = hold && m_count > 0 ? Get(m_count - 1) : CqzUInt();
    for (std::size_t at = m_size; at < need; at += m_byteWidth)
        Put(m_data + at, fill);
    m_size = need;
    m_count += count;
}

void CqzValueStore::Clear()
{
    m_size = 0;
    m_count = 0;
}

void CqzValueStore::SetRange(std::int64_t index, const CqzUInt* values, std::int64_t count)
{
    for (std::int64_t i = 0; i < count; ++i)
        Set(index + i, values[i]);
}

void CqzValueStore::SetRange(std::int64_t index, const std::uint64_t* values, std::int64_t count)
{
    for (std::int64_t i = 0; i < count; ++i)
        Set(index + i, CqzUInt(values[i]));
}
