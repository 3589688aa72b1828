#include "qzSystem/data/CqzDataBuilder.h"

#include "qzSystem/data/CqzSampleStore.h"
#include "qzSystem/managers/CqzLabelMgr.h"

#include <stdexcept>

namespace
{
[[noreturn]] void Fail(const CString& what)
{
    throw std::invalid_argument(what.ToUtf8());
}
} // namespace

CqzDataBuilder::Cell CqzDataBuilder::Cell::Status(int status)
{
    return Cell(eStatus, status);
}

CqzDataBuilder::Cell CqzDataBuilder::Cell::Hold()
{
    return Cell(eHold);
}

bool CqzDataBuilder::Cell::Fits(const CqzDataColumn& column) const
{
    const CqzSampleStore* store = column.GetSampleStore();
    if (m_kind == eNumber)
        return store && store->GetKind() == eqzSampleValue;
    if (m_kind == eText)
        return store && store->GetKind() == eqzSampleString;
    return true;
}

void CqzDataBuilder::Cell::WriteTo(CqzDataTable& table, int column) const
{
    if (m_kind == eNumber)
        table.SetValue(column, m_value);
    else if (m_kind == eText)
        table.SetText(column, m_text);
    else if (m_kind == eStatus)
        table.SetStatus(column, m_status);
}

CqzDataBuilder::CqzDataBuilder(CqzData& data) : m_data(&data) {}

CqzDataBuilder& CqzDataBuilder::AddTable(const CqzID& tableID)
{
    if (m_data->FindTable(tableID))
        Fail(L"the data set already has table " + tableID.ToString());
    m_table = m_data->AddTable(tableID);
    m_rowColumns.clear();
    return *this;
}

CqzDataTable& CqzDataBuilder::GetTable() const
{
    if (!m_table)
        Fail(L"no table: call AddTable first");
    return *m_table;
}

CqzDataBuilder& CqzDataBuilder::Time(const CString& name)
{
    CString text = name;
    if (text.IsEmpty())
    {
        const int number = m_data->GetTableCount();
        text = L"Time";
        if (number > 1)
            text.AppendFormat(L"%d", number);
    }
    return AddLabel(eqzLabelTime, text, 64);
}

CqzDataBuilder& CqzDataBuilder::Digital(const CString& name, int width)
{
    return AddLabel(eqzLabelDigital, name, width);
}

CqzDataBuilder& CqzDataBuilder::Integral(const CString& name, int width)
{
    return AddLabel(eqzLabelIntegral, name, width);
}

CqzDataBuilder& CqzDataBuilder::String(const CString& name)
{
    return AddLabel(eqzLabelString, name, 0);
}

CqzDataBuilder& CqzDataBuilder::AddLabel(EqzLabelType type, const CString& name, int width)
{
    CqzDataTable& table = GetTable();
    if (m_labels.count(name))
        Fail(L"duplicate label name " + name);
    const CqzID id;
    const int column = table.AddLabelColumn(type, name, width, id);
    if (column < 0)
        Fail(CString(L"label ") + name + L" cannot be added (type or width)");
    m_labels.emplace(name, id);
    if (type != eqzLabelTime)
        m_rowColumns.push_back(column);
    return *this;
}

CqzDataBuilder& CqzDataBuilder::Row(std::int64_t time, std::initializer_list<Cell> cells)
{
    Check(cells);
    if (GetTable().AppendRow(time) < 0)
        Fail(L"cannot append a row: its time is before the last line's");
    Fill(cells);
    return *this;
}

CqzDataBuilder& CqzDataBuilder::Subrow(std::int64_t time, std::initializer_list<Cell> cells)
{
    Check(cells);
    if (GetTable().AppendSubrow(time) < 0)
        Fail(L"cannot append a subrow: no row yet, or its time is before the last line's");
    Fill(cells);
    return *this;
}

void CqzDataBuilder::Check(std::initializer_list<Cell> cells) const
{
    const CqzDataTable& table = GetTable();
    CString where;
    where.Format(L"line %lld", static_cast<long long>(table.GetLineCount()));
    if (cells.size() > m_rowColumns.size())
        Fail(L"too many cells for " + where);
    auto column = m_rowColumns.begin();
    for (const Cell& cell : cells)
    {
        const CqzDataColumn& target = *table.GetColumnAt(*column++);
        if (!cell.Fits(target))
        {
            const CqzLabel* label = CqzLabelMgr::Instance().IDToLabel(target.GetLabelID());
            Fail(L"a cell of " + where + L" does not fit the column of label " +
                 (label ? label->GetName() : target.GetLabelID().ToString()));
        }
    }
}

void CqzDataBuilder::Fill(std::initializer_list<Cell> cells)
{
    auto column = m_rowColumns.begin();
    for (const Cell& cell : cells)
        cell.WriteTo(*m_table, *column++);
}

const CqzID& CqzDataBuilder::GetLabelID(const CString& name) const
{
    auto it = m_labels.find(name);
    if (it == m_labels.end())
        Fail(L"no label named " + name);
    return it->second;
}

CqzLabelChannel CqzDataBuilder::Channel(const CString& name, int channel) const
{
    return CqzLabelChannel(GetLabelID(name), channel);
}
