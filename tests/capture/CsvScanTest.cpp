// The CSV importer's marks of a line's bytes, in every unit the processor has, against the
// bytes read one by one: random lines of separators, quotes, blanks, carriage returns and line
// ends, 0 to 64 bytes long and followed by bytes that must not be marked.

#include "capture/CqzCsvScan.h"
#include "CaptureUnitTest.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace
{
class CsvScanTest : public CaptureUnitTest
{
};

std::uint64_t Where(const std::string& bytes, bool (*is)(char c, char separator), char separator)
{
    std::uint64_t mask = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        if (is(bytes[i], separator))
            mask |= std::uint64_t{1} << i;
    return mask;
}
} // namespace

TEST_P(CsvScanTest, MarksAreTheBytesOfEachKind)
{
    std::mt19937_64 rng(11);
    const std::string alphabet = "0123456789abx,;\t\" \r\n\x01\x1f\x7f\xe9";
    for (char separator : {',', ';', '\t'})
        for (std::size_t n = 0; n <= 64; ++n)
            for (int round = 0; round < 20; ++round)
            {
                std::string bytes(n, ' ');
                for (char& c : bytes)
                    c = alphabet[rng() % alphabet.size()];
                // The bytes at the end of a buffer, a marker byte after it not to be read.
                std::string buffer = std::string(rng() % 64, 'y') + bytes + "\n,\"";
                const char* p = buffer.data() + buffer.size() - 3 - n;
                const CqzCsvScan::SqzMarks m = CqzCsvScan::Marks(p, n, separator);
                const std::string context = "n " + std::to_string(n) + ", separator " +
                                            std::to_string(int(separator));
                EXPECT_EQ(m.lineEnds, Where(bytes, [](char c, char) { return c == '\n'; }, separator))
                    << context;
                EXPECT_EQ(m.separators, Where(bytes, [](char c, char s) { return c == s; }, separator))
                    << context;
                EXPECT_EQ(m.quotes, Where(bytes, [](char c, char) { return c == '"'; }, separator))
                    << context;
                EXPECT_EQ(m.controls,
                          Where(bytes,
                                [](char c, char)
                                { return static_cast<unsigned char>(c) < 0x20 && c != '\t'; },
                                separator))
                    << context;
                EXPECT_EQ(m.blanks,
                          Where(bytes, [](char c, char) { return c == ' ' || c == '\t'; },
                                separator))
                    << context;
            }
}

QZ_FOR_EVERY_CAPTURE_UNIT(CsvScanTest);
