#include "qzSystem/data/CqzDataTable.h"

#include "qzSystem/data/CqzSampleDataSource.h"
#include "qzSystem/data/CqzUnknownDigitStore.h"
#include "qzSystem/managers/CqzLabelMgr.h"

#include <algorithm>
#include <limits>
#include <unordered_map>
#include <vector>

struct CqzDataTable::SqzImp
{
    CqzID id;
    std::vector<std::unique_ptr<CqzDataColumn>> columns;
    std::unordered_map<CqzID, int> columnOfID;
    std::vector<std::pair<int, CqzID>> roles;
    // The stores the table appends lines to: label columns only, null for the others.
    std::vector<std::shared_ptr<CqzSampleStore>> lineStores;
    // The time column's store (role 1) when it is a time column.
    CqzSampleStore* times = nullptr;
    CqzLineIndex lines;
    // With subrows: the subrow count per row (role 17).
    std::shared_ptr<CqzSampleStore> subrowCounts;
    // Per column, the digits of its unknown values; empty until a column has some.
    std::vector<std::unique_ptr<CqzUnknownDigitStore>> digits;

    CqzUnknownDigitStore* Digits(int column) const
    {
        return column >= 0 && column < static_cast<int>(digits.size()) ? digits[column].get()
                                                                       : nullptr;
    }
    // A known value written at `line` ends the unknown digits held before it.
    void CloseDigits(int column, std::int64_t line)
    {
        if (CqzUnknownDigitStore* store = Digits(column); store && store->IsOpen())
            store->Set(line, CqzUInt(), CqzUInt());
    }

    CqzSampleStore* Store(int column) const
    {
        return column >= 0 && column < static_cast<int>(lineStores.size())
                   ? lineStores[column].get()
                   : nullptr;
    }
    std::int64_t LastLine() const { return lines.GetLineCount() - 1; }
    // A time that may follow the last line.
    bool CanAppend(std::int64_t time) const
    {
        return !times || LastLine() < 0 || time >= times->GetTime(LastLine());
    }
    // Each store's new lines hold the last line, or its first held[column] of them (the time
    // store none) when `held` is given.
    void AppendToStores(std::int64_t count, const std::int64_t* held = nullptr)
    {
        for (std::size_t column = 0; column < lineStores.size(); ++column)
            if (CqzSampleStore* store = lineStores[column].get(); store && held)
                store->AppendToWrite(count, store == times ? 0 : held[column]);
            else if (store)
                store->Append(count);
    }
    // The growth hook and the rows still to append before its next call.
    std::function<void()> growthHook;
    std::int64_t growthEvery = 0;
    std::int64_t growthCountdown = 0;

    void AppendRows(std::int64_t count, const std::int64_t* held = nullptr)
    {
        if (growthHook && (growthCountdown -= count) < 0)
        {
            growthCountdown = growthEvery;
            growthHook();
        }
        AppendToStores(count, held);
        if (subrowCounts)
            subrowCounts->Append(count, false);
        lines.AppendRows(count);
    }
};

namespace
{
// Storage kind and width of a label column; false for what cannot be stored.
bool StorageFor(EqzLabelType type, int& width, EqzSampleKind& kind)
{
    kind = eqzSampleValue;
    switch (type)
    {
    case eqzLabelString:
        kind = eqzSampleString;
        width = 0;
        return true;
    case eqzLabelTime:
        kind = eqzSampleTime;
        width = 64;
        return true;
    case eqzLabelSampleNumber:
        width = 64;
        return true;
    case eqzLabelIntegral:
        return CqzDataColumnComponent::WidthAttribute(width) >= 0;
    case eqzLabelDigital:
        return width >= 1 && width <= 128;
    default:
        return false;
    }
}
} // namespace

CqzDataTable::CqzDataTable(const CqzID& tableID) : m_imp(std::make_unique<SqzImp>())
{
    m_imp->id = tableID;
}

