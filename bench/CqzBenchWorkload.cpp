#include "CqzBenchWorkload.h"

#include "CqzBenchStopwatch.h"

#include "qzSystem/data/CqzDataColumn.h"
#include "qzSystem/managers/CqzLabelMgr.h"

#include <algorithm>
#include <stdexcept>

namespace
{
constexpr std::int64_t ChunkRows = 1 << 16;
constexpr std::int64_t RowPicoseconds = 1000;

std::uint64_t Mix(std::uint64_t x)
{
    x += 0x9e3779b97f4a7c15ull;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    return x ^ (x >> 31);
}

// The values of one row. ADDR: 30 % in 0x1000..0x1fff, 40 % elsewhere below 0x8000, 30 % at or
// above 0x8000. STAT: half in 0x30..0x3f. DATA: a fifth 0xdead. MSG: any text of the pool.
struct SqzRowValues
{
    std::uint64_t addr, data, stat, msg;

    SqzRowValues(std::uint64_t seed, std::int64_t row)
    {
        const std::uint64_t a = Mix(seed ^ Mix(static_cast<std::uint64_t>(row)));
        const std::uint64_t b = Mix(a);
        const std::uint64_t pick = a % 10;
        if (pick < 3)
            addr = 0x1000 + (b & 0xfff);
        else if (pick < 7)
            addr = (b >> 12) % 0x8000;
        else
            addr = 0x8000 + (b >> 12) % (0x100000000ull - 0x8000);
        stat = ((a >> 8) & 1) != 0 ? 0x30 | ((a >> 9) & 0xf) : (a >> 16) & 0xff;
        data = (a >> 24) % 5 == 0 ? 0xdead : (b >> 48) & 0xffff;
        msg = (b >> 8) % CqzBenchWorkload::GetTexts().size();
    }
};

const wchar_t* FilterHead = L"<Filter Enabled='T'>"
                            L"<FilterExpression Name='Idle bus'><Search Enabled='T'>"
                            L"<Event Label='ADDR' Op='InRange' Low='h1000' High='h1fff'/>"
                            L"<Conj Type='AND'/>"
                            L"<Event Label='STAT' Op='Equal' Value='h30' DontCare='h0f'/>"
                            L"</Search><FilterAction Type='Hide'/></FilterExpression>";
const wchar_t* MsgTerm = L"<FilterExpression Name='Errors'><Search Enabled='T'>"
                         L"<Event Label='MSG' Op='Contains' Text='err'/>"
                         L"</Search><FilterAction Type='Color' Color='h0080ff'/>"
                         L"</FilterExpression>";
const wchar_t* FilterTail = L"<FilterExpression Name='Dead data'><Search Enabled='T'>"
                            L"<Event Label='DATA' Op='Equal' Value='hdead'/>"
                            L"</Search><FilterAction Type='Color' Color='h0000ff'/>"
                            L"</FilterExpression>"
                            L"<FilterExpression Name='Low memory'><Search Enabled='T'>"
                            L"<Event Label='ADDR' Op='Less' Value='h8000'/>"
                            L"</Search><FilterAction Type='Show'/></FilterExpression></Filter>";
} // namespace

struct CqzBenchWorkload::SqzImp
{
    std::int64_t rows = 0;
    bool withText = false;
    std::uint64_t seed = 0;
    double buildSeconds = 0;
    CqzData data;
    CqzDataTable* table = nullptr;
    int columns[4] = {-1, -1, -1, -1};
    std::vector<CqzID> labels;

    void AddColumns();
    void Fill();
    void FillChunk(std::int64_t first, std::int64_t count, std::vector<std::uint64_t> (&values)[3],
                   std::vector<std::int64_t>& times);
    void AddColumn(EColumn which, EqzLabelType type, const wchar_t* name, int width)
    {
        const CqzID id;
        columns[which] = table->AddLabelColumn(type, name, width, id);
        if (columns[which] < 0)
            throw std::runtime_error("the benchmark table refused a label column");
        labels.push_back(id);
    }
};

