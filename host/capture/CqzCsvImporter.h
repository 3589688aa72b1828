#pragma once
// Reads a table of samples written as delimited text (CSV) into a data set of one table: a
// time column and one label per other column.
//
// - Layout: optional comment lines starting with ';' before the header; the first other line
//   is the header and names the columns; then one row per non-empty line. The separator is
//   the most frequent of ',', ';' and tab in the header. Fields may be quoted with '"'.
// - Time: the first column whose name starts with "time" (any case). A time may carry its
//   unit ("4.860 530 ms", "12 ns"; spaces between digits are digit groups), or take it from
//   the header ("Time [us]", "Time(seconds)"); with neither it is in seconds. With a ';' or
//   tab separator a comma in a time is a decimal comma. Without a time column, a comment
//   "; Samplerate: 1 MHz" gives row n the time n / rate; otherwise the file is refused.
//   Times must not decrease and are kept in whole picoseconds: a finer time is refused.
// - Column types, from all of the column's values:
//     bit (0, 1, x or z only, one digit each)            -> 1-bit digital label;
//     binary bus ("0b" prefix, or 0/1/x/z strings all of one length of 2 or more digits)
//                                                        -> digital label of that many bits;
//     hexadecimal bus ("0x" prefix or a digit a-f)       -> digital label of 4 bits a digit;
//     decimal integers (optional '-')                    -> integral label of 8 to 128 bits,
//                                                           negatives in two's complement;
//     anything else                                      -> string label.
//   Buses are at most 128 bits; a wider column is skipped with a note naming it. x or z
//   digits make a value status 4 ("value unknown"; the table keeps which digits are x and
//   which z for display); an empty field status 3 ("no data").
// - A line with more fields than the header has columns is refused, naming the line and the
//   first extra field (a comma-separated file with decimal commas shows up this way).
// - The file is read twice, block by block (once to learn the column types and count the
//   rows, once to fill the table): memory holds the table and one buffer. A line longer than
//   SqzCaptureOptions::maxLineBytes, a field longer than maxFieldBytes, a control byte other
//   than tab (NUL and the like), or a table larger than the memory limit is refused. A UTF-8
//   byte-order mark is skipped.
// Malformed input throws CqzCaptureError "file:line: what is wrong"; nothing is returned then
// and no label stays registered.

#include "capture/SqzCaptureOptions.h"
#include "qzSystem/data/CqzData.h"

#include <memory>
#include <string>
#include <string_view>

class CqzCsvImporter
{
public:
    explicit CqzCsvImporter(const SqzCaptureOptions& options = SqzCaptureOptions());
    ~CqzCsvImporter();

    std::unique_ptr<CqzData> ImportFile(const std::string& path) const;
    // The text held in memory; `name` stands for the file in messages.
    std::unique_ptr<CqzData> ImportText(std::string_view text, const std::string& name) const;

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
