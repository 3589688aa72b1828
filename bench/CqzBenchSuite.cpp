#include "CqzBenchSuite.h"

#include "CqzBenchBaseline.h"
#include "CqzBenchDecode.h"
#include "CqzBenchFirstScreen.h"
#include "CqzBenchFullPath.h"
#include "CqzBenchFst.h"
#include "CqzBenchImport.h"
#include "CqzBenchMarkup.h"
#include "CqzBenchNumpy.h"
#include "CqzBenchRawLoop.h"
#include "CqzBenchReport.h"
#include "CqzBenchStopwatch.h"
#include "CqzBenchVectorLoop.h"
#include "CqzBenchWorkload.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <sstream>
#include <vector>

namespace
{
constexpr double MB = 1024.0 * 1024.0;
constexpr double KiB = 1024.0;
constexpr std::uint64_t HiddenBit = std::uint64_t{1} << 11;
constexpr std::uint64_t ColoredBit = std::uint64_t{1} << 13;
constexpr int FirstPageRepeats = 5;

double PerSecond(double amount, double seconds)
{
    return seconds > 0 ? amount / seconds : std::numeric_limits<double>::infinity();
}

std::string Hex(std::uint64_t value)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%016llx", static_cast<unsigned long long>(value));
    return text;
}

std::string Rows(std::int64_t rows)
{
    return rows % 1'000'000 == 0 ? std::to_string(rows / 1'000'000) + "M" : std::to_string(rows);
}

// 1.5 as "1.5" in labels and "1_5" in keys.
std::string Factor(double factor, bool forKey)
{
    std::ostringstream text;
    text << factor;
    std::string s = text.str();
    if (forKey)
        for (char& c : s)
            c = c == '.' ? '_' : c;
    return s;
}
} // namespace

CqzBenchSuite::CqzBenchSuite(const CqzBenchOptions& options, const CqzBenchPlugIn& plugIn,
                             CqzBenchReport& report)
    : m_options(options), m_plugIn(plugIn), m_report(report)
{
}

void CqzBenchSuite::Run()
{
    for (const std::int64_t rows : {m_options.rows, m_options.bigRows})
    {
        if (rows <= 0)
            continue;
        const std::string suffix = rows == m_options.rows ? "" : "_" + Rows(rows);
        if (m_options.Runs("w1"))
            RunWorkload("w1" + suffix, false, rows, 5, 1.5);
        if (m_options.Runs("w2"))
            RunWorkload("w2" + suffix, true, rows, 8, 2.5);
    }
    if (m_options.Runs("scale"))
        RunScale();
    if (m_options.Runs("import"))
        RunImport();
    if (m_options.Runs("markup"))
        RunMarkup();
    if (m_options.Runs("decode"))
        RunDecode();
    if (m_options.Runs("first"))
        RunFirst();
}

void CqzBenchSuite::RunFirst()
{
    std::cerr << "qzbench: first screen of " << Rows(m_options.firstRows) << " rows\n";
    const CqzBenchFirstScreen::SqzResult r =
        CqzBenchFirstScreen(m_options.filterProgram, m_options.firstRows).Run();
    const std::string label = "sample bus, " + Rows(m_options.firstRows) + " rows: ";
    m_report.Add("first", "file_mib", label + "file", double(r.fileBytes) / MB, "MiB", 1);
    m_report.Add("first", "write_s", label + "writing the file", r.writeSeconds, "s", 1);
    m_report.Add("first", "first_row_s", label + "start to the first listed row",
                 r.firstRowSeconds, "s", 3);
    m_report.Add("first", "first_table_s", label + "start to the first drawn table (view)",
                 r.firstTableSeconds, "s", 3);
    m_report.AddTarget("first_row_under_1s", "first listed row within 1 s",
                       r.firstRowSeconds < 1.0);
    m_report.AddTarget("first_table_under_1s", "first drawn table within 1 s",
                       r.firstTableSeconds < 1.0);
}

