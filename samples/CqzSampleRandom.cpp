#include "CqzSampleRandom.h"

std::uint64_t CqzSampleRandom::Mix(std::uint64_t x)
{
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    return x ^ (x >> 31);
}

std::uint64_t CqzSampleRandom::Next()
{
    m_state += 0x9e3779b97f4a7c15ull;
    return Mix(m_state);
}

std::uint32_t CqzSampleRandom::Below(std::uint32_t limit)
{
    // The high half scaled by multiplication: no modulo bias worth speaking of at these limits.
    return limit == 0 ? 0
                      : static_cast<std::uint32_t>(((Next() >> 32) * std::uint64_t{limit}) >> 32);
}
