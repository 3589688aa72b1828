#pragma once
// Values of one column, one entry per sample line, stored in the smallest of 1, 2, 4, 8 or 16
// bytes that holds the column's width; one-bit values eight to a byte (entry i is bit i % 8 of
// byte i / 8). Written by importers through CqzDataTable and read on the hot path of
// evaluation, so the common operations are inline. The buffer is one contiguous block: small
// ones from the heap, from 256 KiB on an anonymous mapping of small pages, grown by remapping its pages instead of copying them. Owned by a CqzSampleStore.
//
// A store may hold its entries as a progression instead (KeepProgression: the times of a
// fixed sample rate): entry i is first + i x step for the entries written so far, and appended
// entries hold the last of them, at no memory per entry. The first write that breaks the
// progression stores every entry, and from then on the store is an ordinary one.

#include "qzSystem/ids/CqzUInt.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

class CqzValueStore
{
public:
    // widthBits 1 to 128; values are cut to that many bits when written.
    explicit CqzValueStore(int widthBits = 64);
    ~CqzValueStore();
    CqzValueStore(const CqzValueStore&) = delete;
    CqzValueStore& operator=(const CqzValueStore&) = delete;

    int GetWidth() const { return m_widthBits; }
    // Bytes per entry; 0 for one-bit values (eight to a byte).
    int GetByteWidth() const { return m_byteWidth; }
    std::int64_t GetCount() const { return m_count; }
    // Bytes held for the values (not counting spare capacity).
    std::size_t GetByteSize() const { return m_size; }

    // The entries as stored: GetCount() entries of GetByteWidth() bytes, little-endian, or
    // bits (GetByteWidth() 0); null while they are a progression (read those with Get).
    const std::uint8_t* GetBytes() const { return m_progression ? nullptr : m_data; }

    // Only for an empty store of 64 bits: holds the entries as a progression until a write
    // breaks it (see above).
    void KeepProgression();
    bool IsProgression() const { return m_progression; }

    void Reserve(std::int64_t count);
    // The bytes entries [first, first + count) take inside the capacity (cut to it), for
    // Prefault; none for a progression or a buffer on the heap.
    std::pair<std::uint8_t*, std::size_t> GetCapacityBytes(std::int64_t first,
                                                           std::int64_t count) const;
    // Makes the pages of such bytes present without changing a byte, so that the zeroing of
    // fresh pages falls on the calling thread: may run on another thread while the owner
    // writes, as long as the buffer is neither grown nor freed meanwhile.
    static void Prefault(std::uint8_t* bytes, std::size_t size);
    // Appends count entries, each a copy of the last one (hold) or zero; the first entry of an
    // empty store is zero either way.
    void Append(std::int64_t count, bool hold = true)
    {
        if (count == 1 && m_byteWidth == 0)
            return AppendBit(hold);
        if (count != 1 || m_size + m_byteWidth > m_capacity)
            return AppendMany(count, hold);
        if (hold && m_count > 0)
            Put(m_data + m_size, Get(m_count - 1));
        else
            Put(m_data + m_size, CqzUInt());
        m_size += m_byteWidth;
        ++m_count;
    }
    // Appends count entries that the caller writes at once: the first `held` of them copy
    // the last entry (as Append does), the others keep what the memory held until written.
    void AppendToWrite(std::int64_t count, std::int64_t held);
    void Clear();

    // Writers take indices inside the store.
    void Set(std::int64_t index, const CqzUInt& value)
    {
        if (m_progression) [[unlikely]]
            return SetProgression(index, value);
        if (m_byteWidth == 0)
            return SetBit(index, value.GetLow() & 1);
        Put(m_data + index * m_byteWidth, value & m_mask);
    }
    void SetRange(std::int64_t index, const CqzUInt* values, std::int64_t count);
    void SetRange(std::int64_t index, const std::uint64_t* values, std::int64_t count);
    void SetRange(std::int64_t index, const std::uint8_t* values, std::int64_t count);
    // One-bit values only: count entries from `index`, entry i being bit (from + i) % 64 of
    // bits[(from + i) / 64].
    void SetPackedBits(std::int64_t index, const std::uint64_t* bits, std::int64_t from,
                       std::int64_t count);
    // Writes `value` (cut to the width) to count entries from index on.
    void FillRange(std::int64_t index, std::int64_t count, std::uint64_t value);
    // Writes first + i x step (cut to the width) to entry index + i for i below count; a
    // progression that they continue keeps them without a value each.
    void StepRange(std::int64_t index, std::int64_t count, std::uint64_t first, std::uint64_t step);

