#pragma once
// Number texts of captures: bit strings with unknown digits, decimal integers, decimal
// fractions scaled by a power of ten (times in picoseconds, rates in hertz) and time units.
// Shared by the importers; every parser checks its range instead of overflowing.

#include "qzSystem/ids/CqzUInt.h"

#include <cstdint>
#include <string_view>

class CqzCaptureNumber
{
public:
    // Times are kept in picoseconds: a sample rate above 1 THz would give neighbouring samples
    // the same time, and is refused with this reason.
    static constexpr std::uint64_t MaxRate = 1000000000000ull;
    static constexpr const char* MaxRateReason =
        " is above 1 THz: samples closer than a picosecond cannot be told apart (times are "
        "kept in picoseconds)";
    // Binary (bitsPerDigit 1), octal (3) or hexadecimal (4) digits, most significant first. x/X digits
    // are unknown and z/Z high-impedance: they read as 0 in `value` and set their bits in
    // `unknown` and `floating`. False for an empty text, another character, or a 1 at bit
    // `width` or above (leading zeros, x and z beyond the width are accepted and dropped).
    // With `extend`, fewer digits than the width are left-extended as in a value change dump:
    // by x or z when the first digit is x or z, else by 0.
    static bool ParseBits(std::string_view digits, int bitsPerDigit, int width, bool extend,
                          CqzUInt& value, CqzUInt& unknown, CqzUInt& floating);
    // Binary digits 0 and 1 only, at most 128 of them after leading zeros, eight at a time;
    // false for an empty text or any other character.
    static bool ParseKnownBits(std::string_view digits, CqzUInt& value);
    // Decimal digits only, at most `max`.
    static bool ParseUnsigned(std::string_view text, std::uint64_t max, std::uint64_t& value);
    // Decimal digits only, below 2^128.
    static bool ParseUnsigned128(std::string_view text, CqzUInt& value);
    // A decimal number ("12", "-4.86", "1.5e-3", ".5") times 10^exponent, rounded to the
    // nearest integer. False when malformed or outside the signed 64-bit range. `exact` (when
    // given) tells whether nothing was lost by rounding.
    static bool ParseScaled(std::string_view text, int exponent, std::int64_t& value,
                            bool* exact = nullptr);
    // The power of ten that takes a time in this unit to picoseconds: s 12, ms 9, us (or the
    // micro sign) 6, ns 3, ps 0, fs -3. "sec", "second(s)" mean s. False for anything else.
    static bool TimeUnitExponent(std::string_view unit, int& exponent);
    // A rate in hertz: "500 kHz", "1MHz", "2.5 GHz", "100 Hz" or a plain number, rounded to
    // whole hertz. False when malformed, zero or negative.
    static bool ParseRate(std::string_view text, std::uint64_t& hertz);
    // Bits needed for an unsigned value (0 for 0).
    static int BitLength(const CqzUInt& value);
};