void CqzBenchSuite::RunDecode()
{
    std::cerr << "qzbench: decode\n";
    const char* shared = std::getenv("QZ_SHARED_DIR");
    CqzBenchDecode decode(std::string(shared ? shared : QZ_SHARED_DIR) + "/captures");
    const std::vector<CqzBenchDecode::SqzResult> results = decode.Run();
    m_report.Add("decode", "start_s", "starting the decoder library (once per program)",
                 decode.GetStartSeconds(), "s", 3);
    for (const CqzBenchDecode::SqzResult& r : results)
    {
        const std::string key = r.name + "_", label = r.name + ": ";
        m_report.Add("decode", key + "annotations", label + "annotations",
                     static_cast<double>(r.annotations));
        m_report.Add("decode", key + "load_s", label + "loading the capture", r.loadSeconds, "s", 3);
        m_report.Add("decode", key + "decode_s", label + "decoding", r.decodeSeconds, "s", 3);
        m_report.Add("decode", key + "decode_cpu_s", label + "decoding, process CPU time",
                     r.decodeCpuSeconds, "s", 3);
        m_report.Add("decode", key + "sigrok_s", label + "sigrok-cli on the same file",
                     r.sigrokSeconds, "s", 3);
        m_report.Add("decode", key + "sigrok_cpu_s", label + "sigrok-cli, CPU time",
                     r.sigrokCpuSeconds, "s", 3);
        const double ours = r.loadSeconds + r.decodeSeconds;
        m_report.Add("decode", key + "ratio", label + "(loading + decoding) / sigrok-cli",
                     r.sigrokSeconds > 0 ? ours / r.sigrokSeconds : 0, "x", 2);
        if (!r.sigrokRan)
            m_report.AddNote("decode", label + "sigrok-cli did not run");
        m_report.AddTarget("decode_" + r.name,
                           label + "loading + decoding within 1.2x of sigrok-cli",
                           r.sigrokRan && ours <= 1.2 * r.sigrokSeconds);
    }
}

CqzBenchSuite::SqzTiming CqzBenchSuite::TimeBaseline(const CqzBenchWorkload& workload,
                                                     std::vector<std::uint64_t>& records)
{
    const CqzBenchStopwatch clock;
    CqzBenchBaseline::Run(workload, records);
    return {clock.WallSeconds(), clock.CpuSeconds()};
}