CqzDataTable::~CqzDataTable() = default;

const CqzID& CqzDataTable::GetID() const
{
    return m_imp->id;
}

std::int64_t CqzDataTable::GetRowCount() const
{
    return m_imp->lines.GetRowCount();
}

bool CqzDataTable::IsTableEmpty() const
{
    return m_imp->lines.GetRowCount() == 0;
}

std::int64_t CqzDataTable::GetLineCount() const
{
    return m_imp->lines.GetLineCount();
}

bool CqzDataTable::HasSubrows() const
{
    return m_imp->lines.HasSubrows();
}

const CqzLineIndex& CqzDataTable::GetLineIndex() const
{
    return m_imp->lines;
}

int CqzDataTable::GetSubrowCount(std::int64_t row) const
{
    return m_imp->lines.GetSubrowCount(row);
}

std::int64_t CqzDataTable::GetLine(std::int64_t row, int subrow) const
{
    return m_imp->lines.GetLine(row, subrow);
}

std::int64_t CqzDataTable::GetRowOfLine(std::int64_t line) const
{
    return m_imp->lines.GetRowOfLine(line);
}

int CqzDataTable::GetColumnCount() const
{
    return static_cast<int>(m_imp->columns.size());
}

CqzDataColumn* CqzDataTable::GetColumnAt(int index) const
{
    return index >= 0 && index < GetColumnCount() ? m_imp->columns[index].get() : nullptr;
}

CqzDataColumn* CqzDataTable::GetColumn(int role) const
{
    CqzID id;
    return GetAttributeID(role, id) ? GetColumnWithLabelID(id) : nullptr;
}

CqzDataColumn* CqzDataTable::GetColumnWithLabelID(const CqzID& id) const
{
    return GetColumnAt(FindColumn(id));
}

int CqzDataTable::FindColumn(const CqzID& id) const
{
    auto it = m_imp->columnOfID.find(id);
    return it == m_imp->columnOfID.end() ? -1 : it->second;
}

CqzDataColumn* CqzDataTable::AddColumn(const CqzID& id)
{
    if (CqzDataColumn* existing = GetColumnWithLabelID(id))
        return existing;
    const int index = GetColumnCount();
    m_imp->columns.push_back(std::make_unique<CqzDataColumn>(id, index));
    m_imp->lineStores.push_back(nullptr);
    m_imp->columnOfID.emplace(id, index);
    return m_imp->columns.back().get();
}

bool CqzDataTable::SetAttributeID(int role, const CqzID& id)
{
    const CqzDataColumn* column = GetColumnWithLabelID(id);
    if (!column)
        return false;
    auto it = std::find_if(m_imp->roles.begin(), m_imp->roles.end(),
                           [role](const auto& r) { return r.first == role; });
    if (it == m_imp->roles.end())
        m_imp->roles.emplace_back(role, id);
    else
        it->second = id;
    if (role == eqzRoleTime)
    {
        CqzSampleStore* store = m_imp->Store(column->GetIndex());
        m_imp->times = store && store->GetKind() == eqzSampleTime ? store : nullptr;
    }
    return true;
}

void CqzDataTable::ClearAttributeID(int role)
{
    if (role == eqzRoleTime)
        return;
    m_imp->roles.erase(std::remove_if(m_imp->roles.begin(), m_imp->roles.end(),
                                      [role](const auto& r) { return r.first == role; }),
                       m_imp->roles.end());
}

bool CqzDataTable::GetAttributeID(int role, CqzID& id) const
{
    for (const auto& r : m_imp->roles)
        if (r.first == role)
        {
            id = r.second;
            return true;
        }
    return false;
}

