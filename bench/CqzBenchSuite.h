#pragma once
// Runs the parts of the benchmark the options choose and writes their figures and targets into
// the report: W1 and W2 (full path against the baseline, with a record-by-record check), scale
// (time to the first page and output memory by capture size) and import (importer throughput).

#include "CqzBenchOptions.h"

#include <cstdint>
#include <string>

class CqzBenchPlugIn;
class CqzBenchReport;

class CqzBenchSuite
{
public:
    CqzBenchSuite(const CqzBenchOptions& options, const CqzBenchPlugIn& plugIn,
                  CqzBenchReport& report);

    void Run();
    // Rows whose full-path record differed from the baseline's, over all workloads.
    std::int64_t GetMismatchCount() const { return m_mismatches; }

private:
    void RunWorkload(const std::string& name, bool withText, double targetRatio);
    void RunScale();
    void RunImport();

    const CqzBenchOptions& m_options;
    const CqzBenchPlugIn& m_plugIn;
    CqzBenchReport& m_report;
    std::int64_t m_mismatches = 0;
};