void CqzBenchSuite::RunWorkload(const std::string& name, bool withText, std::int64_t rowCount,
                                double baselineTarget, double rawTarget)
{
    std::cerr << "qzbench: " << name << ", " << rowCount << " rows\n";
    CqzBenchWorkload workload(rowCount, withText);
    const auto rows = static_cast<double>(workload.GetRowCount());
    m_report.Add(name, "rows", "rows", rows);
    m_report.Add(name, "build_s", "building the capture", workload.GetBuildSeconds(), "s", 3);

    std::vector<std::uint64_t> full;
    const CqzBenchFullPath::SqzResult run = CqzBenchFullPath(m_plugIn, workload).Run(&full);

    // Both sides pay for the memory their records go to: the full path allocates its output
    // pages while it runs, so the baseline allocates its record array inside its timing too.
    // A second pass into the same array gives the loop's cost without that memory.
    std::vector<std::uint64_t> baseline;
    const SqzTiming fresh = TimeBaseline(workload, baseline);
    const SqzTiming reused = TimeBaseline(workload, baseline);
    const double baselineSeconds = fresh.wall;

    std::int64_t mismatches = run.rowsRead == workload.GetRowCount() ? 0 : 1;
    std::int64_t firstMismatch = -1, hidden = 0, colored = 0;
    for (std::size_t row = 0; row < baseline.size(); ++row)
    {
        hidden += (baseline[row] & HiddenBit) != 0 ? 1 : 0;
        colored += (baseline[row] & ColoredBit) != 0 ? 1 : 0;
        if (full[row] == baseline[row])
            continue;
        ++mismatches;
        if (firstMismatch < 0)
            firstMismatch = static_cast<std::int64_t>(row);
    }
    m_mismatches += mismatches;

    const double ratio = run.totalSeconds / baselineSeconds;
    m_report.Add(name, "hidden_share", "rows hidden (baseline)", 100.0 * hidden / rows, "%", 1);
    m_report.Add(name, "colored_share", "rows coloured (baseline)", 100.0 * colored / rows, "%", 1);
    m_report.Add(name, "full_s", "full path: run message to last row read", run.totalSeconds, "s",
                 3);
    m_report.Add(name, "full_rows_per_s", "full path", PerSecond(rows, run.totalSeconds), "rows/s");
    m_report.Add(name, "baseline_s", "baseline loop", baselineSeconds, "s", 3);
    m_report.Add(name, "baseline_rows_per_s", "baseline", PerSecond(rows, baselineSeconds),
                 "rows/s");
    m_report.Add(name, "ratio", "full / baseline (time)", ratio, "x", 2);
    m_report.Add(name, "cpu_ratio", "full / baseline (process CPU time)",
                 run.totalCpuSeconds / fresh.cpu, "x", 2);
    m_report.Add(name, "loop_only_s", "baseline loop into memory it already has", reused.wall, "s",
                 3);
    m_report.Add(name, "loop_only_ratio", "full / baseline loop into memory it already has",
                 run.totalSeconds / reused.wall, "x", 2);
    m_report.Add(name, "rows_read", "rows read through the output", run.rowsRead);
    m_report.Add(name, "mismatches", "records differing from the baseline", mismatches);
    if (firstMismatch >= 0)
        m_report.AddNote(name, "first differing row " + std::to_string(firstMismatch) + ": full " +
                                   Hex(full[firstMismatch]) + ", baseline " +
                                   Hex(baseline[firstMismatch]));
    m_report.AddTarget(name + "_within_" + Factor(baselineTarget, true) + "x",
                       name + ": full path within " + Factor(baselineTarget, false) +
                           "x of the baseline",
                       ratio <= baselineTarget);
    m_report.AddTarget(name + "_records_equal", name + ": every record equals the baseline's",
                       mismatches == 0);
    // The same with the records read a page at a time: what is left is the tool's own work.
    const CqzBenchFullPath::SqzResult byPage =
        CqzBenchFullPath(m_plugIn, workload).Run(&full, true);
    std::int64_t pageMismatches = byPage.rowsRead == workload.GetRowCount() ? 0 : 1;
    for (std::size_t row = 0; row < baseline.size(); ++row)
        pageMismatches += full[row] == baseline[row] ? 0 : 1;
    m_mismatches += pageMismatches;
    m_report.Add(name, "full_by_page_s", "full path, records read a page at a time",
                 byPage.totalSeconds, "s", 3);
    m_report.Add(name, "full_by_page_cpu_s", "the same, process CPU time (user and system)",
                 byPage.totalCpuSeconds, "s", 3);
    m_report.Add(name, "by_page_mismatches", "records read by page differing from the baseline",
                 static_cast<double>(pageMismatches));
    full = std::vector<std::uint64_t>();
    std::int64_t counted = 0;
    const double countAll = CqzBenchFullPath(m_plugIn, workload).RunCountAll(counted);
    m_report.Add(name, "count_all_s", "Count all (every page produced, term counts)", countAll,
                 "s", 3);
    m_report.Add(name, "count_all_ratio", "Count all / full read by page",
                 countAll / byPage.totalSeconds, "x", 2);
    m_report.AddTarget(name + "_count_all_within_1_5x",
                       name + ": Count all within 1.5x of the full path read by page",
                       countAll <= 1.5 * byPage.totalSeconds && counted == workload.GetRowCount());
    RunAnchors(name, workload, baseline, run.totalSeconds, byPage.totalSeconds, rawTarget);
}

