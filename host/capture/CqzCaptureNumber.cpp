#include "capture/CqzCaptureNumber.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

namespace
{
using U128 = unsigned __int128;

// Hexadecimal digit values by byte, -1 for other bytes.
struct DigitTable
{
    signed char value[256];
    constexpr DigitTable() : value()
    {
        for (int c = 0; c < 256; ++c)
            value[c] = static_cast<signed char>(c >= '0' && c <= '9'   ? c - '0'
                                                : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                                       : -1);
    }
};
constexpr DigitTable kDigits;

int DigitValue(char c)
{
    return kDigits.value[static_cast<unsigned char>(c)];
}

// Hexadecimal digits only, at most 16 of them.
bool ParseKnownHex(std::string_view digits, std::uint64_t& value)
{
    if (digits.size() > 16)
        return false;
    std::uint64_t v = 0;
    for (char c : digits)
    {
        const int d = DigitValue(c);
        if (d < 0)
            return false;
        v = v << 4 | static_cast<unsigned>(d);
    }
    value = v;
    return true;
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

U128 Power10(int times)
{
    U128 power = 1;
    for (int i = 0; i < times; ++i)
        power *= 10;
    return power;
}

// Divides by 10^times, rounding half up.
U128 ScaleDown(U128 value, int times)
{
    if (times > 38)
        return 0;
    const U128 divisor = Power10(times);
    return value / divisor + (value % divisor >= (divisor + 1) / 2 ? 1 : 0);
}

// Binary digits 0 and 1 only, at most 64 of them, eight at a time: the common value of a dump.
bool ParseKnownBinary(std::string_view digits, std::uint64_t& value)
{
    const std::size_t n = digits.size();
    if (n > 64)
        return false;
    std::uint64_t v = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8)
    {
        std::uint64_t eight;
        std::memcpy(&eight, digits.data() + i, 8);
        eight ^= 0x3030303030303030ull; // '0' -> 0, '1' -> 1
        if ((eight & 0xfefefefefefefefeull) != 0)
            return false;
        // The first digit (lowest byte) goes to the highest of the eight bits.
        v = v << 8 | (eight * 0x8040201008040201ull) >> 56;
    }
    for (; i < n; ++i)
    {
        const unsigned d = static_cast<unsigned char>(digits[i]) - '0';
        if (d > 1)
            return false;
        v = v << 1 | d;
    }
    value = v;
    return true;
}
} // namespace

bool CqzCaptureNumber::ParseKnownBits(std::string_view digits, CqzUInt& value)
{
    if (digits.empty())
        return false;
    if (digits.size() > 128)
        digits.remove_prefix(std::min(digits.find_first_not_of('0'), digits.size() - 1));
    const std::size_t split = digits.size() > 64 ? digits.size() - 64 : 0;
    std::uint64_t high = 0, low = 0;
    if (split > 64 || !ParseKnownBinary(digits.substr(0, split), high) ||
        !ParseKnownBinary(digits.substr(split), low))
        return false;
    value = CqzUInt(high, low);
    return true;
}

bool CqzCaptureNumber::ParseBits(std::string_view digits, int bitsPerDigit, int width, bool extend,
                                 CqzUInt& value, CqzUInt& unknown, CqzUInt& floating)
{
    if (digits.empty() || width < 1 || width > 128)
        return false;
    if (std::uint64_t known = 0; bitsPerDigit == 1
                                     ? ParseKnownBinary(digits, known)
                                     : bitsPerDigit == 4 && ParseKnownHex(digits, known))
    {
        if (width < 64 && (known >> width) != 0)
            return false;
        value = CqzUInt(known);
        unknown = floating = CqzUInt();
        return true;
    }
    const int base = 1 << bitsPerDigit;
    const U128 ones = static_cast<U128>(base - 1);
    U128 v = 0, x = 0, z = 0;
    bool lost = false; // a 1 shifted out beyond bit 127
    for (char c : digits)
    {
        int digit = DigitValue(c);
        U128 xDigit = 0, zDigit = 0;
        if (c == 'x' || c == 'X')
            xDigit = ones, digit = 0;
        else if (c == 'z' || c == 'Z')
            zDigit = ones, digit = 0;
        else if (digit < 0 || digit >= base)
            return false;
        lost = lost || (v >> (128 - bitsPerDigit)) != 0;
        v = v << bitsPerDigit | static_cast<unsigned>(digit);
        x = x << bitsPerDigit | xDigit;
        z = z << bitsPerDigit | zDigit;
    }
    const U128 mask = width == 128 ? ~U128(0) : (U128(1) << width) - 1;
    if (lost || (v & ~mask) != 0)
        return false;
    const std::size_t given = digits.size() * static_cast<std::size_t>(bitsPerDigit);
    if (extend && given < static_cast<std::size_t>(width))
    {
        const U128 above = mask & ~((U128(1) << given) - 1);
        const char first = digits[0];
        if (first == 'x' || first == 'X')
            x |= above;
        else if (first == 'z' || first == 'Z')
            z |= above;
    }
    value = CqzUInt(static_cast<std::uint64_t>(v >> 64), static_cast<std::uint64_t>(v));
    x &= mask;
    z &= mask;
    unknown = CqzUInt(static_cast<std::uint64_t>(x >> 64), static_cast<std::uint64_t>(x));
    floating = CqzUInt(static_cast<std::uint64_t>(z >> 64), static_cast<std::uint64_t>(z));
    return true;
}

bool CqzCaptureNumber::ParseUnsigned(std::string_view text, std::uint64_t max, std::uint64_t& value)
{
    if (text.empty())
        return false;
    if (text.size() <= 18) // no overflow of 64 bits: check the range once
    {
        std::uint64_t result = 0;
        for (char c : text)
        {
            const unsigned digit = static_cast<unsigned char>(c) - '0';
            if (digit > 9)
                return false;
            result = result * 10 + digit;
        }
        if (result > max)
            return false;
        value = result;
        return true;
    }
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
    // Up to 19 digits fit 64 bits: no check needed. Past them the check compares with
    // constants, so no digit costs a 128-bit division.
    constexpr std::size_t SafeDigits = 19;
    constexpr U128 Limit = ~U128(0) / 10;
    constexpr unsigned LastDigit = static_cast<unsigned>(~U128(0) % 10);
    std::uint64_t low = 0;
    std::size_t i = 0;
    for (; i < text.size() && i < SafeDigits; ++i)
    {
        const unsigned digit = static_cast<unsigned char>(text[i]) - unsigned('0');
        if (digit > 9)
            return false;
        low = low * 10 + digit;
    }
    U128 result = low;
    for (; i < text.size(); ++i)
    {
        const unsigned digit = static_cast<unsigned char>(text[i]) - unsigned('0');
        if (digit > 9 || result > Limit || (result == Limit && digit > LastDigit))
            return false;
        result = result * 10 + digit;
    }
    value = CqzUInt(static_cast<std::uint64_t>(result >> 64), static_cast<std::uint64_t>(result));
    return true;
}

bool CqzCaptureNumber::ParseScaled(std::string_view text, int exponent, std::int64_t& value,
                                   bool* exact)
{
    if (exact)
        *exact = true;
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
        else if (c != '0' && exact)
            *exact = false; // a fraction digit beyond the precision kept
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
    if (exact && shift < 0)
        *exact = *exact && (shift < -38 ? mantissa == 0 : mantissa % Power10(-shift) == 0);
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
