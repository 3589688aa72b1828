// Decimal integers up to 128 bits: the boundaries of the 64-bit fast part and of the range;
// binary digits of known value (0 and 1 only) up to 128 significant bits.

#include "capture/CqzCaptureNumber.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct Decimal
{
    const char* text;
    bool accepted;
    std::uint64_t high;
    std::uint64_t low;
};

// The parse of a text, and its value when accepted.
void ExpectParse(bool (*parse)(std::string_view, CqzUInt&), const Decimal& text)
{
    CqzUInt value(7, 7);
    EXPECT_EQ(parse(text.text, value), text.accepted) << text.text;
    if (text.accepted)
    {
        EXPECT_EQ(value, CqzUInt(text.high, text.low)) << text.text;
    }
}

class Unsigned128Test : public ::testing::TestWithParam<Decimal>
{
};

TEST_P(Unsigned128Test, ParsesWithinRangeOnly)
{
    ExpectParse(&CqzCaptureNumber::ParseUnsigned128, GetParam());
}

constexpr std::uint64_t Max64 = ~std::uint64_t(0);

INSTANTIATE_TEST_SUITE_P(
    Texts, Unsigned128Test,
    ::testing::Values(Decimal{"0", true, 0, 0}, Decimal{"0042", true, 0, 42},
                      Decimal{"9999999999999999999", true, 0, 9999999999999999999ull},
                      Decimal{"18446744073709551615", true, 0, Max64},
                      Decimal{"18446744073709551616", true, 1, 0},
                      Decimal{"99999999999999999999", true, 5, 7766279631452241919ull},
                      Decimal{"340282366920938463463374607431768211455", true, Max64, Max64},
                      Decimal{"340282366920938463463374607431768211456", false, 0, 0},
                      Decimal{"340282366920938463463374607431768211460", false, 0, 0},
                      Decimal{"1000000000000000000000000000000000000000", false, 0, 0},
                      Decimal{"", false, 0, 0}, Decimal{"12a", false, 0, 0},
                      Decimal{"12345678901234567890x", false, 0, 0}, Decimal{"-1", false, 0, 0},
                      Decimal{"1 2", false, 0, 0}));

class KnownBitsTest : public ::testing::TestWithParam<Decimal>
{
};

TEST_P(KnownBitsTest, ReadsZerosAndOnesOnly)
{
    ExpectParse(&CqzCaptureNumber::ParseKnownBits, GetParam());
}

const std::string kOne65 = "1" + std::string(64, '0');
const std::string kOnes128 = std::string(128, '1');
const std::string kOnes129 = std::string(129, '1');
const std::string kZeros200 = std::string(200, '0');
const std::string kZeros200Then3 = kZeros200 + "11";

INSTANTIATE_TEST_SUITE_P(
    Digits, KnownBitsTest,
    ::testing::Values(Decimal{"0", true, 0, 0}, Decimal{"000000000101", true, 0, 5},
                      Decimal{kOne65.c_str(), true, 1, 0},
                      Decimal{kOnes128.c_str(), true, Max64, Max64},
                      Decimal{kZeros200Then3.c_str(), true, 0, 3},
                      Decimal{kZeros200.c_str(), true, 0, 0},
                      Decimal{kOnes129.c_str(), false, 0, 0}, Decimal{"", false, 0, 0},
                      Decimal{"10x1", false, 0, 0}, Decimal{"1010101z", false, 0, 0},
                      Decimal{"0101010102", false, 0, 0}));
} // namespace
