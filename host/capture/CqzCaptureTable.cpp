#include "capture/CqzCaptureTable.h"

#include "qzSystem/managers/CqzLabelMgr.h"

#include <unordered_map>
#include <unordered_set>
#include <vector>

struct CqzCaptureTable::SqzImp
{
    CqzID sourceID;
    std::unique_ptr<CqzData> data = std::make_unique<CqzData>();
    CqzDataTable* table = nullptr;
    std::vector<CqzID> labels;
    std::unordered_set<CString> names;
    std::unordered_map<int, CString> nameOfColumn;

    CString UniqueName(const std::string& utf8) const
    {
        const CString base = CString::FromUtf8(utf8.empty() ? std::string("unnamed") : utf8);
        CString name = base;
        for (int n = 2; names.count(name); ++n)
        {
            name = base;
            name.AppendFormat(L"_%d", n);
        }
        return name;
    }
};

CqzCaptureTable::CqzCaptureTable(const CqzID& sourceID) : m_imp(std::make_unique<SqzImp>())
{
    m_imp->sourceID = sourceID;
    m_imp->table = m_imp->data->AddTable();
    AddLabel(eqzLabelTime, "Time", 64);
}

CqzCaptureTable::~CqzCaptureTable()
{
    if (!m_imp->data)
        return;
    m_imp->data.reset();
    for (const CqzID& id : m_imp->labels)
        CqzLabelMgr::Instance().RemoveLabel(id);
}

int CqzCaptureTable::AddLabel(EqzLabelType type, const std::string& name, int width)
{
    const CString unique = m_imp->UniqueName(name);
    const CqzID id;
    const int column = m_imp->table->AddLabelColumn(type, unique, width, id, m_imp->sourceID);
    if (column < 0)
        return -1;
    m_imp->labels.push_back(id);
    m_imp->names.insert(unique);
    m_imp->nameOfColumn.emplace(column, unique);
    return column;
}

const CString& CqzCaptureTable::GetName(int column) const
{
    static const CString none;
    auto it = m_imp->nameOfColumn.find(column);
    return it == m_imp->nameOfColumn.end() ? none : it->second;
}

CqzDataTable& CqzCaptureTable::GetTable() const
{
    return *m_imp->table;
}

std::unique_ptr<CqzData> CqzCaptureTable::Release()
{
    m_imp->data->SetDataValid(true);
    return std::move(m_imp->data);
}
