#pragma once
// A set of small bit numbers (0 to 63), built from listed bit numbers: label type bits, column
// attribute bits, search option sets.

#include <cstdint>
#include <initializer_list>

class CqzBitSet
{
public:
    constexpr CqzBitSet() = default;
    constexpr CqzBitSet(std::initializer_list<int> bits)
    {
        for (int b : bits)
            Set(b);
    }
    // The bits first to last, both included.
    static constexpr CqzBitSet Range(int first, int last)
    {
        CqzBitSet s;
        for (int b = first; b <= last; ++b)
            s.Set(b);
        return s;
    }

    constexpr void Set(int bit, bool on = true)
    {
        if (bit < 0 || bit > 63)
            return;
        if (on)
            m_bits |= (std::uint64_t{1} << bit);
        else
            m_bits &= ~(std::uint64_t{1} << bit);
    }
    constexpr void Clear(int bit) { Set(bit, false); }
    constexpr bool IsSet(int bit) const
    {
        return bit >= 0 && bit <= 63 && ((m_bits >> bit) & 1) != 0;
    }
    constexpr bool IsEmpty() const { return m_bits == 0; }
    constexpr std::uint64_t GetBits() const { return m_bits; }
    constexpr void SetBits(std::uint64_t bits) { m_bits = bits; }
    constexpr bool ContainsAll(const CqzBitSet& o) const { return (m_bits & o.m_bits) == o.m_bits; }
    constexpr bool Intersects(const CqzBitSet& o) const { return (m_bits & o.m_bits) != 0; }

    friend constexpr bool operator==(const CqzBitSet&, const CqzBitSet&) = default;

private:
    std::uint64_t m_bits = 0;
};
