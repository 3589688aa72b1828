#include "capture/CqzCaptureNumber.h"

#include <limits>
#include <string>

namespace
{
using U128 = unsigned __int128;

int DigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool IsUnknownDigit(char c)
{
    return c == 'x' || c == 'X' || c == 'z' || c == 'Z';
}

// Multiplies by 10 `times` times; false on passing limit.
bool ScaleUp(U128& value, int times, U128 limit)
{
    for (int i = 0; i < times && value != 0; ++i)
    {
        if (value > limit / 10)
            return false;
        value *= 10;
    }
    return value <= limit;
}

// Divides by 10^times, rounding half up.
U128 ScaleDown(U128 value, int times)
{
    if (times > 38)
        return 0;
    U128 divisor = 1;
    for (int i = 0; i < times; ++i)
        divisor *= 10;
    return value / divisor + (value % divisor >= (divisor + 1) / 2 ? 1 : 0);
}
} // namespace

bool CqzCaptureNumber::ParseBits(std::string_view digits, int bitsPerDigit, int width,
                                 CqzUInt& value, bool& unknown)
{
    if (digits.empty())
        return false;
    const int base = 1 << bitsPerDigit;
    CqzUInt result;
    unknown = false;
    int used = 0; // bits from the first significant digit on
    for (char c : digits)
    {
        int digit = 0;
        if (IsUnknownDigit(c))
            unknown = true;
        else if ((digit = DigitValue(c)) < 0 || digit >= base)
            return false;
        if (used == 0 && digit == 0)
            continue;
        used =
            used == 0 ? BitLength(CqzUInt(static_cast<std::uint64_t>(digit))) : used + bitsPerDigit;
        if (used > width)
            return false;
        result = (result << bitsPerDigit) | CqzUInt(static_cast<std::uint64_t>(digit));
    }
    value = result;
    return true;
}

bool CqzCaptureNumber::ParseUnsigned(std::string_view text, std::uint64_t max, std::uint64_t& value)
{
    if (text.empty())
        return false;
    std::uint64_t result = 0;
    for (char c : text)
    {
        if (c < '0' || c > '9')
            return false;
        const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
        if (result > (max - digit) / 10)
            return false;
        result = result * 10 + digit;
    }
    value = result;
    return true;
}

bool CqzCaptureNumber::ParseUnsigned128(std::string_view text, CqzUInt& value)
{
    if (text.empty())
        return false;
    const U128 max = ~U128(0);
    U128 result = 0;
    for (char c : text)
    {
        if (c < '0' || c > '9')
            return false;
        const unsigned digit = static_cast<unsigned>(c - '0');
        if (result > (max - digit) / 10)
            return false;
        result = result * 10 + digit;
    }
    value = CqzUInt(static_cast<std::uint64_t>(result >> 64), static_cast<std::uint64_t>(result));
    return true;
}

bool CqzCaptureNumber::ParseScaled(std::string_view text, int exponent, std::int64_t& value)
{
    std::size_t i = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        ++i;
    U128 mantissa = 0;
    int shift = exponent; // power of ten applied to the mantissa
    int digits = 0;
    bool point = false;
    for (; i < text.size(); ++i)
    {
        const char c = text[i];
        if (c == '.' && !point)
        {
            point = true;
            continue;
        }
        if (c < '0' || c > '9')
            break;
        ++digits;
        if (mantissa < U128(1) << 120)
        {
            mantissa = mantissa * 10 + static_cast<unsigned>(c - '0');
            shift -= point ? 1 : 0;
        }
        else if (!point)
            ++shift; // an integer digit beyond the precision kept
    }
    if (digits == 0)
        return false;
    if (i < text.size())
    {
        if (text[i] != 'e' && text[i] != 'E')
            return false;
        std::int64_t power = 0;
        std::string_view rest = text.substr(i + 1);
        const bool down = !rest.empty() && rest[0] == '-';
        if (!rest.empty() && (rest[0] == '-' || rest[0] == '+'))
            rest.remove_prefix(1);
        std::uint64_t magnitude = 0;
        if (!ParseUnsigned(rest, 400, magnitude))
            return false;
        power = static_cast<std::int64_t>(magnitude);
        shift += static_cast<int>(down ? -power : power);
    }
    const U128 limit = U128(std::numeric_limits<std::int64_t>::max()) + (negative ? 1 : 0);
    U128 result = mantissa;
    if (shift >= 0 ? !ScaleUp(result, shift, limit) : (result = ScaleDown(result, -shift)) > limit)
        return false;
    value = negative ? static_cast<std::int64_t>(-static_cast<__int128>(result))
                     : static_cast<std::int64_t>(result);
    return true;
}

bool CqzCaptureNumber::TimeUnitExponent(std::string_view unit, int& exponent)
{
    struct Unit
    {
        std::string_view name;
        int exponent;
    };
    static constexpr Unit units[] = {{"s", 12},        {"sec", 12}, {"secs", 12}, {"second", 12},
                                     {"seconds", 12},  {"ms", 9},   {"us", 6},    {"\xC2\xB5s", 6},
                                     {"\xCE\xBCs", 6}, {"ns", 3},   {"ps", 0},    {"fs", -3}};
    for (const Unit& u : units)
        if (u.name == unit)
        {
            exponent = u.exponent;
            return true;
        }
    return false;
}

bool CqzCaptureNumber::ParseRate(std::string_view text, std::uint64_t& hertz)
{
    std::string compact;
    for (char c : text)
        if (c != ' ' && c != '\t')
            compact += c;
    std::string_view number = compact;
    int exponent = 0;
    struct Prefix
    {
        std::string_view unit;
        int exponent;
    };
    static constexpr Prefix units[] = {{"GHz", 9}, {"MHz", 6}, {"kHz", 3}, {"KHz", 3}, {"Hz", 0}};
    for (const Prefix& p : units)
        if (number.size() > p.unit.size() && number.ends_with(p.unit))
        {
            number.remove_suffix(p.unit.size());
            exponent = p.exponent;
            break;
        }
    std::int64_t value = 0;
    if (!ParseScaled(number, exponent, value) || value <= 0)
        return false;
    hertz = static_cast<std::uint64_t>(value);
    return true;
}

int CqzCaptureNumber::BitLength(const CqzUInt& value)
{
    if (value.GetHigh() != 0)
        return 128 - __builtin_clzll(value.GetHigh());
    return value.GetLow() == 0 ? 0 : 64 - __builtin_clzll(value.GetLow());
}