void CqzBenchSuite::RunAnchors(const std::string& name, const CqzBenchWorkload& workload,
                               const std::vector<std::uint64_t>& baseline, double fullSeconds,
                               double byPageSeconds, double rawTarget)
{
    CqzBenchRawLoop raw(workload);
    const double allocating = raw.RunAllocating();
    const double touched = raw.RunTouched();
    std::int64_t rawMismatches = 0;
    for (std::int64_t row = 0; row < raw.GetRowCount(); ++row)
        rawMismatches += raw.GetRecord(row) == baseline[std::size_t(row)] ? 0 : 1;
    m_report.Add(name, "raw_s", "raw loop over typed arrays, allocating its records", allocating,
                 "s", 3);
    m_report.Add(name, "raw_touched_s", "raw loop into records already touched", touched, "s", 3);
    m_report.Add(name, "raw_ratio", "full / raw loop (allocating)", fullSeconds / allocating, "x",
                 2);
    m_report.Add(name, "raw_touched_ratio", "full / raw loop (touched)", fullSeconds / touched, "x",
                 2);
    m_report.Add(name, "raw_by_page_ratio", "full read by page / raw loop (allocating)",
                 byPageSeconds / allocating, "x", 2);
    m_report.Add(name, "raw_mismatches", "raw-loop records differing from the baseline",
                 static_cast<double>(rawMismatches));
    m_report.AddTarget(name + "_within_" + Factor(rawTarget, true) + "x_raw",
                       name + ": full path within " + Factor(rawTarget, false) +
                           "x of the raw loop (allocating)",
                       fullSeconds <= rawTarget * allocating);

    const double vectorAllocating = RunVectorLoop(name, raw, baseline, byPageSeconds);

    std::cerr << "qzbench: " << name << ", numpy\n";
    std::string why;
    const std::optional<CqzBenchNumpy::SqzResult> numpy =
        CqzBenchNumpy::Run(raw, workload.HasText(), why);
    if (!numpy)
    {
        m_report.AddNote(name, "numpy: skipped, " + why);
        return;
    }
    m_report.Add(name, "numpy_s", "numpy, best of 3", numpy->seconds, "s", 3);
    m_report.Add(name, "numpy_ratio", "numpy / full", numpy->seconds / fullSeconds, "x", 2);
    m_report.Add(name, "numpy_by_page_ratio", "numpy / full read by page",
                 numpy->seconds / byPageSeconds, "x", 2);
    m_report.Add(name, "numpy_records_equal", "numpy's record sum equals the raw loop's",
                 numpy->checksum == raw.Checksum() ? 1 : 0);
    m_report.AddTarget(name + "_2x_faster_than_numpy",
                       name + ": full path at least 2x faster than numpy",
                       numpy->seconds >= 2 * fullSeconds);
    m_report.Add(name, "numpy_vector_ratio", "numpy / vectorised loop (allocating)",
                 numpy->seconds / vectorAllocating, "x", 2);
    m_report.AddTarget(name + "_by_page_3x_faster_than_numpy",
                       name + ": full path read by page at least 3x faster than numpy",
                       numpy->seconds >= 3 * byPageSeconds);
}

// The vectorised loop over the raw loop's arrays; answers its allocating time.
double CqzBenchSuite::RunVectorLoop(const std::string& name, const CqzBenchRawLoop& raw,
                                    const std::vector<std::uint64_t>& baseline,
                                    double byPageSeconds)
{
    CqzBenchVectorLoop vector(raw);
    const double allocating = vector.RunAllocating();
    const double touched = vector.RunTouched();
    std::int64_t mismatches = vector.GetRowCount() == raw.GetRowCount() ? 0 : 1;
    for (std::int64_t row = 0; row < vector.GetRowCount(); ++row)
        mismatches += vector.GetRecord(row) == baseline[std::size_t(row)] ? 0 : 1;
    m_mismatches += mismatches;
    m_report.AddNote(name, std::string("vectorised loop on ") + CqzBenchVectorLoop::GetVectorUnit());
    m_report.Add(name, "vector_s", "vectorised loop, allocating its records (huge pages)",
                 allocating, "s", 3);
    m_report.Add(name, "vector_touched_s", "vectorised loop into records already touched",
                 touched, "s", 3);
    m_report.Add(name, "vector_by_page_ratio", "full read by page / vectorised loop (allocating)",
                 byPageSeconds / allocating, "x", 2);
    m_report.Add(name, "vector_mismatches", "vectorised-loop records differing from the baseline",
                 static_cast<double>(mismatches));
    m_report.AddTarget(name + "_by_page_within_2x_vector",
                       name + ": full path read by page within 2x of the vectorised loop",
                       byPageSeconds <= 2 * allocating && mismatches == 0);
    return allocating;
}

