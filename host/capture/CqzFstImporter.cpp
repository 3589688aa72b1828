#include "capture/CqzFstImporter.h"

#include "capture/CqzCaptureError.h"
#include "capture/CqzCaptureMemory.h"
#include "capture/CqzCaptureNumber.h"
#include "capture/CqzCaptureTable.h"
#include "capture/CqzCaptureText.h"
#include "capture/CqzCaptureVars.h"
#include "capture/CqzCaptureWorkers.h"
#include "capture/CqzFstLayout.h"
#include "capture/CqzFstReaderProcess.h"

#include <fstapi.h>

#include <algorithm>
#include <future>
#include <limits>
#include <memory>
#include <new>
#include <vector>

struct CqzFstImporter::SqzImp
{
    SqzCaptureOptions options;
};

namespace
{
using Record = CqzFstReaderProcess::SqzRecord;
using Var = CqzCaptureVars::SqzVar;

const CqzUInt kNone;

// Timescales as powers of ten of a second: 100 s down to 1 fs.
constexpr int kCoarsest = 2;
constexpr int kFinest = -15;

CqzCaptureVars::EqzKind KindOf(std::uint32_t type)
{
    if (CqzFstReaderProcess::IsTextType(type))
        return CqzCaptureVars::eText;
    return type == FST_VT_VCD_INTEGER ? CqzCaptureVars::eInteger : CqzCaptureVars::eBits;
}

// The binary digits of a value without leading zeros, for messages.
std::string DigitsOf(const CqzUInt& value)
{
    std::string digits;
    for (int bit = std::max(CqzCaptureNumber::BitLength(value), 1) - 1; bit >= 0; --bit)
        digits += (bit >= 64 ? value.GetHigh() >> (bit - 64) : value.GetLow() >> bit) & 1 ? '1' : '0';
    return digits;
}

// "data[3]" for "data [3]"; names without a select as they are.
std::string NameOf(std::string_view name)
{
    const std::size_t space = name.rfind(' ');
    if (space == std::string_view::npos || space + 1 >= name.size() || name[space + 1] != '[')
        return std::string(name);
    return CqzCaptureVars::SelectName(name.substr(0, space), name.substr(space + 1));
}

// The digits of a bit value, the logic levels beyond 0 1 x z read as their nearest.
std::string_view Digits(std::string_view text, std::string& scratch)
{
    if (text.find_first_not_of("01xzXZ") == std::string_view::npos)
        return text;
    scratch.assign(text);
    for (char& c : scratch)
        c = c == 'h' || c == 'H'                                          ? '1'
            : c == 'l' || c == 'L'                                        ? '0'
            : c == 'u' || c == 'U' || c == 'w' || c == 'W' || c == '-' ? 'x'
                                                                          : c;
    return scratch;
}

// One import of one file.
class FstReader
{
public:
    FstReader(const std::string& path, const SqzCaptureOptions& options)
        : m_layout(path), m_file(path), m_options(options), m_out(options, path),
          m_reader(path, path, CqzCaptureMemory::Limit(options))
    {
    }

    std::unique_ptr<CqzData> Run()
    {
        ReadDeclarations();
        PrefaultPromisedRows();
        ReadChanges();
        EndPrefault();
        if (m_options.progress)
            m_options.progress(m_layout.GetSize(), m_layout.GetSize());
        return m_out.Release();
    }

private:
    [[noreturn]] void Fail(const std::string& what) const
    {
        throw CqzCaptureError(m_file, 0, what);
    }

    void ReadDeclarations()
    {
        Record r;
        for (m_reader.Next(r); r.kind != CqzFstReaderProcess::eDeclared; m_reader.Next(r))
        {
            if (r.kind == CqzFstReaderProcess::eScope)
                m_vars.OpenScope(std::string(r.text));
            else if (r.kind == CqzFstReaderProcess::eUpscope && !m_vars.CloseScope())
                Fail("an upscope without an open scope");
            else if (r.kind == CqzFstReaderProcess::eVar)
                AddVar(r);
            else if (r.kind != CqzFstReaderProcess::eUpscope)
                Fail("value changes before the end of the declarations");
        }
        SetTimescale(r.timescale);
        m_endTime = r.time;
        m_vars.MakeColumns(m_out, m_file, 0);
    }

