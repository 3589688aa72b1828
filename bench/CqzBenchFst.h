#pragma once
// FST import beside the FST tools' own reading: the benchmark's value change dump
// (CqzBenchImport::WriteVcd) is turned into an FST file by vcd2fst, loaded through
// CqzCaptureLoader, and read by fst2vcd into /dev/null (the time of that process, for
// comparison). Needs vcd2fst and fst2vcd (package gtkwave); Available says whether they are
// there. The files live in a temporary folder of their own, removed with it.

#include <cstdint>
#include <memory>

class CqzBenchFst
{
public:
    struct SqzResult
    {
        std::int64_t vcdBytes = 0;
        std::int64_t fstBytes = 0;
        std::int64_t rows = 0;
        std::int64_t expectedRows = 0;
        double loadSeconds = 0;
        double loadCpuSeconds = 0;
        double fst2vcdSeconds = 0; // fst2vcd's whole run, writing to /dev/null
    };

    static bool Available();
    // Throws std::runtime_error when a tool fails or no temporary folder can be made, and
    // CqzCaptureError when the import refuses the file.
    static SqzResult Run(std::int64_t vcdBytes);
};