CqzBenchWorkload::CqzBenchWorkload(std::int64_t rows, bool withText, std::uint64_t seed)
    : m_imp(std::make_unique<SqzImp>())
{
    if (rows < 1)
        throw std::invalid_argument("a workload needs at least one row");
    m_imp->rows = rows;
    m_imp->withText = withText;
    m_imp->seed = seed;
    const CqzBenchStopwatch clock;
    m_imp->table = m_imp->data.AddTable();
    m_imp->AddColumns();
    m_imp->Fill();
    m_imp->buildSeconds = clock.WallSeconds();
}

CqzBenchWorkload::~CqzBenchWorkload()
{
    for (const CqzID& id : m_imp->labels)
        CqzLabelMgr::Instance().RemoveLabel(id);
}

void CqzBenchWorkload::SqzImp::AddColumns()
{
    const CqzID timeID;
    if (table->AddLabelColumn(eqzLabelTime, L"Time", 0, timeID) < 0)
        throw std::runtime_error("the benchmark table refused its time column");
    labels.push_back(timeID);
    AddColumn(eAddr, eqzLabelIntegral, L"ADDR", 32);
    AddColumn(eData, eqzLabelDigital, L"DATA", 16);
    AddColumn(eStat, eqzLabelDigital, L"STAT", 8);
    if (withText)
        AddColumn(eMsg, eqzLabelString, L"MSG", 0);
}

// Rows are appended at once, then every column is written in chunks with the bulk writers.
void CqzBenchWorkload::SqzImp::Fill()
{
    table->Reserve(rows);
    if (table->AppendRows(rows) != 0)
        throw std::runtime_error("the benchmark table refused its rows");
    std::vector<std::uint64_t> values[3];
    std::vector<std::int64_t> times;
    // Last chunk first: the table refuses times that a later line's time (still 0) would undercut.
    for (std::int64_t first = (rows - 1) / ChunkRows * ChunkRows; first >= 0; first -= ChunkRows)
        FillChunk(first, std::min(ChunkRows, rows - first), values, times);
}

void CqzBenchWorkload::SqzImp::FillChunk(std::int64_t first, std::int64_t count,
                                         std::vector<std::uint64_t> (&values)[3],
                                         std::vector<std::int64_t>& times)
{
    for (auto& v : values)
        v.resize(static_cast<std::size_t>(count));
    times.resize(static_cast<std::size_t>(count));
    const auto& texts = GetTexts();
    for (std::int64_t i = 0; i < count; ++i)
    {
        const SqzRowValues row(seed, first + i);
        const auto at = static_cast<std::size_t>(i);
        values[eAddr][at] = row.addr;
        values[eData][at] = row.data;
        values[eStat][at] = row.stat;
        times[at] = (first + i) * RowPicoseconds;
        if (withText)
        {
            const wchar_t* text = texts[row.msg];
            table->SetTextAt(columns[eMsg], first + i, text, std::wcslen(text));
        }
    }
    bool ok = table->SetTimes(first, times.data(), count);
    for (int c = eAddr; c <= eStat; ++c)
        ok = table->SetValues(columns[c], first, values[c].data(), count) && ok;
    if (!ok)
        throw std::runtime_error("the benchmark table refused its values");
}

CqzData& CqzBenchWorkload::GetData() const
{
    return m_imp->data;
}

std::int64_t CqzBenchWorkload::GetRowCount() const
{
    return m_imp->rows;
}

bool CqzBenchWorkload::HasText() const
{
    return m_imp->withText;
}

const CqzSampleStore& CqzBenchWorkload::GetStore(EColumn column) const
{
    const int index = m_imp->columns[column];
    const CqzSampleStore* store =
        index < 0 ? nullptr : m_imp->table->GetColumnAt(index)->GetSampleStore();
    if (store == nullptr)
        throw std::logic_error("the workload has no such column");
    return *store;
}

CString CqzBenchWorkload::GetSetupMarkup() const
{
    CString text = FilterHead;
    if (m_imp->withText)
        text += MsgTerm;
    text += FilterTail;
    return text;
}

double CqzBenchWorkload::GetBuildSeconds() const
{
    return m_imp->buildSeconds;
}

const std::vector<const wchar_t*>& CqzBenchWorkload::GetTexts()
{
    static const std::vector<const wchar_t*> texts = {
        L"idle", L"read ok",      L"write ok", L"ERR: bus timeout",
        L"ack",  L"parity error", L"retry",    L"Overrun - retry later"};
    return texts;
}
