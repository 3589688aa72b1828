#pragma once
// Reads a value change dump (IEEE 1364 VCD) into a data set of one table: a time column and
// one label per variable.
//
// - Time: `$timescale` of 1, 10 or 100 s, ms, us, ns, ps or fs (1 ns when the file has none);
//   times go to picoseconds. A timestamp that is not a whole number of picoseconds (#1500 at
//   1 fs) is refused rather than merged with its neighbour.
// - One row per timestamp `#t`, the last one included even when no change follows it; changes
//   before the first timestamp belong to the first row (time 0 when the file has no timestamp).
// - Names: scope names joined with dots, "dut.cmpacc[0].psf_node.bit_i". When all variables
//   sit inside one top scope, that scope is left out of the names. A single-bit select after the
//   reference ("data [3]") is kept as "data[3]"; a range ("[7:0]") is dropped (the width says
//   it). A name met again gets "_2", "_3", ...
// - Labels: 1-bit variables are 1-bit digital labels, vectors digital labels of their width
//   (1 to 128 bits; a wider variable is skipped with a note naming it, and its changes are
//   read past). `integer` variables of 8, 16, 32,
//   64 or 128 bits are integral labels of that width. `real`, `realtime`, `shortreal` and
//   `string` variables are string labels holding the value text as written. Variables sharing
//   one identifier code each get their label and all take its changes.
// - Values: 0 1 x z scalars, `b` vectors left-extended (an x or z digit makes the whole value
//   status 4, "value unknown"; the table keeps which digits are x and which z for display),
//   `r` reals and `s` strings as text.
// - The file is read block by block: memory holds the table being built and a few pieces of the
//   value changes, which worker threads read ahead (CqzVcdPieceParser) while the importer joins
//   them in order; what they cannot read is read word by word as with QZ_CAPTURE_PLAIN. A
//   word longer than SqzCaptureOptions::maxFieldBytes, a control byte (NUL and the like)
//   anywhere, or a table larger than the memory limit is refused. A UTF-8 byte-order mark is
//   skipped.
// Malformed input throws CqzCaptureError "file:line: what is wrong"; nothing is returned then
// and no label stays registered.

#include "capture/SqzCaptureOptions.h"
#include "qzSystem/data/CqzData.h"

#include <memory>
#include <string>
#include <string_view>

class CqzVcdImporter
{
public:
    explicit CqzVcdImporter(const SqzCaptureOptions& options = SqzCaptureOptions());
    ~CqzVcdImporter();

    std::unique_ptr<CqzData> ImportFile(const std::string& path) const;
    // The dump held in memory; `name` stands for the file in messages.
    std::unique_ptr<CqzData> ImportText(std::string_view text, const std::string& name) const;

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
