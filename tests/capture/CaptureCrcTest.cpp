// The zip check in every unit against its bit-by-bit definition: lengths around the 16 and 64
// bytes the folding takes, at odd addresses, in one call and continued in a second.

#include "CaptureUnitTest.h"
#include "capture/CqzCaptureCrc.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace
{
class CaptureCrcTest : public CaptureUnitTest
{
};

std::uint32_t BitByBit(const unsigned char* p, std::size_t n)
{
    std::uint32_t crc = ~0u;
    for (std::size_t i = 0; i < n; ++i)
    {
        crc ^= p[i];
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1)));
    }
    return ~crc;
}
} // namespace

TEST_P(CaptureCrcTest, EqualsTheDefinitionInOneCallOrTwo)
{
    std::mt19937 rng(3);
    std::vector<unsigned char> bytes(5000);
    for (unsigned char& b : bytes)
        b = static_cast<unsigned char>(rng());
    for (std::size_t n : {0, 1, 15, 16, 63, 64, 65, 80, 127, 128, 1000, 4099})
        for (std::size_t offset : {0, 1, 7})
        {
            const unsigned char* p = bytes.data() + offset;
            const std::uint32_t expected = BitByBit(p, n);
            EXPECT_EQ(CqzCaptureCrc::Update(0, p, n), expected) << n << " bytes at " << offset;
            const std::size_t cut = n / 3;
            EXPECT_EQ(CqzCaptureCrc::Update(CqzCaptureCrc::Update(0, p, cut), p + cut, n - cut),
                      expected)
                << n << " bytes at " << offset << ", cut at " << cut;
        }
}

QZ_FOR_EVERY_CAPTURE_UNIT(CaptureCrcTest);
