#pragma once
// The sample generator's own pseudo-random numbers (splitmix64), so that the bundled capture is
// the same on every machine and with every standard library. Owned by the generator.

#include <cstdint>

class CqzSampleRandom
{
public:
    explicit CqzSampleRandom(std::uint64_t seed) : m_state(seed) {}

    std::uint64_t Next();
    // A number in [0, limit); 0 for a limit of 0.
    std::uint32_t Below(std::uint32_t limit);
    // True `perMille` times in a thousand.
    bool Chance(std::uint32_t perMille) { return Below(1000) < perMille; }

    // The splitmix64 finaliser: a well mixed 64-bit value of `x` (also used to give memory a
    // fixed content by address).
    static std::uint64_t Mix(std::uint64_t x);

private:
    std::uint64_t m_state;
};
