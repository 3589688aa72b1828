#pragma once
// A piece of the rows of a CSV file, cut after a line's end, and what a worker made of it:
// in the first pass the types its values allow, in the second its times and values column
// by column. A worker that meets a malformed line stops there and keeps what is wrong and
// the line (counted from the piece's first line); the importer, joining the pieces in order,
// names the line in the file.

#include "capture/CqzCsvColumn.h"
#include "mfc/CString.h"
#include "qzSystem/ids/CqzUInt.h"

#include <cstdint>
#include <future>
#include <string>
#include <vector>

struct [[gnu::visibility("hidden")]] SqzCsvPiece
{
    // Its place among the pieces of the file (0 first), and its text.
    std::size_t index = 0;
    std::vector<char> bytes;
    std::size_t size = 0;
    // Lines and rows (lines that are not blank) the piece holds.
    std::int64_t lines = 0;
    std::int64_t rows = 0;

    // The first malformed line (0: none) and what is wrong with it.
    std::int64_t errorLine = 0;
    std::string error;

    // First pass: the types learnt, by field.
    std::vector<CqzCsvColumn> columns;

    // Second pass, by row: the first row's number in the file, its line in the piece and
    // its time as written (for a refusal of a time before the piece's); the times of the
    // rows before any malformed line, and the values by field: numbers of up to 64 bits,
    // wider numbers, texts. Cells that are empty or have x or z digits are listed in order.
    std::int64_t firstRow = 0;
    std::int64_t firstRowLine = 0;
    std::string firstTime;
    std::vector<std::int64_t> times;
    std::vector<std::vector<std::uint64_t>> values;
    std::vector<std::vector<CqzUInt>> wide;
    std::vector<std::vector<CString>> texts;
    struct SqzOddCell
    {
        std::int64_t row;
        std::size_t field;
        int status;
        CqzUInt unknown;
        CqzUInt floating;
    };
    std::vector<SqzOddCell> odd;

    std::future<void> done;

    const char* Begin() const { return bytes.data(); }
    const char* End() const { return bytes.data() + size; }
};
