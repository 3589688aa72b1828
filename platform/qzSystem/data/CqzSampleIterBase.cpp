#include "qzSystem/data/CqzSampleIterBase.h"

#include "qzSystem/data/CqzData.h"
#include "qzSystem/data/CqzSampleStore.h"

#include <algorithm>

namespace
{
const CqzValueStore& NoEntries()
{
    static const CqzValueStore none(8);
    return none;
}

const CqzStatusStore& NoStatuses()
{
    static const CqzStatusStore none;
    return none;
}

const CqzLineIndex& NoLines()
{
    static const CqzLineIndex none;
    return none;
}

const CqzStringStore& NoStrings()
{
    static const CqzStringStore none;
    return none;
}

std::int64_t TimeAt(const CqzValueStore& times, std::int64_t line)
{
    return static_cast<std::int64_t>(times.GetLow(line));
}

// The first line in [first, last) whose time is after t (last when there is none).
std::int64_t UpperBound(const CqzValueStore& times, std::int64_t first, std::int64_t last,
                        std::int64_t t)
{
    while (first < last)
    {
        const std::int64_t middle = first + (last - first) / 2;
        if (TimeAt(times, middle) <= t)
            first = middle + 1;
        else
            last = middle;
    }
    return first;
}

// The last line at or before t, seen from the current line.
std::int64_t SeekTime(const CqzValueStore& times, std::int64_t line, std::int64_t t)
{
    const std::int64_t count = times.GetCount();
    line = std::min(line, count - 1);
    if (line >= 0 && TimeAt(times, line) > t)
        return UpperBound(times, 0, line, t) - 1;
    // Forward: a few single steps cover reading sample after sample, then gallop.
    std::int64_t next = line + 1;
    for (int step = 0; step < 4; ++step, ++next)
        if (next >= count || TimeAt(times, next) > t)
            return next - 1;
    std::int64_t span = 8;
    while (next + span < count && TimeAt(times, next + span) <= t)
    {
        next += span + 1;
        span *= 2;
    }
    return UpperBound(times, next, std::min(next + span, count), t) - 1;
}
} // namespace

// Everything per sample is defined in this record's body, so that the loops over many
// iterators below inline it.
struct CqzSampleIterBase::SqzImp
{
    CqzLabelChannel channel;
    int base = 0;
    int value = 0;
    CqzDataTable* table = nullptr;
    // Keep the stores alive while the iterator reads them.
    std::shared_ptr<const CqzSampleStore> store;
    std::shared_ptr<const CqzSampleStore> timeStore;
    // Never null: numbers (none for a string column), text numbers (none for other columns),
    // the column's own entries, its texts and statuses, the table's times and lines.
    const CqzValueStore* values = &NoEntries();
    const CqzValueStore* textIDs = &NoEntries();
    const CqzValueStore* entries = &NoEntries();
    const CqzStringStore* strings = &NoStrings();
    const CqzStatusStore* statuses = &NoStatuses();
    const CqzValueStore* times = &NoEntries();
    const CqzLineIndex* lines = &NoLines();
    int bit = -1;
    std::int64_t line = -1;
    std::size_t statusCursor = 0;

    void Bind(CqzData& data);

    bool IsOnLine(const CqzValueStore& column) const
    {
        return static_cast<std::uint64_t>(line) < static_cast<std::uint64_t>(column.GetCount());
    }
    void SetIndex(std::int64_t row, int subrow) { line = lines->GetLine(row, subrow); }
    void SetPosition(const CqzPosition& position)
    {
        line = SeekTime(*times, line, position.GetTime());
    }
    bool Next()
    {
        const auto count = static_cast<std::uint64_t>(lines->GetLineCount());
        if (static_cast<std::uint64_t>(line) >= count)
            return false;
        ++line;
        return static_cast<std::uint64_t>(line) < count;
    }
    int Read(CqzUInt& out)
    {
        if (!IsOnLine(*values))
        {
            out = CqzUInt();
            return 3;
        }
        out = values->Get(line);
        if (bit >= 0)
            out = CqzUInt(out.GetBit(bit) ? 1u : 0u);
        return statuses->Get(line, statusCursor);
    }
    int Read(CString& out)
    {
        if (!IsOnLine(*textIDs))
        {
            out.Empty();
            return 3;
        }
        out = strings->Get(static_cast<std::uint32_t>(textIDs->GetLow(line)));
        return statuses->Get(line, statusCursor);
    }
};

void CqzSampleIterBase::SqzImp::Bind(CqzData& data)
{
    table = data.GetTableWithLabelID(channel.GetLabelID());
    if (!table)
        return;
    lines = &table->GetLineIndex();
    timeStore = table->GetTimeStore();
    if (timeStore)
        times = &timeStore->GetEntries();
    const CqzDataColumn* column = table->GetColumnWithLabelID(channel.GetLabelID());
    store = column->GetSharedSampleStore();
    bit = channel.GetChannel();
    if (!store || (bit >= 0 && store->GetKind() == eqzSampleString) ||
        bit >= store->GetEntries().GetWidth())
    {
        store.reset();
        return;
    }
    entries = &store->GetEntries();
    statuses = &store->GetStatuses();
    if (store->GetKind() == eqzSampleString)
    {
        textIDs = entries;
        strings = &store->GetStrings();
    }
    else
        values = entries;
}

