#pragma once
// A generated capture for the benchmarks: one table with a time column, ADDR (32-bit
// integral), DATA (16-bit digital bus), STAT (8-bit digital) and, for the second workload, MSG
// (texts from a small pool). Values are pseudo-random but fixed by the row number and seed, and
// spread so that every term of the benchmark's filter matches a fair share of rows. The
// workload owns its data set and takes its labels out of CqzLabelMgr again when destroyed, so
// that workloads made one after the other in a process resolve their own label names.

#include "mfc/CString.h"
#include "qzSystem/data/CqzData.h"
#include "qzSystem/data/CqzSampleStore.h"

#include <cstdint>
#include <memory>
#include <vector>

class CqzBenchWorkload
{
public:
    enum EColumn
    {
        eAddr,
        eData,
        eStat,
        eMsg
    };
    // Colours of the Color terms (0x00BBGGRR).
    static constexpr std::uint32_t DataColor = 0x0000ff; // red
    static constexpr std::uint32_t MsgColor = 0x0080ff;  // orange

    // withText adds MSG and its Color term (second of four terms).
    CqzBenchWorkload(std::int64_t rows, bool withText, std::uint64_t seed = 1);
    ~CqzBenchWorkload();
    CqzBenchWorkload(const CqzBenchWorkload&) = delete;
    CqzBenchWorkload& operator=(const CqzBenchWorkload&) = delete;

    CqzData& GetData() const;
    std::int64_t GetRowCount() const;
    bool HasText() const;
    // The store of a label column (MSG only with text).
    const CqzSampleStore& GetStore(EColumn column) const;
    // The filter setup as markup for the tool's command interface.
    CString GetSetupMarkup() const;
    // Seconds spent filling the table.
    double GetBuildSeconds() const;

    // The texts MSG is drawn from.
    static const std::vector<const wchar_t*>& GetTexts();

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
