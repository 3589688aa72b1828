#pragma once
// What the process and a run's output hold in memory: the resident set size from
// /proc/self/status (VmRSS) and the pages the output sources of a data set have allocated.

#include <cstdint>
#include <istream>
#include <string>

class CqzData;

class CqzBenchMemoryProbe
{
public:
    // VmRSS of this process in bytes; -1 where the system does not tell.
    static std::int64_t GetResidentBytes();
    // The same after handing the heap's free memory back to the system, so that memory freed
    // by an earlier workload does not hide what comes next.
    static std::int64_t GetResidentBytesTrimmed();
    // VmRSS in bytes from a text laid out as /proc/self/status; -1 without that line.
    static std::int64_t ParseResidentBytes(std::istream& status);
    // The peak resident set (VmHWM) in bytes, and starting it again from the present resident
    // set (false where the system does not allow it); -1 where the system does not tell.
    static std::int64_t GetPeakResidentBytes();
    static bool ResetPeakResidentBytes();

    // Pages allocated by the attribute columns (role 15) of every table of the data set.
    static std::int64_t GetAllocatedPages(const CqzData& data);
    // Bytes one page of those columns holds (a code byte a row); 0 without such a column.
    static std::int64_t GetPageBytes(const CqzData& data);

private:
    // A "Field:   N kB" line of /proc/self/status in bytes; -1 without it.
    static std::int64_t ParseStatusBytes(std::istream& status, const std::string& field);
};