int CqzDataTable::AddLabelColumn(EqzLabelType type, const CString& name, int width,
                                 const CqzID& labelID, const CqzID& sourceID,
                                 const CString& description)
{
    EqzSampleKind kind;
    if (!StorageFor(type, width, kind) || FindColumn(labelID) >= 0)
        return -1;
    CqzLabelMgr::Instance().AddLabel(
        CqzLabel(labelID, name, CqzBitSet{type}, width, sourceID, description));

    auto store = std::make_shared<CqzSampleStore>(kind, width);
    store->Append(GetLineCount(), false);
    store->FillStatus(GetLineCount() > 0 ? 3 : 0);
    CqzDataColumn* column = AddColumn(labelID);
    if (type == eqzLabelIntegral || type == eqzLabelSampleNumber)
        column->SetAttributes(CqzBitSet{CqzDataColumnComponent::WidthAttribute(width)});
    column->SetDataSource(std::make_unique<CqzSampleDataSource>(store));
    m_imp->lineStores[column->GetIndex()] = store;

    CqzID unused;
    const int role = type == eqzLabelTime ? eqzRoleTime : eqzRoleData;
    if (!GetAttributeID(role, unused))
        SetAttributeID(role, labelID);
    return column->GetIndex();
}

void CqzDataTable::Reserve(std::int64_t rows, std::int64_t subrowLines)
{
    for (auto& store : m_imp->lineStores)
        if (store)
            store->Reserve(rows + subrowLines);
    if (m_imp->subrowCounts)
        m_imp->subrowCounts->Reserve(rows);
    m_imp->lines.Reserve(rows);
}

std::function<void()> CqzDataTable::PrefaultJob(std::int64_t firstLine, std::int64_t count) const
{
    std::vector<std::pair<std::uint8_t*, std::size_t>> spans;
    for (const auto& store : m_imp->lineStores)
        if (store)
            if (const auto span = store->GetEntries().GetCapacityBytes(firstLine, count);
                span.second > 0)
                spans.push_back(span);
    return [spans = std::move(spans)]
    {
        for (const auto& [bytes, size] : spans)
            CqzValueStore::Prefault(bytes, size);
    };
}

void CqzDataTable::SetGrowthHook(std::function<void()> hook, std::int64_t everyRows)
{
    m_imp->growthHook = std::move(hook);
    m_imp->growthEvery = everyRows;
    m_imp->growthCountdown = 0;
}

std::int64_t CqzDataTable::AppendRow()
{
    return AppendRows(1);
}

std::int64_t CqzDataTable::AppendRow(std::int64_t time)
{
    if (!m_imp->CanAppend(time))
        return -1;
    m_imp->AppendRows(1);
    if (m_imp->times)
        m_imp->times->SetTime(m_imp->LastLine(), time);
    return GetRowCount() - 1;
}

std::int64_t CqzDataTable::AppendRows(std::int64_t count)
{
    if (count < 1)
        return -1;
    const std::int64_t first = GetRowCount();
    m_imp->AppendRows(count);
    return first;
}

std::int64_t CqzDataTable::AppendRowsToWrite(std::int64_t count, const std::int64_t* times,
                                             const std::int64_t* held)
{
    if (count < 1 || !times || !held || !std::is_sorted(times, times + count) ||
        !m_imp->CanAppend(times[0]))
        return -1;
    const std::int64_t first = GetRowCount();
    const std::int64_t line = GetLineCount();
    m_imp->AppendRows(count, held);
    if (m_imp->times)
        m_imp->times->SetTimes(line, times, count);
    return first;
}

std::int64_t CqzDataTable::AppendRows(std::int64_t count, std::int64_t firstTime, std::int64_t step)
{
    // The room above the first time, counted unsigned so that a negative first time fits.
    const std::uint64_t room =
        static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) -
        static_cast<std::uint64_t>(firstTime);
    if (count < 1 || step < 0 || !m_imp->CanAppend(firstTime) ||
        (step > 0 &&
         static_cast<std::uint64_t>(count - 1) > room / static_cast<std::uint64_t>(step)))
        return -1;
    const std::int64_t first = GetRowCount();
    const std::int64_t line = GetLineCount();
    m_imp->AppendRows(count);
    if (m_imp->times)
        m_imp->times->SetTimeSteps(line, count, firstTime, step);
    return first;
}

