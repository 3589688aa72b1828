#pragma once
// The limit of the machine for a workload: the raw loop's decisions written without branches
// over the same typed arrays, compiled once per vector unit (AVX-512, AVX2, baseline x86-64)
// with the best one the processor has chosen when the program starts, so one binary runs
// everywhere. Its records go to memory allocated inside the timing, aligned to 2 MiB and
// advised for huge pages (the first touch pays the faults, as the tool's output pages do), or
// again into the memory it already touched.

#include <cstddef>
#include <cstdint>

class CqzBenchRawLoop;

class CqzBenchVectorLoop
{
public:
    // raw must outlive the loop: its arrays are read in place.
    explicit CqzBenchVectorLoop(const CqzBenchRawLoop& raw);
    ~CqzBenchVectorLoop();
    CqzBenchVectorLoop(const CqzBenchVectorLoop&) = delete;
    CqzBenchVectorLoop& operator=(const CqzBenchVectorLoop&) = delete;

    // Seconds for allocating the records and writing them.
    double RunAllocating();
    // Seconds for writing them again into the same memory.
    double RunTouched();
    std::int64_t GetRowCount() const;
    std::uint64_t GetRecord(std::int64_t row) const { return m_records[std::size_t(row)]; }
    // The vector unit the loop runs on: "AVX-512", "AVX2" or "baseline".
    static const char* GetVectorUnit();

private:
    void Loop() const;
    void Release();

    const CqzBenchRawLoop& m_raw;
    std::uint64_t* m_records = nullptr;
};
