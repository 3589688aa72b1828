#pragma once
// A time position in the acquired data: signed 64-bit picoseconds. Tables are correlated by it;
// Invalid() stands for "no time" (before every sample of every table).

#include <compare>
#include <cstdint>
#include <limits>

class CqzPosition
{
public:
    constexpr CqzPosition() = default;
    constexpr explicit CqzPosition(std::int64_t picoseconds) : m_time(picoseconds) {}

    static constexpr CqzPosition Invalid()
    {
        return CqzPosition(std::numeric_limits<std::int64_t>::min());
    }

    constexpr std::int64_t GetTime() const { return m_time; }
    constexpr void SetTime(std::int64_t picoseconds) { m_time = picoseconds; }
    constexpr bool IsValid() const { return m_time != std::numeric_limits<std::int64_t>::min(); }

    friend constexpr auto operator<=>(const CqzPosition&, const CqzPosition&) = default;

private:
    std::int64_t m_time = 0;
};