CqzSampleIterBase::CqzSampleIterBase(CqzData& data, const CqzLabelChannel& channel, int base,
                                     int value)
    : m_imp(std::make_unique<SqzImp>())
{
    m_imp->channel = channel;
    m_imp->base = base;
    m_imp->value = value;
    m_imp->Bind(data);
}

CqzSampleIterBase::~CqzSampleIterBase() = default;

const CqzLabelChannel& CqzSampleIterBase::GetLabelChannel() const
{
    return m_imp->channel;
}
int CqzSampleIterBase::GetBase() const
{
    return m_imp->base;
}
int CqzSampleIterBase::GetValueArgument() const
{
    return m_imp->value;
}
CqzDataTable* CqzSampleIterBase::GetTable() const
{
    return m_imp->table;
}

void CqzSampleIterBase::SetIndex(std::int64_t row, int subrow)
{
    m_imp->SetIndex(row, subrow);
}

void CqzSampleIterBase::SetPosition(const CqzPosition& position)
{
    m_imp->SetPosition(position);
}

bool CqzSampleIterBase::Next()
{
    return m_imp->Next();
}

std::int64_t CqzSampleIterBase::GetLine() const
{
    return m_imp->line;
}

CqzPosition CqzSampleIterBase::GetPosition() const
{
    const SqzImp& s = *m_imp;
    return s.IsOnLine(*s.times) ? CqzPosition(TimeAt(*s.times, s.line)) : CqzPosition::Invalid();
}

int CqzSampleIterBase::GetValue(CqzUInt& value)
{
    return m_imp->Read(value);
}

int CqzSampleIterBase::GetValue(CString& text)
{
    return m_imp->Read(text);
}

int CqzSampleIterBase::GetStatus()
{
    SqzImp& s = *m_imp;
    return s.IsOnLine(*s.entries) ? s.statuses->Get(s.line, s.statusCursor) : 3;
}

const CqzValueStore& CqzSampleIterBase::GetNumberStore() const
{
    return *m_imp->values;
}
const CqzValueStore& CqzSampleIterBase::GetTextNumberStore() const
{
    return *m_imp->textIDs;
}
const CqzStringStore& CqzSampleIterBase::GetStringStore() const
{
    return *m_imp->strings;
}
const CqzStatusStore& CqzSampleIterBase::GetStatusStore() const
{
    return *m_imp->statuses;
}
int CqzSampleIterBase::GetBit() const
{
    return m_imp->bit;
}
bool CqzSampleIterBase::IsRowLine() const
{
    return m_imp->table != nullptr && !m_imp->lines->HasSubrows();
}

void CqzSampleIterBase::SetIndexAll(const std::vector<CqzSampleIterBase*>& iters, std::int64_t row,
                                    int subrow)
{
    for (CqzSampleIterBase* iter : iters)
        if (iter)
            iter->m_imp->SetIndex(row, subrow);
}

void CqzSampleIterBase::SetPositionAll(const std::vector<CqzSampleIterBase*>& iters,
                                       const CqzPosition& position)
{
    for (CqzSampleIterBase* iter : iters)
        if (iter)
            iter->m_imp->SetPosition(position);
}

void CqzSampleIterBase::NextAll(const std::vector<CqzSampleIterBase*>& iters)
{
    for (CqzSampleIterBase* iter : iters)
        if (iter)
            iter->m_imp->Next();
}

// Works on raw pointers: the writes into the output would otherwise make the compiler reload
// every vector's bounds on each step.
template <typename T>
void CqzSampleIterBase::ReadAll(const std::vector<CqzSampleIterBase*>& iters,
                                const std::vector<int>& readFrom, std::vector<T>& out,
                                std::vector<int>& statuses)
{
    const std::size_t count = iters.size();
    if (out.size() != count)
        out.resize(count);
    if (statuses.size() != count)
        statuses.resize(count);
    CqzSampleIterBase* const* iter = iters.data();
    const int* from = readFrom.data();
    T* value = out.data();
    int* status = statuses.data();
    for (std::size_t i = 0; i < count; ++i)
    {
        const auto source = static_cast<std::size_t>(from[i]);
        if (source != i)
        {
            value[i] = value[source];
            status[i] = status[source];
        }
        else if (iter[i] != nullptr)
            status[i] = iter[i]->m_imp->Read(value[i]);
        else
        {
            value[i] = T();
            status[i] = 3;
        }
    }
}

void CqzSampleIterBase::GetValueAll(const std::vector<CqzSampleIterBase*>& iters,
                                    const std::vector<int>& readFrom, std::vector<CqzUInt>& values,
                                    std::vector<int>& statuses)
{
    ReadAll(iters, readFrom, values, statuses);
}

void CqzSampleIterBase::GetValueAll(const std::vector<CqzSampleIterBase*>& iters,
                                    const std::vector<int>& readFrom, std::vector<CString>& texts,
                                    std::vector<int>& statuses)
{
    ReadAll(iters, readFrom, texts, statuses);
}