void CqzBenchSuite::RunScale()
{
    double firstSmall = 0, firstLarge = 0;
    std::int64_t smallRows = 0, largeRows = 0;
    std::vector<std::int64_t> onePageBytes;
    for (const double millions : m_options.scaleMillions)
    {
        const auto rows = static_cast<std::int64_t>(millions * 1e6 + 0.5);
        std::cerr << "qzbench: scale, " << rows << " rows\n";
        CqzBenchWorkload workload(rows, false);
        const CqzBenchFullPath fullPath(m_plugIn, workload);
        const CqzBenchFullPath::SqzResult run = fullPath.Run(nullptr);
        const double bestFirst = fullPath.BestFirstPageSeconds(FirstPageRepeats);
        const double afterFullRead = fullPath.FirstPageAfterFullReadSeconds();
        const std::string key = "n" + Rows(rows) + "_";
        const std::string label = Rows(rows) + " rows: ";
        const std::int64_t firstBytes = run.pagesAfterFirst * run.pageBytes;
        m_report.Add("scale", key + "build_s", label + "building the capture",
                     workload.GetBuildSeconds(), "s", 3);
        m_report.Add("scale", key + "run_message_ms", label + "run message", run.runSeconds * 1e3,
                     "ms", 3);
        m_report.Add("scale", key + "first_page_cold_ms",
                     label + "run message to first page read, first run",
                     run.firstPageSeconds * 1e3, "ms", 3);
        m_report.Add("scale", key + "first_page_ms",
                     label + "run message to first page read, best of " +
                         std::to_string(FirstPageRepeats),
                     bestFirst * 1e3, "ms", 3);
        m_report.Add("scale", key + "first_page_after_full_read_ms",
                     label + "run message to first page read, after a full read of the last run",
                     afterFullRead * 1e3, "ms", 3);
        m_report.Add("scale", key + "output_one_page_bytes", label + "output after one page",
                     static_cast<double>(firstBytes), "bytes");
        m_report.Add("scale", key + "rss_one_page_kib", label + "VmRSS growth after one page",
                     (run.rssAfterFirst - run.rssBefore) / KiB, "KiB");
        m_report.Add("scale", key + "output_all_pages_mib", label + "output after all pages",
                     run.pagesAfterAll * run.pageBytes / MB, "MiB", 1);
        m_report.Add("scale", key + "rss_all_pages_mib", label + "VmRSS growth after all pages",
                     (run.rssAfterAll - run.rssBefore) / MB, "MiB", 1);
        m_report.Add("scale", key + "full_rows_per_s", label + "full path, all rows",
                     PerSecond(static_cast<double>(run.rowsRead), run.totalSeconds), "rows/s");
        if (smallRows == 0 || rows < smallRows)
            smallRows = rows, firstSmall = bestFirst;
        if (rows > largeRows)
            largeRows = rows, firstLarge = bestFirst;
        onePageBytes.push_back(firstBytes);
    }
    if (m_options.scaleMillions.size() < 2)
        return;
    const double growth = firstLarge / firstSmall;
    m_report.Add("scale", "first_page_growth", "first page: largest / smallest capture", growth,
                 "x", 2);
    m_report.AddTarget("first_page_within_2x",
                       "scale: first page at " + Rows(largeRows) + " within 2x of " +
                           Rows(smallRows),
                       growth <= 2);
    bool same = true;
    for (const std::int64_t bytes : onePageBytes)
        same = same && bytes == onePageBytes.front();
    m_report.AddTarget("one_page_memory_independent_of_n",
                       "scale: output after one page independent of N", same);
}