int CqzDataTable::AppendSubrow()
{
    if (IsTableEmpty())
        return -1;
    EnableSubrows();
    m_imp->AppendToStores(1);
    m_imp->lines.AppendSubrow();
    const std::int64_t row = GetRowCount() - 1;
    const int count = GetSubrowCount(row);
    m_imp->subrowCounts->SetValue(row, CqzUInt(static_cast<std::uint64_t>(count)));
    return count - 1;
}

int CqzDataTable::AppendSubrow(std::int64_t time)
{
    if (!m_imp->CanAppend(time))
        return -1;
    const int subrow = AppendSubrow();
    if (subrow >= 0 && m_imp->times)
        m_imp->times->SetTime(m_imp->LastLine(), time);
    return subrow;
}

void CqzDataTable::EnableSubrows()
{
    if (m_imp->subrowCounts)
        return;
    m_imp->lines.EnableSubrows();
    m_imp->subrowCounts = std::make_shared<CqzSampleStore>(eqzSampleValue, 32);
    m_imp->subrowCounts->Append(GetRowCount(), false);
    CqzDataColumn* column = AddColumn(CqzID());
    column->SetAttributes(CqzBitSet{eqzColumnAttrWidth32});
    column->SetDataSource(std::make_unique<CqzSampleDataSource>(m_imp->subrowCounts));
    SetAttributeID(eqzRoleSubrowCount, column->GetLabelID());
}

bool CqzDataTable::SetValue(int column, const CqzUInt& value)
{
    return SetValueAt(column, m_imp->LastLine(), value);
}

bool CqzDataTable::SetText(int column, const CString& text)
{
    return SetTextAt(column, m_imp->LastLine(), text.GetString(),
                     static_cast<std::size_t>(text.GetLength()));
}

bool CqzDataTable::SetStatus(int column, int status)
{
    return SetStatusAt(column, m_imp->LastLine(), status);
}

bool CqzDataTable::SetValueAt(int column, std::int64_t line, const CqzUInt& value)
{
    CqzSampleStore* store = m_imp->Store(column);
    if (!store || !store->SetValue(line, value))
        return false;
    if (!m_imp->digits.empty())
        m_imp->CloseDigits(column, line);
    return true;
}

bool CqzDataTable::SetUnknownDigits(int column, const CqzUInt& unknown, const CqzUInt& floating)
{
    CqzSampleStore* store = m_imp->Store(column);
    const std::int64_t line = m_imp->LastLine();
    if (!store || store->GetKind() != eqzSampleValue || line < 0)
        return false;
    if (unknown.IsZero() && floating.IsZero())
    {
        m_imp->CloseDigits(column, line);
        return true;
    }
    if (m_imp->digits.size() <= static_cast<std::size_t>(column))
        m_imp->digits.resize(static_cast<std::size_t>(column) + 1);
    if (!m_imp->digits[column])
        m_imp->digits[column] = std::make_unique<CqzUnknownDigitStore>();
    m_imp->digits[column]->Set(line, unknown, floating);
    return store->SetStatus(line, 4);
}

bool CqzDataTable::GetUnknownDigits(int column, std::int64_t line, CqzUInt& unknown,
                                    CqzUInt& floating) const
{
    const CqzSampleStore* store = m_imp->Store(column);
    const CqzUnknownDigitStore* digits = m_imp->Digits(column);
    return store && digits && line >= 0 && line < store->GetCount() &&
           store->GetStatus(line) == 4 && digits->Get(line, unknown, floating);
}

bool CqzDataTable::SetTextAt(int column, std::int64_t line, const wchar_t* text, std::size_t length)
{
    CqzSampleStore* store = m_imp->Store(column);
    return store && store->SetText(line, text, length);
}

