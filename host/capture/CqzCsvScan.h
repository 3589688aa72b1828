#pragma once
// Where the bytes that shape a CSV line are among up to 64 bytes: line ends, separators,
// quotes, control bytes and blanks. On a processor with AVX-512 the bytes are compared a vector at a
// time (a masked load: nothing is read past the bytes asked for); otherwise, or when the
// capture importers use plain loops (CqzCaptureUnit, QZ_CAPTURE_SCALAR=1), a
// plain loop gives the same answers.

#include <cstddef>
#include <cstdint>

class CqzCsvScan
{
public:
    // Bit i of each mask stands for byte i.
    struct SqzMarks
    {
        std::uint64_t lineEnds = 0;   // '\n'
        std::uint64_t separators = 0; // the separator
        std::uint64_t quotes = 0;     // '"'
        std::uint64_t controls = 0;   // below 0x20, other than a tab
        std::uint64_t blanks = 0;     // a space or a tab
    };

    // The marks of the n (at most 64) bytes at p.
    static SqzMarks Marks(const char* p, std::size_t n, char separator);

    // The low n bits (n at most 64).
    static std::uint64_t LowBits(std::size_t n)
    {
        return n >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1;
    }
};
