#pragma once
// The same decisions as the raw loop, timed in Python with numpy as vectorised array
// expressions, on the same arrays (written to a temporary folder). Runs Debian's
// /usr/bin/python3, which has numpy when the python3-numpy package is installed (a python3
// found first on PATH may not). Best of three runs; the script reports the sum of its records
// so that the caller can check that it decided the same.

#include <cstdint>
#include <optional>
#include <string>

class CqzBenchRawLoop;

class CqzBenchNumpy
{
public:
    static constexpr const char* Python = "/usr/bin/python3";

    struct SqzResult
    {
        double seconds = 0;
        std::uint64_t checksum = 0;
    };

    // The timing, or nothing (with the reason in `why`) when Python or numpy is missing or
    // the script fails.
    static std::optional<SqzResult> Run(const CqzBenchRawLoop& arrays, bool withText,
                                        std::string& why);
    // Parses the script's last line, "seconds checksum"; nothing when malformed.
    static std::optional<SqzResult> ParseOutput(const std::string& output);

private:
    static const char* Script();
};