void CqzBenchSuite::RunImport()
{
    CqzBenchImport import(m_options.importBytes, m_options.busRows);
    const struct
    {
        const char* name;
        CqzBenchImport::SqzResult (CqzBenchImport::*run)() const;
        double target; // MiB per second (of sample data for sessions)
    } formats[] = {{"vcd", &CqzBenchImport::RunVcd, 800},
                   {"vcd_bus", &CqzBenchImport::RunVcdBus, 800},
                   {"vcd_narrow", &CqzBenchImport::RunVcdNarrow, 800},
                   {"vcd_wide", &CqzBenchImport::RunVcdWide, 800},
                   {"csv", &CqzBenchImport::RunCsv, 400},
                   {"sr", &CqzBenchImport::RunSr, 1024},
                   {"sr_sparse", &CqzBenchImport::RunSrSparse, 1024}};
    for (const auto& format : formats)
    {
        std::cerr << "qzbench: import " << format.name << "\n";
        const CqzBenchImport::SqzResult r = (import.*format.run)();
        const std::string key = std::string(format.name) + "_";
        const std::string label = std::string(format.name) + ": ";
        m_report.Add("import", key + "file_mib", label + "file", r.fileBytes / MB, "MiB", 1);
        m_report.Add("import", key + "rows", label + "rows", static_cast<double>(r.rows));
        m_report.Add("import", key + "write_s", label + "writing the file", r.writeSeconds, "s", 3);
        m_report.Add("import", key + "load_s",
                     label + "loading, fastest of " + std::to_string(CqzBenchImport::Loads),
                     r.loadSeconds, "s", 3);
        m_report.Add("import", key + "slowest_load_s", label + "loading, slowest",
                     r.slowestLoadSeconds, "s", 3);
        m_report.Add("import", key + "rows_per_s", label + "rows per second",
                     PerSecond(static_cast<double>(r.rows), r.loadSeconds), "rows/s");
        m_report.Add("import", key + "mib_per_s", label + "MiB per second",
                     PerSecond(r.fileBytes / MB, r.loadSeconds), "MiB/s", 1);
        m_report.Add("import", key + "mib_per_cpu_s", label + "MiB per second of process CPU time",
                     PerSecond(r.fileBytes / MB, r.loadCpuSeconds), "MiB/s", 1);
        ReportImportMemory(key, label, r);
        m_report.AddTarget("import_" + key + "speed",
                           label + "at least " + std::to_string(static_cast<int>(format.target)) +
                               " MiB/s",
                           PerSecond(r.fileBytes / MB, r.loadSeconds) >= format.target);
        if (r.rows != r.expectedRows)
            m_report.AddNote("import", label + "the importer made " + std::to_string(r.rows) +
                                           " rows where the file holds " +
                                           std::to_string(r.expectedRows));
    }
    RunFstImport();
}

