#pragma once
// A piece of the value changes of a dump, cut at the start of a line, and what a worker made
// of it: the rows of its timestamps with, per column it changes, the column's value in every
// row from its first change on (earlier rows hold the value the rows before the piece left),
// and its text changes, each naming one of the piece's distinct texts. `parsed` is false when
// the piece holds anything the plain path must read (x or z digits, sections, changes before
// its first timestamp, malformed text, a change that goes on in the next piece); the importer
// then reads the piece itself.

#include "capture/CqzUninitAllocator.h"
#include "capture/CqzVcdBitLanes.h"
#include "mfc/CString.h"
#include "qzSystem/ids/CqzUInt.h"

#include <cstdint>
#include <future>
#include <vector>

struct SqzVcdPiece
{
    // Readers may look this many bytes beyond the text (zeros).
    static constexpr std::size_t Padding = 64;

    // The text, followed by Padding zero bytes.
    std::vector<char> bytes;
    std::size_t size = 0;
    // False when the piece was cut inside a line (a line longer than a piece).
    bool endsAtLine = true;
    std::int64_t newlines = 0; // counted while parsed

    // The worker's reading.
    struct SqzColumn
    {
        int column = -1;
        int width = 0;
        std::int64_t first = -1; // the row of its first change
        int slot = -1;             // width 1: its slot in `lanes`
        std::int64_t bitsRow = 0;  // width 1: the row of bit 0 of bits[0]
        std::vector<std::uint64_t> bits;    // width 1: bit i % 64 of word i / 64 is row bitsRow + i
        std::vector<std::uint8_t> narrow;   // width 2 to 8
        std::vector<std::uint64_t> values;  // width 9 to 64
        std::vector<CqzUInt> wide;          // width 65 to 128
    };
    struct SqzText
    {
        std::int64_t row;
        int column;
        std::uint32_t text; // in textValues
    };
    bool parsed = false;
    std::vector<std::int64_t, CqzUninitAllocator<std::int64_t>> times;
    std::vector<SqzColumn> columns; // by column number (unchanged: first -1)
    std::vector<int> changed;       // column numbers changed, in order of first change
    std::vector<SqzText> texts;  // in the order of the file
    std::vector<CString> textValues;
    CqzVcdBitLanes lanes; // the one-bit columns while read
    std::future<void> done;

    const char* Begin() const { return bytes.data(); }
    const char* End() const { return bytes.data() + size; }
};
