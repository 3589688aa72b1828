#pragma once
// The host's wide unsigned integer: 128 bits in four 32-bit words, word 0 least significant.
// Comparisons are on the hot path of evaluation, so everything here is inline and compiles to a
// couple of 64-bit operations.

#include <cstdint>
#include <utility>

class CqzUInt
{
public:
    constexpr CqzUInt() = default;
    constexpr CqzUInt(std::uint64_t value) : m_low(value) {}
    constexpr CqzUInt(std::uint64_t high, std::uint64_t low) : m_low(low), m_high(high) {}

    static constexpr CqzUInt FromWords(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2,
                                       std::uint32_t w3)
    {
        return CqzUInt((std::uint64_t{w3} << 32) | w2, (std::uint64_t{w1} << 32) | w0);
    }
    // The lowest `bits` bits set (0 to 128).
    static constexpr CqzUInt LowMask(int bits)
    {
        if (bits <= 0)
            return CqzUInt();
        if (bits >= 128)
            return CqzUInt(~0ull, ~0ull);
        if (bits >= 64)
            return CqzUInt(bits == 64 ? 0 : (~0ull >> (128 - bits)), ~0ull);
        return CqzUInt(0, (1ull << bits) - 1);
    }

    constexpr std::uint32_t GetWord(int index) const
    {
        const std::uint64_t half = index < 2 ? m_low : m_high;
        return static_cast<std::uint32_t>(half >> ((index & 1) * 32));
    }
    constexpr void SetWord(int index, std::uint32_t value)
    {
        std::uint64_t& half = index < 2 ? m_low : m_high;
        const int shift = (index & 1) * 32;
        half = (half & ~(0xFFFFFFFFull << shift)) | (std::uint64_t{value} << shift);
    }
    constexpr std::uint64_t GetLow() const { return m_low; }
    constexpr std::uint64_t GetHigh() const { return m_high; }
    constexpr bool IsZero() const { return (m_low | m_high) == 0; }
    constexpr bool GetBit(int bit) const
    {
        return bit < 64 ? ((m_low >> bit) & 1) != 0 : ((m_high >> (bit - 64)) & 1) != 0;
    }

    constexpr void Swap(CqzUInt& other)
    {
        std::swap(m_low, other.m_low);
        std::swap(m_high, other.m_high);
    }

    constexpr CqzUInt operator~() const { return CqzUInt(~m_high, ~m_low); }
    constexpr CqzUInt& operator&=(const CqzUInt& o)
    {
        m_low &= o.m_low;
        m_high &= o.m_high;
        return *this;
    }
    constexpr CqzUInt& operator|=(const CqzUInt& o)
    {
        m_low |= o.m_low;
        m_high |= o.m_high;
        return *this;
    }
    constexpr CqzUInt& operator^=(const CqzUInt& o)
    {
        m_low ^= o.m_low;
        m_high ^= o.m_high;
        return *this;
    }
    // Shifts by 0 to 127 bits; larger counts give zero.
    constexpr CqzUInt operator<<(int n) const
    {
        if (n <= 0)
            return *this;
        if (n >= 128)
            return CqzUInt();
        if (n >= 64)
            return CqzUInt(m_low << (n - 64), 0);
        return CqzUInt((m_high << n) | (m_low >> (64 - n)), m_low << n);
    }
    constexpr CqzUInt operator>>(int n) const
    {
        if (n <= 0)
            return *this;
        if (n >= 128)
            return CqzUInt();
        if (n >= 64)
            return CqzUInt(0, m_high >> (n - 64));
        return CqzUInt(m_high >> n, (m_low >> n) | (m_high << (64 - n)));
    }

    friend constexpr CqzUInt operator&(CqzUInt a, const CqzUInt& b) { return a &= b; }
    friend constexpr CqzUInt operator|(CqzUInt a, const CqzUInt& b) { return a |= b; }
    friend constexpr CqzUInt operator^(CqzUInt a, const CqzUInt& b) { return a ^= b; }

    friend constexpr bool operator==(const CqzUInt& a, const CqzUInt& b)
    {
        return ((a.m_low ^ b.m_low) | (a.m_high ^ b.m_high)) == 0;
    }
    friend constexpr bool operator<(const CqzUInt& a, const CqzUInt& b)
    {
        return a.m_high < b.m_high || (a.m_high == b.m_high && a.m_low < b.m_low);
    }
    friend constexpr bool operator>(const CqzUInt& a, const CqzUInt& b) { return b < a; }
    friend constexpr bool operator<=(const CqzUInt& a, const CqzUInt& b) { return !(b < a); }
    friend constexpr bool operator>=(const CqzUInt& a, const CqzUInt& b) { return !(a < b); }

private:
    std::uint64_t m_low = 0;
    std::uint64_t m_high = 0;
};