void CqzBenchSuite::RunFstImport()
{
    if (!CqzBenchFst::Available())
    {
        m_report.AddNote("import", "fst: skipped (vcd2fst and fst2vcd, package gtkwave, missing)");
        return;
    }
    std::cerr << "qzbench: import fst\n";
    const CqzBenchFst::SqzResult r = CqzBenchFst::Run(m_options.importBytes);
    m_report.Add("import", "fst_file_mib", "fst: file (from the vcd run's dump)",
                 r.fstBytes / MB, "MiB", 1);
    m_report.Add("import", "fst_rows", "fst: rows", static_cast<double>(r.rows));
    m_report.Add("import", "fst_load_s",
                 "fst: loading, fastest of " + std::to_string(CqzBenchImport::Loads), r.loadSeconds,
                 "s", 3);
    m_report.Add("import", "fst_load_cpu_s", "fst: loading, process CPU time (the reader's "
                 "child not counted)", r.loadCpuSeconds, "s", 3);
    m_report.Add("import", "fst_rows_per_s", "fst: rows per second",
                 PerSecond(static_cast<double>(r.rows), r.loadSeconds), "rows/s");
    m_report.Add("import", "fst_vcd_mib_per_s", "fst: MiB of the same dump as VCD per second",
                 PerSecond(r.vcdBytes / MB, r.loadSeconds), "MiB/s", 1);
    m_report.Add("import", "fst2vcd_s",
                 "fst: fst2vcd reading the same file into /dev/null, fastest of " +
                     std::to_string(CqzBenchImport::Loads),
                 r.fst2vcdSeconds, "s", 3);
    const double ratio = r.fst2vcdSeconds > 0 ? r.loadSeconds / r.fst2vcdSeconds : 0;
    m_report.Add("import", "fst_vs_fst2vcd", "fst: loading time / fst2vcd time", ratio, "x", 2);
    m_report.AddTarget("import_fst_speed", "fst: loading at most as long as fst2vcd",
                       r.fst2vcdSeconds > 0 && ratio <= 1.0);
    if (r.rows != r.expectedRows)
        m_report.AddNote("import", "fst: the importer made " + std::to_string(r.rows) +
                                       " rows where the dump holds " +
                                       std::to_string(r.expectedRows));
}

// Peak resident memory of the load against the data set it made: at most 1.2x the table
// plus 64 MiB.
void CqzBenchSuite::ReportImportMemory(const std::string& key, const std::string& label,
                                       const CqzBenchImport::SqzResult& r)
{
    if (r.peakBytes < 0 || r.tableBytes < 0)
    {
        m_report.AddNote("import", label + "the peak resident memory is not known here");
        return;
    }
    m_report.Add("import", key + "peak_mib", label + "peak resident memory added by the load",
                 r.peakBytes / MB, "MiB", 1);
    m_report.Add("import", key + "table_mib", label + "resident memory of the loaded data set",
                 r.tableBytes / MB, "MiB", 1);
    m_report.AddTarget("import_" + key + "peak_memory",
                       label + "peak memory within 1.2x the data set + 64 MiB",
                       r.peakBytes <= r.tableBytes * 1.2 + 64 * MB);
}

void CqzBenchSuite::RunMarkup()
{
    const int terms = m_options.quick ? 20'000 : 200'000;
    const int events = m_options.quick ? 8'000 : 32'000;
    const CqzBenchMarkup markup(m_plugIn);
    const auto report =
        [this](const std::string& key, const std::string& what, const CqzBenchMarkup::SqzResult& r)
    {
        const std::string k = key + "_", label = what + ": ";
        m_report.Add("markup", k + "mib", label + "markup written",
                     static_cast<double>(r.characters) / MB, "Mi chars", 1);
        m_report.Add("markup", k + "parse_s", label + "parsing the text", r.parseSeconds, "s", 3);
        m_report.Add("markup", k + "apply_s", label + "applying (DoCommands)", r.applySeconds, "s",
                     3);
        m_report.Add("markup", k + "build_s", label + "building the markup (GetSetup)",
                     r.buildSeconds, "s", 3);
        m_report.Add("markup", k + "reload_s", label + "parsing and applying it again",
                     r.reloadSeconds, "s", 3);
        m_report.AddTarget("markup_" + k + "round_trip", label + "read back, written the same",
                           r.exact);
    };
    std::cerr << "qzbench: markup, " << terms << " terms\n";
    const CqzBenchMarkup::SqzResult quarter = markup.RunTerms(terms / 4);
    report("terms_quarter", std::to_string(terms / 4) + " terms", quarter);
    const CqzBenchMarkup::SqzResult full = markup.RunTerms(terms);
    report("terms", std::to_string(terms) + " terms", full);
    m_report.AddTarget("markup_build_linear",
                       "markup: building " + std::to_string(terms) + " terms within 6x of " +
                           std::to_string(terms / 4),
                       full.buildSeconds <= 6 * quarter.buildSeconds);
    std::cerr << "qzbench: markup, a term of " << events << " events\n";
    report("events", "1 term, " + std::to_string(events) + " events", markup.RunEvents(events));
}
