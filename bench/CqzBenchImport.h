#pragma once
// Throughput of the capture importers on generated files: a value change dump where several
// signals change at every timestamp, a CSV table of the same signals (time, a bit and three
// hexadecimal buses per line), and a logic session archive (metadata plus raw chunks of
// 2-byte samples, stored in a zip) whose samples change at every sample (the worst case: a
// row of the table for every 2 bytes of samples), and the same archive whose channels change
// every SparseSamplesPerChange samples (a capture sampled well above its signals' rate). Three
// more dump shapes: the sample generator's CPU bus (busRows rows, kept in the temporary folder
// as qzbench-cpu-bus-ROWS.vcd and reused by later runs, since writing gigabytes takes long),
// many narrow signals (64 one-bit wires, a few toggling at each timestamp) and wide buses (16
// buses of 32 to 128 bits). The other files are written to a temporary folder of their own and
// removed with it.

#include <cstdint>
#include <memory>
#include <string>

class CqzData;

class CqzBenchImport
{
public:
    // Loads of each file: this shared machine's speed moves from second to second, so the
    // fastest is taken, as for the other baselines.
    static constexpr int Loads = 3;

    struct SqzResult
    {
        std::int64_t fileBytes = 0;
        std::int64_t rows = 0;
        // The rows the file was written to make (one per timestamp or sample).
        std::int64_t expectedRows = 0;
        double writeSeconds = 0;
        // The fastest of Loads loads of the file, its process CPU time, and the slowest.
        double loadSeconds = 0;
        double loadCpuSeconds = 0;
        double slowestLoadSeconds = 0;
        // Resident memory a load added at its peak (the most of the loads), and what the
        // loaded data set holds (after the heap's free memory went back to the system); -1
        // where not known.
        std::int64_t peakBytes = -1;
        std::int64_t tableBytes = -1;
    };

    // Files of at least targetBytes each. Throws std::runtime_error when no temporary folder
    // can be made.
    CqzBenchImport(std::int64_t targetBytes, std::int64_t busRows);
    ~CqzBenchImport();
    CqzBenchImport(const CqzBenchImport&) = delete;
    CqzBenchImport& operator=(const CqzBenchImport&) = delete;

    // Writes the file, loads it through CqzCaptureLoader and removes it. Importer errors
    // (CqzCaptureError) pass through.
    SqzResult RunVcd() const;
    SqzResult RunCsv() const;
    SqzResult RunSr() const;
    SqzResult RunSrSparse() const;
    SqzResult RunVcdBus() const;
    SqzResult RunVcdNarrow() const;
    SqzResult RunVcdWide() const;

    static constexpr std::uint64_t SparseSamplesPerChange = 32;

    // The writers, with the number of rows the importer should make of the file.
    static std::int64_t WriteVcd(const std::string& path, std::int64_t targetBytes);
    static std::int64_t WriteCsv(const std::string& path, std::int64_t targetBytes);
    static std::int64_t WriteSr(const std::string& path, std::int64_t targetBytes);
    static std::int64_t WriteSrSparse(const std::string& path, std::int64_t targetBytes);
    static std::int64_t WriteVcdNarrow(const std::string& path, std::int64_t targetBytes);
    static std::int64_t WriteVcdWide(const std::string& path, std::int64_t targetBytes);
    static std::int64_t WriteSrChanging(const std::string& path, std::int64_t targetBytes,
                                        std::uint64_t samplesPerChange);

    // One load of a file through CqzCaptureLoader into `data`, its wall-clock time returned;
    // kept in `fastest` with its process CPU time in `fastestCpu` when `first` or faster.
    static double TimedLoad(const std::string& path, bool first, double& fastest,
                            double& fastestCpu, std::unique_ptr<CqzData>& data);
    // Forgets the labels a load registered, with its data set.
    static void ForgetLabels(const CqzData& data);

private:
    SqzResult Load(const std::string& path,
                   std::int64_t (*write)(const std::string&, std::int64_t)) const;
    // Loads the file (removed afterwards unless `keep`) and measures the load.
    static SqzResult Measure(const std::string& path, SqzResult result, bool keep);

    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
