#pragma once
// The hand-written evaluation the full path is measured against: one loop over the workload's
// column stores deciding each row with the same first-match rule as the filter tool, written
// as a C++ programmer would write it for these four terms, and the same 64-bit display record
// per row (bit 11 hidden, bit 13 coloured, bits 32 to 55 the colour).

#include <cstdint>
#include <vector>

class CqzBenchWorkload;

class CqzBenchBaseline
{
public:
    // The record of one row. msg is null for the workload without texts.
    static std::uint64_t Decide(std::uint32_t addr, std::uint32_t data, std::uint32_t stat,
                                const wchar_t* msg);
    // Whether text contains the lower-case pattern, ignoring case.
    static bool ContainsNoCase(const wchar_t* text, const wchar_t* pattern);
    // The records of every row of the workload into records (resized to the row count). Given
    // an empty vector it allocates the memory the records go to, as the tool allocates its
    // output pages.
    static void Run(const CqzBenchWorkload& workload, std::vector<std::uint64_t>& records);
};
