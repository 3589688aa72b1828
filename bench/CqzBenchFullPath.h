#pragma once
// The filter tool's full path as a host drives it: a tool made through the plug-in's Create,
// the setup sent as markup through its command interface, the data set handed over, the run
// message sent, and then every row's record read through the output column's data source, as
// a display scrolling the whole capture reads it (each 512-row page is evaluated when first
// read). Times and memory are taken along the way.

#include <cstdint>
#include <memory>
#include <vector>

class CqzBenchPlugIn;
class CqzID;
class CqzPlugInInterface;
class CqzBenchWorkload;

class CqzBenchFullPath
{
public:
    struct SqzResult
    {
        std::int64_t rowsRead = 0;
        // Read a page at a time: the sum of the records read (modulo 2^64).
        std::uint64_t checksum = 0;
        // From the run message: until it returned, until the first record was read, until the
        // last one was.
        double runSeconds = 0;
        double firstPageSeconds = 0;
        double totalSeconds = 0;
        // Process CPU time until the last record was read.
        double totalCpuSeconds = 0;
        std::int64_t pageBytes = 0;
        std::int64_t pagesAfterFirst = 0;
        std::int64_t pagesAfterAll = 0;
        // VmRSS before the run message, after the first page and after the last.
        std::int64_t rssBefore = 0;
        std::int64_t rssAfterFirst = 0;
        std::int64_t rssAfterAll = 0;
    };

    CqzBenchFullPath(const CqzBenchPlugIn& plugIn, CqzBenchWorkload& workload);

    // One run with a new tool. records, when given, receives every row's raw record; it is
    // sized before the clock starts. By default the records are read one at a time (GetValue,
    // Next); with byPage a page at a time (GetValues) into a buffer of one page, as a display
    // drawing a screenful of rows reads them, and copied to `records` after the clock stops. Throws std::runtime_error when the tool refuses the setup or gives no output
    // column.
    SqzResult Run(std::vector<std::uint64_t>* records, bool byPage = false) const;
    // Count all, as the host's view does it: a new tool, the run message, then one record read
    // from every page (which makes the tool produce it and count its rows per term), and the
    // term counts read back. Returns the seconds; `counted` receives the rows the counts cover.
    double RunCountAll(std::int64_t& counted) const;
    // The shortest time, over `repeats` run messages to one tool, from the run message to the
    // first record read. Later runs of the same tool no longer pay one-time costs (symbol
    // binding, the first faults of freshly trimmed heap) that are the same at every N.
    double BestFirstPageSeconds(int repeats) const;
    // A tool run and its every record read a page at a time, then run again: the time from
    // that run message to its first record read (the first run's output and hidden rows are
    // released on the way, as when a person changes the filter after scrolling to the end).
    double FirstPageAfterFullReadSeconds() const;

private:
    // A new tool through Create, with the workload's setup and data.
    std::unique_ptr<CqzPlugInInterface> MakeTool(const CqzID& instance) const;
    void Destroy(std::unique_ptr<CqzPlugInInterface> tool, const CqzID& instance) const;
    // The seconds from a run message to the tool to the first record read.
    double RunToFirstRecordSeconds(CqzPlugInInterface& tool) const;

    const CqzBenchPlugIn& m_plugIn;
    CqzBenchWorkload& m_workload;
};