    CqzUInt Get(std::int64_t index) const
    {
        if (m_progression) [[unlikely]]
            return CqzUInt(Progression(index));
        const std::uint8_t* p = m_data + index * m_byteWidth;
        switch (m_byteWidth)
        {
        case 0:
            return CqzUInt(GetBit(index));
        case 1:
            return CqzUInt(*p);
        case 2:
            return CqzUInt(Load<std::uint16_t>(p));
        case 4:
            return CqzUInt(Load<std::uint32_t>(p));
        case 8:
            return CqzUInt(Load<std::uint64_t>(p));
        default:
            return CqzUInt(Load<std::uint64_t>(p + 8), Load<std::uint64_t>(p));
        }
    }
    // The low 64 bits of an entry.
    std::uint64_t GetLow(std::int64_t index) const
    {
        if (m_progression) [[unlikely]]
            return Progression(index);
        const std::uint8_t* p = m_data + index * m_byteWidth;
        switch (m_byteWidth)
        {
        case 0:
            return GetBit(index);
        case 1:
            return *p;
        case 2:
            return Load<std::uint16_t>(p);
        case 4:
            return Load<std::uint32_t>(p);
        default:
            return Load<std::uint64_t>(p);
        }
    }

private:
    template <typename T> static T Load(const std::uint8_t* p)
    {
        T v;
        std::memcpy(&v, p, sizeof(T));
        return v;
    }
    template <typename T> static void Save(std::uint8_t* p, T v) { std::memcpy(p, &v, sizeof(T)); }
    std::uint64_t GetBit(std::int64_t index) const
    {
        return (m_data[index >> 3] >> (index & 7)) & 1;
    }
    void SetBit(std::int64_t index, std::uint64_t bit)
    {
        std::uint8_t& byte = m_data[index >> 3];
        const auto mask = static_cast<std::uint8_t>(1u << (index & 7));
        byte = static_cast<std::uint8_t>(bit ? byte | mask : byte & ~mask);
    }
    // Bytes that hold count entries.
    std::size_t BytesFor(std::int64_t count) const
    {
        const auto n = static_cast<std::size_t>(count);
        return m_byteWidth == 0 ? (n + 7) / 8 : n * static_cast<std::size_t>(m_byteWidth);
    }
    void AppendBit(bool hold)
    {
        const bool newByte = (m_count & 7) == 0;
        if (newByte && m_size >= m_capacity)
            return AppendMany(1, hold);
        const std::uint64_t bit = hold && m_count > 0 ? GetBit(m_count - 1) : 0;
        if (newByte)
            m_data[m_size++] = 0;
        SetBit(m_count++, bit);
    }
    void SetBits(std::int64_t index, const std::uint8_t* values, std::int64_t count);
    void AppendBits(std::int64_t count, bool bit);
    // Writes a value already cut to the width (little-endian: the low bytes of the word).
    void Put(std::uint8_t* p, const CqzUInt& value) const
    {
        switch (m_byteWidth)
        {
        case 1:
            *p = static_cast<std::uint8_t>(value.GetLow());
            break;
        case 2:
            Save(p, static_cast<std::uint16_t>(value.GetLow()));
            break;
        case 4:
            Save(p, static_cast<std::uint32_t>(value.GetLow()));
            break;
        case 8:
            Save(p, value.GetLow());
            break;
        default:
            Save(p, value.GetLow());
            Save(p + 8, value.GetHigh());
        }
    }
    // Entry `index` of a progression: on it below m_onProgression, the last of those above.
    std::uint64_t Progression(std::int64_t index) const
    {
        if (m_onProgression == 0)
            return 0;
        const std::int64_t at = index < m_onProgression ? index : m_onProgression - 1;
        return m_first + static_cast<std::uint64_t>(at) * m_step;
    }
    // Writes to a progression: kept when the entries continue it, stored otherwise.
    void SetProgression(std::int64_t index, const CqzUInt& value);
    bool ContinueProgression(std::int64_t index, const std::uint64_t* values, std::int64_t count);
    bool ContinueSteps(std::int64_t index, std::int64_t count, std::uint64_t first,
                       std::uint64_t step);
    // Stores every entry of the progression; the store is an ordinary one from then on.
    void StoreProgression();
    void AppendMany(std::int64_t count, bool hold);
    void Grow(std::size_t bytes);
    void Release();

    std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_capacity = 0;
    std::int64_t m_count = 0;
    int m_widthBits;
    int m_byteWidth;
    CqzUInt m_mask;
    // The progression: on or not, how many leading entries lie on it, its first entry and step.
    bool m_progression = false;
    std::int64_t m_onProgression = 0;
    std::uint64_t m_first = 0;
    std::uint64_t m_step = 0;
};
