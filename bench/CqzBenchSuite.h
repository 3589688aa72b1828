#pragma once
// Runs the parts of the benchmark the options choose and writes their figures and targets into
// the report: W1 and W2 (full path against the baseline, with a record-by-record check), scale
// (time to the first page and output memory by capture size), import (importer throughput) and
// markup (a setup of 200 000 terms and one of a 32 000-event term through the tool's markup) and
// decode (protocol decoding against sigrok-cli on the shared captures) and first (the time to the first
// listed row and the first drawn table of a deep capture).

#include "CqzBenchImport.h"
#include "CqzBenchOptions.h"

#include <cstdint>
#include <string>
#include <vector>

class CqzBenchPlugIn;
class CqzBenchRawLoop;
class CqzBenchReport;

class CqzBenchWorkload;

class CqzBenchSuite
{
public:
    CqzBenchSuite(const CqzBenchOptions& options, const CqzBenchPlugIn& plugIn,
                  CqzBenchReport& report);

    void Run();
    // Rows whose full-path record differed from the baseline's, over all workloads.
    std::int64_t GetMismatchCount() const { return m_mismatches; }

private:
    struct SqzTiming
    {
        double wall = 0;
        double cpu = 0;
    };

    // One pass of the baseline loop; records is resized only when it has the wrong size.
    static SqzTiming TimeBaseline(const CqzBenchWorkload& workload,
                                  std::vector<std::uint64_t>& records);
    // One workload; targets: the full path within baselineTarget of the baseline, within
    // rawTarget of the allocating raw loop, and at least 2x faster than numpy.
    void RunWorkload(const std::string& name, bool withText, std::int64_t rows,
                     double baselineTarget, double rawTarget);
    // The raw loop and numpy against the full path's times (records read one by one, and a
    // page at a time); baseline holds the reference records.
    void RunAnchors(const std::string& name, const CqzBenchWorkload& workload,
                    const std::vector<std::uint64_t>& baseline, double fullSeconds,
                    double byPageSeconds, double rawTarget);
    double RunVectorLoop(const std::string& name, const CqzBenchRawLoop& raw,
                         const std::vector<std::uint64_t>& baseline, double byPageSeconds);
    void RunScale();
    void RunImport();
    void ReportImportMemory(const std::string& key, const std::string& label,
                            const CqzBenchImport::SqzResult& r);
    void RunFstImport();
    void RunMarkup();
    void RunDecode();
    void RunFirst();

    const CqzBenchOptions& m_options;
    const CqzBenchPlugIn& m_plugIn;
    CqzBenchReport& m_report;
    std::int64_t m_mismatches = 0;
};
