#include "capture/CqzCaptureTable.h"

#include "capture/CqzCaptureLabelID.h"
#include "qzSystem/managers/CqzLabelMgr.h"

#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

struct CqzCaptureTable::SqzImp
{
    CqzID sourceID;
    std::unique_ptr<CqzData> data = std::make_unique<CqzData>();
    CqzDataTable* table = nullptr;
    // The labels this import registered, each with the label of the same identifier it
    // replaced (an earlier import of a capture with that label name), restored on failure.
    std::vector<std::pair<CqzID, std::optional<CqzLabel>>> labels;
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
    CqzLabelMgr& labels = CqzLabelMgr::Instance();
    for (auto it = m_imp->labels.rbegin(); it != m_imp->labels.rend(); ++it)
        if (it->second)
            labels.AddLabel(*it->second);
        else
            labels.RemoveLabel(it->first);
}

int CqzCaptureTable::AddLabel(EqzLabelType type, const std::string& name, int width)
{
    const CString unique = m_imp->UniqueName(name);
    const CqzID id = CqzCaptureLabelID::Make(m_imp->sourceID, unique);
    std::optional<CqzLabel> replaced;
    if (const CqzLabel* earlier = CqzLabelMgr::Instance().IDToLabel(id))
        replaced = *earlier;
    const int column = m_imp->table->AddLabelColumn(type, unique, width, id, m_imp->sourceID);
    if (column < 0)
        return -1;
    m_imp->labels.emplace_back(id, std::move(replaced));
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