    void AddVar(const Record& r)
    {
        Var var;
        var.name = NameOf(r.text);
        var.kind = KindOf(r.type);
        if (r.width > static_cast<std::uint32_t>(std::numeric_limits<int>::max()) ||
            (var.kind != CqzCaptureVars::eText && r.width == 0))
            Fail("$var " + CqzCaptureText::Printable(var.name) + " is " +
                 std::to_string(r.width) + " bits wide");
        var.width = static_cast<int>(r.width);
        const int index = m_vars.Add(std::move(var));
        if (r.handle == 0 || r.handle > m_vars.GetCount())
            Fail("variable " + CqzCaptureText::Printable(m_vars.Get(index).name) +
                 " has value handle " + std::to_string(r.handle) + ", beyond the variables");
        if (m_varsOfHandle.size() <= r.handle)
            m_varsOfHandle.resize(r.handle + 1);
        m_varsOfHandle[r.handle].push_back(index);
    }

    void SetTimescale(int exponent)
    {
        if (exponent > kCoarsest || exponent < kFinest)
            Fail("timescale 1e" + std::to_string(exponent) + " s is not between 100 s and 1 fs");
        m_timeDivisor = exponent < -12 ? 1000 : 1;
        for (int e = exponent + (exponent < -12 ? 15 : 12); e > 0; --e)
            m_timeFactor *= 10;
    }

    // The changes, with the times of the time tables at which nothing changes between them.
    void ReadChanges()
    {
        Record r;
        for (m_reader.Next(r); r.kind != CqzFstReaderProcess::eEnd; m_reader.Next(r))
        {
            if (r.kind == CqzFstReaderProcess::eTime)
            {
                TimesBefore(r.time);
                SetTime(r.time);
            }
            else if (r.kind == CqzFstReaderProcess::eBits)
                ChangeBits(r);
            else if (r.kind == CqzFstReaderProcess::eChange)
                Change(r);
            else
                Fail("declarations among the value changes");
        }
        TimesBefore(std::numeric_limits<std::uint64_t>::max());
        if (!m_rows || m_endTime > m_lastTicks)
            SetTime(m_endTime); // the dump's end, as its last timestamp
    }

    // Rows for the times of the time tables before `ticks`, a block's table at a time.
    void TimesBefore(std::uint64_t ticks)
    {
        const auto& blocks = m_layout.GetBlocks();
        while (true)
        {
            if (m_timeIndex == m_times.size())
            {
                if (m_block == blocks.size())
                    return;
                if (m_options.progress && m_block > 0)
                    m_options.progress(blocks[m_block - 1].endOffset, m_layout.GetSize());
                m_times = m_layout.ReadTimes(blocks[m_block++]);
                m_timeIndex = 0;
                continue;
            }
            if (m_times[m_timeIndex] >= ticks)
                return;
            SetTime(m_times[m_timeIndex++]);
        }
    }

    void SetTime(std::uint64_t ticks)
    {
        const unsigned __int128 scaled = static_cast<unsigned __int128>(ticks) * m_timeFactor;
        if (m_timeDivisor != 1 && scaled % m_timeDivisor != 0)
            Fail("time " + std::to_string(ticks) + " is " +
                 std::to_string(static_cast<std::uint64_t>(scaled)) +
                 " fs, not a whole number of picoseconds (times are kept in picoseconds)");
        const unsigned __int128 ps = m_timeDivisor == 1 ? scaled : scaled / m_timeDivisor;
        if (ps > static_cast<unsigned __int128>(std::numeric_limits<std::int64_t>::max()))
            Fail("time " + std::to_string(ticks) + " is beyond the time range");
        const auto time = static_cast<std::int64_t>(ps);
        if (m_rows && time < m_lastTime)
            Fail("time " + std::to_string(ticks) + " goes back in time");
        if (!m_rows || time != m_lastTime)
            AppendRow(time);
        m_rows = true;
        m_lastTime = time;
        m_lastTicks = ticks;
    }

    void AppendRow(std::int64_t time)
    {
        if (m_lastRow + 1 >= m_promisedRows)
            EndPrefault();
        m_lastRow = m_out.AppendRow(time);
    }

