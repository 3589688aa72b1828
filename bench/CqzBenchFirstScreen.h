#pragma once
// The time from the start of `qzfilter` to its first screen on a deep capture: the sample
// generator's bus written as a value change dump of the given rows, then, each in a process of
// its own, the time from the start of `qzfilter FILE` to its first listed row on standard
// output (the process is then stopped) and of `qzfilter view --screenshot` (offscreen) to its
// end, which comes once its first table is drawn. The capture is removed afterwards.

#include <cstdint>
#include <string>

class CqzBenchFirstScreen
{
public:
    struct SqzResult
    {
        std::int64_t fileBytes = 0;
        double writeSeconds = 0;
        double firstRowSeconds = 0;
        double firstTableSeconds = 0;
    };

    CqzBenchFirstScreen(const std::string& filterProgram, std::int64_t rows);
    // Throws std::runtime_error when a run fails.
    SqzResult Run() const;

private:
    double TimeFirstRow(const std::string& capture) const;
    double TimeFirstTable(const std::string& capture, const std::string& picture) const;

    std::string m_program;
    std::int64_t m_rows;
};
