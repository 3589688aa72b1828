// Decimal integers up to 128 bits: the boundaries of the 64-bit fast part and of the range.

#include "capture/CqzCaptureNumber.h"

#include <gtest/gtest.h>

namespace
{
struct Decimal
{
    const char* text;
    bool accepted;
    std::uint64_t high;
    std::uint64_t low;
};

class Unsigned128Test : public ::testing::TestWithParam<Decimal>
{
};

TEST_P(Unsigned128Test, ParsesWithinRangeOnly)
{
    CqzUInt value(7, 7);
    EXPECT_EQ(CqzCaptureNumber::ParseUnsigned128(GetParam().text, value), GetParam().accepted);
    if (GetParam().accepted)
    {
        EXPECT_EQ(value, CqzUInt(GetParam().high, GetParam().low));
    }
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
} // namespace
