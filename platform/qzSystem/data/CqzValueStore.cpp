#include "qzSystem/data/CqzValueStore.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <new>

#include <sys/mman.h>

static_assert(std::endian::native == std::endian::little,
              "values are stored as the low bytes of little-endian words");

namespace
{
int ByteWidthFor(int bits)
{
    if (bits == 1)
        return 0;
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

namespace
{
// Buffers from this size on are anonymous mappings, grown by remapping their pages instead of
// copying the bytes (a heap block of this size would be copied on every growth).
constexpr std::size_t kMapped = std::size_t(256) << 10;
constexpr std::size_t kPage = std::size_t(4) << 10;
// Large mappings grow in steps of 2 MiB, so that a growing column is remapped less often. They
// are not asked for in huge pages: fresh huge pages came at 0.3 to 0.5 GB/s on the first touch
// (the kernel compacts memory to find them), small pages at 2 to 2.8 GB/s, and reading the
// columns was as fast either way (a 1.25 GB table imported in 3.8 s instead of 5 to 7 s).
constexpr std::size_t kGrowthUnit = std::size_t(2) << 20;

std::size_t MappedSize(std::size_t bytes)
{
    const std::size_t unit = bytes >= kGrowthUnit ? kGrowthUnit : kPage;
    return (bytes + unit - 1) / unit * unit;
}

std::uint8_t* Checked(void* p)
{
    if (p == MAP_FAILED)
        throw std::bad_alloc();
    return static_cast<std::uint8_t*>(p);
}

std::uint8_t* Map(std::size_t bytes)
{
    return Checked(mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
}

std::uint8_t* Remap(std::uint8_t* data, std::size_t oldBytes, std::size_t bytes)
{
    return Checked(mremap(data, oldBytes, bytes, MREMAP_MAYMOVE));
}
} // namespace

CqzValueStore::~CqzValueStore()
{
    Release();
}

void CqzValueStore::Release()
{
    if (m_capacity >= kMapped)
        munmap(m_data, m_capacity);
    else
        std::free(m_data);
    m_data = nullptr;
    m_capacity = 0;
}

void CqzValueStore::Grow(std::size_t bytes)
{
    if (bytes <= m_capacity)
        return;
    if (bytes < kMapped)
    {
        void* grown = std::realloc(m_data, bytes);
        if (!grown)
            throw std::bad_alloc();
        m_data = static_cast<std::uint8_t*>(grown);
        m_capacity = bytes;
        return;
    }
    bytes = MappedSize(bytes);
    if (m_capacity >= kMapped)
    {
        m_data = Remap(m_data, m_capacity, bytes);
        m_capacity = bytes;
        return;
    }
    std::uint8_t* mapped = Map(bytes);
    if (m_size > 0)
        std::memcpy(mapped, m_data, m_size);
    std::free(m_data);
    m_data = mapped;
    m_capacity = bytes;
}

void CqzValueStore::Reserve(std::int64_t count)
{
    if (count > 0 && !m_progression)
        Grow(BytesFor(count));
}

std::pair<std::uint8_t*, std::size_t> CqzValueStore::GetCapacityBytes(std::int64_t first,
                                                                      std::int64_t count) const
{
    if (m_progression || m_capacity < kMapped || first < 0 || count <= 0)
        return {nullptr, 0};
    const std::size_t from = std::min(BytesFor(first), m_capacity);
    const std::size_t to = std::min(BytesFor(first + count), m_capacity);
    return {m_data + from, to - from};
}

void CqzValueStore::Prefault(std::uint8_t* bytes, std::size_t size)
{
    if (size == 0)
        return;
    // Whole pages (a mapping starts and ends at page boundaries); a kernel without this
    // advice leaves the faults to the writer.
    const auto from = reinterpret_cast<std::uintptr_t>(bytes) / kPage * kPage;
    const auto to = (reinterpret_cast<std::uintptr_t>(bytes) + size + kPage - 1) / kPage * kPage;
#ifdef MADV_POPULATE_WRITE
    madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
#endif
}

namespace
{
// Entries of type T from p to end, each the low bytes of value.
template <typename T> void FillWith(std::uint8_t* p, std::uint8_t* end, std::uint64_t value)
{
    const T v = static_cast<T>(value);
    for (; p < end; p += sizeof(T))
        std::memcpy(p, &v, sizeof(T));
}
} // namespace

void CqzValueStore::KeepProgression()
{
    if (m_count != 0 || m_widthBits != 64)
        return;
    Release();
    m_size = 0;
    m_progression = true;
}

bool CqzValueStore::ContinueProgression(std::int64_t index, const std::uint64_t* values,
                                        std::int64_t count)
{
    if (count <= 0)
        return true;
    const std::uint64_t step = count > 1 ? values[1] - values[0] : m_step;
    std::uint64_t expected = values[0];
    for (std::int64_t i = 0; i < count; ++i, expected += step)
        if (values[i] != expected)
            return false;
    return ContinueSteps(index, count, values[0], step);
}

bool CqzValueStore::ContinueSteps(std::int64_t index, std::int64_t count, std::uint64_t first,
                                  std::uint64_t step)
{
    // Entries before index stay as they are, so they must lie on it; entries after the
    // written ones would hold the new last entry, so the write must reach the end.
    if (count <= 0)
        return true;
    if (index > m_onProgression || index + count != m_count)
        return false;
    // Entries 0 and 1 after the write fix the progression; the rest must lie on it.
    const std::uint64_t zero = index == 0 ? first : m_first;
    std::uint64_t newStep = m_step;
    if (index <= 1 && index + count > 1)
        newStep = first + static_cast<std::uint64_t>(1 - index) * step - zero;
    if (first != zero + static_cast<std::uint64_t>(index) * newStep ||
        (count > 1 && step != newStep))
        return false;
    m_first = zero;
    m_step = newStep;
    m_onProgression = m_count;
    return true;
}

void CqzValueStore::SetProgression(std::int64_t index, const CqzUInt& value)
{
    const std::uint64_t low = (value & m_mask).GetLow();
    if (ContinueProgression(index, &low, 1))
        return;
    StoreProgression();
    Set(index, value);
}

void CqzValueStore::StoreProgression()
{
    m_progression = false;
    const std::size_t bytes = static_cast<std::size_t>(m_count) * m_byteWidth;
    Grow(bytes);
    std::uint64_t value = m_first;
    for (std::int64_t i = 0; i < m_onProgression; ++i, value += m_step)
        Save(m_data + i * m_byteWidth, value);
    FillWith<std::uint64_t>(m_data + m_onProgression * m_byteWidth, m_data + bytes,
                            Progression(m_onProgression));
    m_size = bytes;
}

void CqzValueStore::AppendMany(std::int64_t count, bool hold)
{
    if (count <= 0)
        return;
    if (m_progression && (hold || Progression(m_count - 1) == 0))
    {
        m_count += count;
        return;
    }
    if (m_progression)
        StoreProgression();
    if (m_byteWidth == 0)
        return AppendBits(count, hold && m_count > 0 && GetBit(m_count - 1) != 0);
    const std::size_t need = m_size + static_cast<std::size_t>(count) * m_byteWidth;
    if (need > m_capacity)
        Grow(std::max(need, m_capacity + m_capacity / 2 + 64));
    const CqzUInt fill = hold && m_count > 0 ? Get(m_count - 1) : CqzUInt();
    if (fill.IsZero())
        std::memset(m_data + m_size, 0, need - m_size);
    else if (m_byteWidth == 1)
        std::memset(m_data + m_size, static_cast<int>(fill.GetLow() & 0xff), need - m_size);
    else if (m_byteWidth == 2)
        FillWith<std::uint16_t>(m_data + m_size, m_data + need, fill.GetLow());
    else if (m_byteWidth == 4)
        FillWith<std::uint32_t>(m_data + m_size, m_data + need, fill.GetLow());
    else if (m_byteWidth == 8)
        FillWith<std::uint64_t>(m_data + m_size, m_data + need, fill.GetLow());
    else
        for (std::size_t at = m_size; at < need; at += m_byteWidth)
            Put(m_data + at, fill);
    m_size = need;
    m_count += count;
}

void CqzValueStore::AppendToWrite(std::int64_t count, std::int64_t held)
{
    if (held >= count || m_progression)
        return AppendMany(count, true);
    AppendMany(held, true);
    const std::int64_t end = m_count + count - std::max<std::int64_t>(held, 0);
    const std::size_t need = BytesFor(end);
    if (need > m_capacity)
        Grow(std::max(need, m_capacity + m_capacity / 2 + 64));
    m_size = need;
    m_count = end;
}

void CqzValueStore::AppendBits(std::int64_t count, bool bit)
{
    const std::int64_t end = m_count + count;
    const std::size_t need = BytesFor(end);
    if (need > m_capacity)
        Grow(std::max(need, m_capacity + m_capacity / 2 + 64));
    // The rest of the last byte bit by bit, then whole bytes.
    for (; m_count < end && (m_count & 7) != 0; ++m_count)
        SetBit(m_count, bit);
    std::memset(m_data + m_size, bit ? 0xff : 0, need - m_size);
    m_size = need;
    m_count = end;
}

void CqzValueStore::Clear()
{
    m_size = 0;
    m_count = 0;
    m_onProgression = 0;
    m_first = 0;
    m_step = 0;
}

void CqzValueStore::SetRange(std::int64_t index, const CqzUInt* values, std::int64_t count)
{
    for (std::int64_t i = 0; i < count; ++i)
        Set(index + i, values[i]);
}

namespace
{
// Values cut to `mask` into entries of type T (the low bytes of each value).
template <typename T>
void PutRange(std::uint8_t* p, const std::uint64_t* values, std::int64_t count, std::uint64_t mask)
{
    for (std::int64_t i = 0; i < count; ++i)
    {
        const T v = static_cast<T>(values[i] & mask);
        std::memcpy(p + i * static_cast<std::int64_t>(sizeof(T)), &v, sizeof(T));
    }
}
} // namespace

void CqzValueStore::SetRange(std::int64_t index, const std::uint64_t* values, std::int64_t count)
{
    if (m_progression)
    {
        if (ContinueProgression(index, values, count))
            return;
        StoreProgression();
    }
    std::uint8_t* p = m_data + index * m_byteWidth;
    const std::uint64_t mask = m_mask.GetLow();
    switch (m_byteWidth)
    {
    case 0:
        for (std::int64_t i = 0; i < count; ++i)
            SetBit(index + i, values[i] & 1);
        return;
    case 1:
        return PutRange<std::uint8_t>(p, values, count, mask);
    case 2:
        return PutRange<std::uint16_t>(p, values, count, mask);
    case 4:
        return PutRange<std::uint32_t>(p, values, count, mask);
    case 8:
        return PutRange<std::uint64_t>(p, values, count, mask);
    default:
        for (std::int64_t i = 0; i < count; ++i)
            Set(index + i, CqzUInt(values[i]));
    }
}

void CqzValueStore::StepRange(std::int64_t index, std::int64_t count, std::uint64_t first,
                              std::uint64_t step)
{
    if (m_progression)
    {
        if (ContinueSteps(index, count, first, step))
            return;
        StoreProgression();
    }
    if (m_byteWidth != 8)
    {
        for (std::int64_t i = 0; i < count; ++i, first += step)
            Set(index + i, CqzUInt(first));
        return;
    }
    std::uint8_t* p = m_data + index * m_byteWidth;
    const std::uint64_t mask = m_mask.GetLow();
    for (std::int64_t i = 0; i < count; ++i, first += step)
        Save(p + i * 8, first & mask);
}

void CqzValueStore::FillRange(std::int64_t index, std::int64_t count, std::uint64_t value)
{
    if (count <= 0)
        return;
    if (m_progression)
        StoreProgression();
    value &= m_mask.GetLow();
    std::uint8_t* p = m_data + index * m_byteWidth;
    std::uint8_t* end = p + count * m_byteWidth;
    switch (m_byteWidth)
    {
    case 0:
        for (std::int64_t i = 0; i < count; ++i)
            SetBit(index + i, value);
        return;
    case 1:
        return FillWith<std::uint8_t>(p, end, value);
    case 2:
        return FillWith<std::uint16_t>(p, end, value);
    case 4:
        return FillWith<std::uint32_t>(p, end, value);
    case 8:
        return FillWith<std::uint64_t>(p, end, value);
    default:
        for (std::int64_t i = 0; i < count; ++i)
            Set(index + i, CqzUInt(value));
    }
}

void CqzValueStore::SetBits(std::int64_t index, const std::uint8_t* values, std::int64_t count)
{
    std::int64_t i = 0;
    for (; i < count && ((index + i) & 7) != 0; ++i)
        SetBit(index + i, values[i] & 1);
    // Eight entries to a byte: the low bits of eight bytes gathered by one multiplication.
    std::uint8_t* p = m_data + ((index + i) >> 3);
    for (; i + 8 <= count; i += 8)
    {
        std::uint64_t word;
        std::memcpy(&word, values + i, 8);
        *p++ = static_cast<std::uint8_t>(((word & 0x0101010101010101ull) * 0x0102040810204080ull) >>
                                         56);
    }
    for (; i < count; ++i)
        SetBit(index + i, values[i] & 1);
}

void CqzValueStore::SetPackedBits(std::int64_t index, const std::uint64_t* bits, std::int64_t from,
                                  std::int64_t count)
{
    auto bit = [&](std::int64_t i)
    { return (bits[static_cast<std::size_t>(from + i) >> 6] >> ((from + i) & 63)) & 1; };
    std::int64_t i = 0;
    for (; i < count && ((index + i) & 7) != 0; ++i)
        SetBit(index + i, bit(i));
    // Whole bytes of the store, each from one or two words of the bits; when both start at a
    // byte, a copy (the words' bytes are in the store's order on a little-endian machine).
    std::uint8_t* p = m_data + ((index + i) >> 3);
    if (std::endian::native == std::endian::little && ((from + i) & 7) == 0 && i + 8 <= count)
    {
        const std::int64_t bytes = (count - i) >> 3;
        std::memcpy(p, reinterpret_cast<const std::uint8_t*>(bits) + ((from + i) >> 3),
                    static_cast<std::size_t>(bytes));
        p += bytes;
        i += 8 * bytes;
    }
    // Otherwise eight bytes at a time from one or two words, then byte by byte.
    for (; std::endian::native == std::endian::little && i + 64 <= count; i += 64)
    {
        const auto at = static_cast<std::size_t>(from + i);
        const unsigned shift = at & 63;
        std::uint64_t v = bits[at >> 6] >> shift;
        if (shift != 0)
            v |= bits[(at >> 6) + 1] << (64 - shift);
        std::memcpy(p, &v, 8);
        p += 8;
    }
    for (; i + 8 <= count; i += 8)
    {
        const auto at = static_cast<std::size_t>(from + i);
        const unsigned shift = at & 63;
        std::uint64_t v = bits[at >> 6] >> shift;
        if (shift > 56)
            v |= bits[(at >> 6) + 1] << (64 - shift);
        *p++ = static_cast<std::uint8_t>(v);
    }
    for (; i < count; ++i)
        SetBit(index + i, bit(i));
}

void CqzValueStore::SetRange(std::int64_t index, const std::uint8_t* values, std::int64_t count)
{
    if (m_byteWidth == 0)
        return SetBits(index, values, count);
    if (m_byteWidth != 1)
    {
        for (std::int64_t i = 0; i < count; ++i)
            Set(index + i, CqzUInt(values[i]));
        return;
    }
    // Eight entries at a time, each byte cut to the width.
    std::uint8_t* p = m_data + index;
    const std::uint64_t mask = (m_mask.GetLow() & 0xff) * 0x0101010101010101ull;
    std::int64_t i = 0;
    for (; i + 8 <= count; i += 8)
    {
        std::uint64_t word;
        std::memcpy(&word, values + i, 8);
        word &= mask;
        std::memcpy(p + i, &word, 8);
    }
    for (; i < count; ++i)
        p[i] = static_cast<std::uint8_t>(values[i] & mask);
}
