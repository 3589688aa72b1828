#pragma once
// Where the samples of a decode stand in time: sample n at first + n * num / den picoseconds,
// rounded down, as the session importer places the samples of a rate (num 10^12, den the rate)
// or a capture steps its times (num the step, den 1). Converts both ways exactly.

#include <cstdint>

class CqzSampleClock
{
public:
    static CqzSampleClock FromRate(std::int64_t first, std::uint64_t rateHz);
    static CqzSampleClock FromStep(std::int64_t first, std::uint64_t stepPs);

    // The time of a sample, in picoseconds.
    std::int64_t TimeOf(std::uint64_t sample) const;
    // The first sample at or after `time` (0 before the first).
    std::uint64_t SampleAt(std::int64_t time) const;
    // Samples per second, rounded.
    std::uint64_t GetRate() const;

private:
    CqzSampleClock(std::int64_t first, std::uint64_t num, std::uint64_t den);

    std::int64_t m_first;
    std::uint64_t m_num;
    std::uint64_t m_den;
};
