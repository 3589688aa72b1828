#pragma once
// One bit per row of a page of up to 512 rows (bit r of word r / 64). Bits of rows past the
// page's row count are kept 0 by whoever fills the mask. Made and combined by the page-wise
// evaluation.

#include <bit>
#include <cstdint>

class CqzFilterPageMask
{
public:
    static constexpr int Rows = 512;
    static constexpr int Words = Rows / 64;

    // All rows below count set.
    static CqzFilterPageMask FirstRows(int count)
    {
        CqzFilterPageMask mask;
        for (int i = 0; i < Words; ++i)
        {
            const int rows = count - i * 64;
            mask.m_words[i] = rows >= 64 ? ~0ull : rows <= 0 ? 0 : (std::uint64_t{1} << rows) - 1;
        }
        return mask;
    }
    // Bit r set when flags[r] is not 0, for r below count (the flags are 0 or 1).
    static CqzFilterPageMask FromFlags(const std::uint8_t* flags, int count);

    // Rows 64 * index ... 64 * index + 63.
    std::uint64_t GetWord(int index) const { return m_words[index]; }
    void SetWord(int index, std::uint64_t bits) { m_words[index] = bits; }
    bool Get(int row) const { return ((m_words[row >> 6] >> (row & 63)) & 1) != 0; }
    void Set(int row) { m_words[row >> 6] |= std::uint64_t{1} << (row & 63); }
    // Sets rows from ... to - 1.
    void SetRange(int from, int to);
    bool IsEmpty() const
    {
        std::uint64_t any = 0;
        for (const std::uint64_t w : m_words)
            any |= w;
        return any == 0;
    }
    // The set rows (with the processor's population count where it has one).
    int Count() const;

    CqzFilterPageMask& operator&=(const CqzFilterPageMask& o)
    {
        for (int i = 0; i < Words; ++i)
            m_words[i] &= o.m_words[i];
        return *this;
    }
    CqzFilterPageMask& operator|=(const CqzFilterPageMask& o)
    {
        for (int i = 0; i < Words; ++i)
            m_words[i] |= o.m_words[i];
        return *this;
    }
    // Rows of this mask that are not in o.
    CqzFilterPageMask Without(const CqzFilterPageMask& o) const
    {
        CqzFilterPageMask mask;
        for (int i = 0; i < Words; ++i)
            mask.m_words[i] = m_words[i] & ~o.m_words[i];
        return mask;
    }
    // Calls f(row) for every set row, in order.
    template <class F> void ForEach(F&& f) const
    {
        for (int i = 0; i < Words; ++i)
            for (std::uint64_t w = m_words[i]; w != 0; w &= w - 1)
                f(i * 64 + std::countr_zero(w));
    }

private:
    std::uint64_t m_words[Words] = {};
};