    // The rows the time tables promise (a row a time, and the dump's end) are made present on
    // a worker while the changes are read, so that the zeroing of the table's fresh pages does
    // not hold up the reading. None where the promise is beyond the memory limit or the system
    // refuses the room (the import then finds out as the rows come); a damaged file that
    // brings more rows ends the job before the table grows past the promise.
    void PrefaultPromisedRows()
    {
        if (CqzCaptureWorkers::Count() == 0)
            return;
        std::int64_t rows = 1;
        for (const CqzFstLayout::SqzBlock& block : m_layout.GetBlocks())
        {
            if (block.timeCount > static_cast<std::uint64_t>(kMostPromisedRows - rows))
                return;
            rows += static_cast<std::int64_t>(block.timeCount);
        }
        try
        {
            m_out.CheckMemory(rows);
            m_out.GetTable().Reserve(rows);
        }
        catch (const std::bad_alloc&)
        {
            return;
        }
        m_promisedRows = rows;
        m_prefaulter = std::make_unique<CqzCaptureWorkers>(1);
        m_prefault = m_prefaulter->Run(m_out.GetTable().PrefaultJob(0, rows));
    }

    void EndPrefault()
    {
        if (m_prefault.valid())
            m_prefault.get();
        m_promisedRows = std::numeric_limits<std::int64_t>::max();
    }

    // The variables a change writes.
    const std::vector<int>& VarsOf(const Record& r) const
    {
        if (r.handle >= m_varsOfHandle.size() || m_varsOfHandle[r.handle].empty())
            Fail("a value change of the unknown handle " + std::to_string(r.handle));
        if (!m_rows)
            Fail("a value change before the first time");
        return m_varsOfHandle[r.handle];
    }

    // A value of 0 and 1 digits the reader sent as a number (its handle's variables hold bits).
    void ChangeBits(const Record& r)
    {
        const CqzUInt value(r.high, r.low);
        const int length = CqzCaptureNumber::BitLength(value);
        for (int index : VarsOf(r))
        {
            const Var& v = m_vars.Get(index);
            if (v.column < 0)
                continue;
            if (v.kind == CqzCaptureVars::eText || length > v.width)
                Fail("value " + CqzCaptureText::Quote(DigitsOf(value)) + " is not a " +
                     std::to_string(v.width) + "-bit binary value for " +
                     CqzCaptureText::Printable(v.name));
            m_out.SetBits(v.column, m_lastRow, value, kNone, kNone);
        }
    }

    void Change(const Record& r)
    {
        for (int index : VarsOf(r))
        {
            const Var& v = m_vars.Get(index);
            if (v.column < 0)
                continue;
            if (v.kind == CqzCaptureVars::eText)
            {
                m_out.GetTable().SetText(v.column, CqzCaptureText::Value(r.text));
                continue;
            }
            CqzUInt value, unknown, floating;
            if (!CqzCaptureNumber::ParseBits(Digits(r.text, m_scratch), 1, v.width, true, value,
                                             unknown, floating))
                Fail("value " + CqzCaptureText::Quote(r.text) + " is not a " +
                     std::to_string(v.width) + "-bit binary value for " +
                     CqzCaptureText::Printable(v.name));
            m_out.SetBits(v.column, m_lastRow, value, unknown, floating);
        }
    }

    CqzFstLayout m_layout;
    std::string m_file;
    SqzCaptureOptions m_options;
    CqzCaptureTable m_out;
    CqzFstReaderProcess m_reader;
    CqzCaptureVars m_vars;
    std::vector<std::vector<int>> m_varsOfHandle;
    std::uint64_t m_timeFactor = 1;
    std::uint64_t m_timeDivisor = 1;
    std::uint64_t m_endTime = 0;
    std::uint64_t m_lastTicks = 0;
    bool m_rows = false;
    std::int64_t m_lastTime = 0;
    std::int64_t m_lastRow = -1;
    std::size_t m_block = 0; // the next block whose times are read
    std::vector<std::uint64_t> m_times;
    std::size_t m_timeIndex = 0;
    std::string m_scratch;
    // The prefaulting job; after the table, so that it ends before the table goes.
    static constexpr std::int64_t kMostPromisedRows = std::int64_t{1} << 40;
    std::int64_t m_promisedRows = std::numeric_limits<std::int64_t>::max();
    std::unique_ptr<CqzCaptureWorkers> m_prefaulter;
    std::future<void> m_prefault;
};
} // namespace

CqzFstImporter::CqzFstImporter(const SqzCaptureOptions& options)
    : m_imp(std::make_unique<SqzImp>())
{
    m_imp->options = options;
}

CqzFstImporter::~CqzFstImporter() = default;

std::unique_ptr<CqzData> CqzFstImporter::ImportFile(const std::string& path) const
{
    return FstReader(path, m_imp->options).Run();
}
