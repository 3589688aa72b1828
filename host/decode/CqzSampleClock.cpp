#include "CqzSampleClock.h"

namespace
{
constexpr std::uint64_t kPicoseconds = 1000000000000ull;
using U128 = unsigned __int128;
} // namespace

CqzSampleClock::CqzSampleClock(std::int64_t first, std::uint64_t num, std::uint64_t den)
    : m_first(first), m_num(num), m_den(den)
{
}

CqzSampleClock CqzSampleClock::FromRate(std::int64_t first, std::uint64_t rateHz)
{
    return CqzSampleClock(first, kPicoseconds, rateHz);
}

CqzSampleClock CqzSampleClock::FromStep(std::int64_t first, std::uint64_t stepPs)
{
    return CqzSampleClock(first, stepPs, 1);
}

std::int64_t CqzSampleClock::TimeOf(std::uint64_t sample) const
{
    return m_first + static_cast<std::int64_t>(U128(sample) * m_num / m_den);
}

std::uint64_t CqzSampleClock::SampleAt(std::int64_t time) const
{
    if (time <= m_first)
        return 0;
    const U128 span = static_cast<std::uint64_t>(time - m_first);
    return static_cast<std::uint64_t>((span * m_den + m_num - 1) / m_num);
}

std::uint64_t CqzSampleClock::GetRate() const
{
    return static_cast<std::uint64_t>((U128(kPicoseconds) * m_den + m_num / 2) / m_num);
}
