#include "evaluation/CqzFilterPageMask.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

CqzFilterPageMask CqzFilterPageMask::FromFlags(const std::uint8_t* flags, int count)
{
    CqzFilterPageMask mask;
    int at = 0;
#if defined(__SSE2__)
    // Sixteen at a time: a byte compare and its sign bits.
    const __m128i zero = _mm_setzero_si128();
    for (; at + 16 <= count; at += 16)
    {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(flags + at));
        const auto bits =
            static_cast<std::uint64_t>(_mm_movemask_epi8(_mm_cmpgt_epi8(bytes, zero)) & 0xffff);
        mask.m_words[at >> 6] |= bits << (at & 63);
    }
#endif
    // Eight at a time: the multiplication moves byte j's bit (0 or 1) to bit 56 + j, without
    // carries.
    const int whole = count & ~7;
    for (; at < whole; at += 8)
    {
        std::uint64_t eight;
        std::memcpy(&eight, flags + at, 8);
        mask.m_words[at >> 6] |= ((eight * 0x0102040810204080ull) >> 56) << (at & 63);
    }
    for (int row = at; row < count; ++row)
        if (flags[row] != 0)
            mask.Set(row);
    return mask;
}

void CqzFilterPageMask::SetRange(int from, int to)
{
    for (int row = from; row < to;)
    {
        const int bit = row & 63;
        const int length = to - row < 64 - bit ? to - row : 64 - bit;
        const std::uint64_t ones = length == 64 ? ~0ull : ((std::uint64_t{1} << length) - 1);
        m_words[row >> 6] |= ones << bit;
        row += length;
    }
}

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
__attribute__((target_clones("popcnt", "default")))
#endif
int CqzFilterPageMask::Count() const
{
    int count = 0;
    for (const std::uint64_t w : m_words)
        count += std::popcount(w);
    return count;
}
