#include "qzSystem/managers/CqzLabelMgr.h"

#include <algorithm>

CqzLabelMgr& CqzLabelMgr::Instance()
{
    static CqzLabelMgr instance;
    return instance;
}

const CqzLabel* CqzLabelMgr::AddLabel(const CqzLabel& label)
{
    for (auto& existing : m_labels)
        if (existing->GetLabelID() == label.GetLabelID())
        {
            *existing = label;
            return existing.get();
        }
    m_labels.push_back(std::make_unique<CqzLabel>(label));
    return m_labels.back().get();
}

bool CqzLabelMgr::RemoveLabel(const CqzID& labelID)
{
    auto it = std::find_if(m_labels.begin(), m_labels.end(),
                           [&](const auto& l) { return l->GetLabelID() == labelID; });
    if (it == m_labels.end())
        return false;
    m_labels.erase(it);
    return true;
}

const CqzLabel* CqzLabelMgr::IDToLabel(const CqzID& labelID) const
{
    for (const auto& l : m_labels)
        if (l->GetLabelID() == labelID)
            return l.get();
    return nullptr;
}

const CqzLabel* CqzLabelMgr::NameToLabel(const CString& name) const
{
    for (const auto& l : m_labels)
        if (l->GetName() == name)
            return l.get();
    return nullptr;
}

std::vector<const CqzLabel*> CqzLabelMgr::GetLabels() const
{
    std::vector<const CqzLabel*> out;
    for (const auto& l : m_labels)
        out.push_back(l.get());
    return out;
}

void CqzLabelMgr::Reset() { m_labels.clear(); }
