// The session importer's bulk work on samples, in every unit the processor has, against the
// answers sample by sample: changes of runs of 1 to 64 samples of every unit of up to 8 bytes
// (with channels cut by the mask and runs of equal samples), samples widened to words, and
// the channels of the bytes asked for in batches of rows whose length is not a whole number
// of words, and the values of neighbouring channels cut from rows.

#include "CaptureUnitTest.h"
#include "capture/CqzSrSamples.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace
{
class SrSamplesTest : public CaptureUnitTest
{
};

std::uint64_t SampleAt(const std::vector<unsigned char>& bytes, std::size_t unit, std::size_t i)
{
    std::uint64_t v = 0;
    for (std::size_t b = 0; b < unit; ++b)
        v |= std::uint64_t{bytes[i * unit + b]} << (8 * b);
    return v;
}
} // namespace

TEST_P(SrSamplesTest, ChangesAreTheSamplesThatDifferFromTheOneBefore)
{
    std::mt19937_64 rng(7);
    for (std::size_t unit : {1, 2, 3, 4, 5, 8})
        for (std::size_t n : {1, 2, 7, 31, 32, 33, 63, 64})
        {
            const std::uint64_t mask = rng() >> (64 - 8 * unit + (rng() % 3 == 0 ? 3 : 0));
            // Random bytes, with runs of equal samples.
            std::vector<unsigned char> bytes(n * unit);
            for (std::size_t i = 0; i < n; ++i)
                for (std::size_t b = 0; b < unit; ++b)
                    bytes[i * unit + b] = i > 0 && rng() % 3 != 0
                                              ? bytes[(i - 1) * unit + b]
                                              : static_cast<unsigned char>(rng() % 4);
            const std::uint64_t previous = rng() % 2 ? SampleAt(bytes, unit, 0) & mask : 0;
            std::uint64_t expected = 0;
            for (std::size_t i = 0; i < n; ++i)
            {
                const std::uint64_t before =
                    i == 0 ? previous : SampleAt(bytes, unit, i - 1) & mask;
                if ((SampleAt(bytes, unit, i) & mask) != before)
                    expected |= std::uint64_t{1} << i;
            }
            EXPECT_EQ(CqzSrSamples::Changes(bytes.data(), unit, n, previous, mask), expected)
                << "unit " << unit << ", " << n << " samples";
        }
}

TEST_P(SrSamplesTest, WidenedSamplesAreCutToTheMask)
{
    std::mt19937_64 rng(5);
    for (std::size_t unit : {1, 2, 3, 4, 6, 8})
    {
        std::vector<unsigned char> bytes(64 * unit);
        for (unsigned char& b : bytes)
            b = static_cast<unsigned char>(rng());
        const std::uint64_t mask = rng() >> (64 - 8 * unit);
        std::vector<std::uint64_t> rows(64);
        CqzSrSamples::Widen(bytes.data(), unit, mask, rows.data());
        for (std::size_t i = 0; i < 64; ++i)
            ASSERT_EQ(rows[i], SampleAt(bytes, unit, i) & mask) << "unit " << unit << ", sample " << i;
    }
}

TEST_P(SrSamplesTest, PlanesHoldEachChannelOfTheRows)
{
    std::mt19937_64 rng(11);
    for (std::size_t unit : {1, 2, 4, 8})
        for (std::size_t n : {1, 9, 64, 65, 1000, 2048})
        {
            std::vector<std::uint64_t> rows(n);
            for (std::uint64_t& row : rows)
                row = unit == 8 ? rng() : rng() & ((std::uint64_t{1} << (8 * unit)) - 1);
            const std::size_t words = (n + 63) / 64;
            // Every byte but one (one byte: every byte).
            const unsigned bytes = ((1u << unit) - 1) & ~(unit > 1 ? 1u << (n % unit) : 0u);
            constexpr std::uint64_t kept = 0x5a5a;
            std::vector<std::uint64_t> planes(8 * unit * words, kept);
            CqzSrSamples::Planes(rows.data(), n, unit, bytes, planes.data());
            for (std::size_t c = 0; c < 8 * unit; ++c)
                for (std::size_t i = 0; i < 64 * words; ++i)
                    ASSERT_EQ((planes[c * words + i / 64] >> (i % 64)) & 1,
                              (bytes >> (c / 8)) & 1 ? i < n && (rows[i] >> c) & 1
                                                     : (kept >> (i % 64)) & 1)
                        << "unit " << unit << ", " << n << " rows, channel " << c << ", row " << i;
        }
}

TEST_P(SrSamplesTest, FieldsAreTheChannelsFromTheirShift)
{
    std::mt19937_64 rng(13);
    for (const int shift : {0, 5, 8, 56, 63})
        for (std::size_t n : {1, 7, 8, 9, 2048})
        {
            std::vector<std::uint64_t> rows(n);
            for (std::uint64_t& row : rows)
                row = rng();
            const auto mask = static_cast<std::uint8_t>(0xff >> (rng() % 8));
            // One byte past the rows shows a write beyond them.
            std::vector<std::uint8_t> out(n + 1, 0x5a);
            CqzSrSamples::Field(rows.data(), n, shift, mask, out.data());
            for (std::size_t i = 0; i < n; ++i)
                ASSERT_EQ(out[i], (rows[i] >> shift) & mask)
                    << "shift " << shift << ", " << n << " rows, row " << i;
            EXPECT_EQ(out[n], 0x5a) << "shift " << shift << ", " << n << " rows";
        }
}

QZ_FOR_EVERY_CAPTURE_UNIT(SrSamplesTest);