std::int64_t CqzDataTable::AddText(int column, const wchar_t* text, std::size_t length)
{
    CqzSampleStore* store = m_imp->Store(column);
    return store ? store->AddText(text, length) : -1;
}

bool CqzDataTable::FillText(int column, std::int64_t firstLine, std::int64_t count,
                            std::uint32_t number)
{
    CqzSampleStore* store = m_imp->Store(column);
    return store && store->FillText(firstLine, count, number);
}

bool CqzDataTable::SetStatusAt(int column, std::int64_t line, int status)
{
    CqzSampleStore* store = m_imp->Store(column);
    return store && store->SetStatus(line, status);
}

bool CqzDataTable::SetTimeAt(std::int64_t line, std::int64_t time)
{
    return SetTimes(line, &time, 1);
}

template <typename T>
bool CqzDataTable::SetRange(int column, std::int64_t firstLine, const T* values, std::int64_t count)
{
    CqzSampleStore* store = m_imp->Store(column);
    if (!store || !store->SetValues(firstLine, values, count))
        return false;
    if (!m_imp->digits.empty())
        m_imp->CloseDigits(column, firstLine);
    return true;
}

bool CqzDataTable::SetValues(int column, std::int64_t firstLine, const CqzUInt* values,
                             std::int64_t count)
{
    return SetRange(column, firstLine, values, count);
}

bool CqzDataTable::SetValues(int column, std::int64_t firstLine, const std::uint64_t* values,
                             std::int64_t count)
{
    return SetRange(column, firstLine, values, count);
}

bool CqzDataTable::SetValues(int column, std::int64_t firstLine, const std::uint8_t* values,
                             std::int64_t count)
{
    return SetRange(column, firstLine, values, count);
}

bool CqzDataTable::SetPackedBits(int column, std::int64_t firstLine, const std::uint64_t* bits,
                                 std::int64_t from, std::int64_t count)
{
    CqzSampleStore* store = m_imp->Store(column);
    if (!store || !store->SetPackedBits(firstLine, bits, from, count))
        return false;
    if (!m_imp->digits.empty())
        m_imp->CloseDigits(column, firstLine);
    return true;
}

bool CqzDataTable::SetTimes(std::int64_t firstLine, const std::int64_t* times, std::int64_t count)
{
    CqzSampleStore* store = m_imp->times;
    const std::int64_t end = firstLine + count;
    if (!store || !times || count < 1 || firstLine < 0 || end > GetLineCount())
        return false;
    if (!std::is_sorted(times, times + count) ||
        (firstLine > 0 && times[0] < store->GetTime(firstLine - 1)) ||
        (end < GetLineCount() && times[count - 1] > store->GetTime(end)))
        return false;
    return store->SetTimes(firstLine, times, count);
}

int CqzDataTable::GetSample(int column, std::int64_t line, CqzUInt& value) const
{
    const CqzSampleStore* store = m_imp->Store(column);
    value = CqzUInt();
    if (!store || store->GetKind() == eqzSampleString || line < 0 || line >= store->GetCount())
        return 3;
    value = store->GetValue(line);
    return store->GetStatus(line);
}

int CqzDataTable::GetSample(int column, std::int64_t line, CString& text) const
{
    const CqzSampleStore* store = m_imp->Store(column);
    if (!store || store->GetKind() != eqzSampleString || line < 0 || line >= store->GetCount())
    {
        text.Empty();
        return 3;
    }
    text = store->GetText(line);
    return store->GetStatus(line);
}

CqzPosition CqzDataTable::GetTimeAt(std::int64_t line) const
{
    if (!m_imp->times || line < 0 || line >= GetLineCount())
        return CqzPosition::Invalid();
    return CqzPosition(m_imp->times->GetTime(line));
}

std::shared_ptr<CqzSampleStore> CqzDataTable::GetTimeStore() const
{
    const CqzDataColumn* column = GetColumn(eqzRoleTime);
    return m_imp->times && column ? m_imp->lineStores[column->GetIndex()] : nullptr;
}
