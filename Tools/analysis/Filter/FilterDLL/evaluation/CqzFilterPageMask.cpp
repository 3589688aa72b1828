#include "evaluation/CqzFilterPageMask.h"

#include <cstring>

CqzFilterPageMask CqzFilterPageMask::FromFlags(const std::uint8_t* flags, int count)
{
    // Eight flags of 0 or 1 at a time: the multiplication moves byte j's bit to bit 56 + j,
    // without carries.
    CqzFilterPageMask mask;
    const int whole = count & ~7;
    for (int at = 0; at < whole; at += 8)
    {
        std::uint64_t eight;
        std::memcpy(&eight, flags + at, 8);
        mask.m_words[at >> 6] |= ((eight * 0x0102040810204080ull) >> 56) << (at & 63);
    }
    for (int row = whole; row < count; ++row)
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
