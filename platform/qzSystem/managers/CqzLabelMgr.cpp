#include "qzSystem/managers/CqzLabelMgr.h"

#include <algorithm>

CqzLabelMgr& CqzLabelMgr::Instance()
{
    static CqzLabelMgr instance;
    return instance;
}

// Keeps the labels of one name in order of first addition.
void CqzLabelMgr::IndexName(CqzLabel* label)
{
    std::vector<CqzLabel*>& same = m_byName[label->GetName()];
    const auto sequence = [this](const CqzLabel* l) { return m_byID.at(l->GetLabelID()).sequence; };
    const std::uint64_t mine = sequence(label);
    m_visits += same.size();
    auto at = std::find_if(same.begin(), same.end(),
                           [&](const CqzLabel* other) { return sequence(other) > mine; });
    same.insert(at, label);
}

void CqzLabelMgr::UnindexName(const CqzLabel* label)
{
    auto it = m_byName.find(label->GetName());
    if (it == m_byName.end())
        return;
    std::erase(it->second, label);
    if (it->second.empty())
        m_byName.erase(it);
}

const CqzLabel* CqzLabelMgr::AddLabel(const CqzLabel& label)
{
    if (auto it = m_byID.find(label.GetLabelID()); it != m_byID.end())
    {
        CqzLabel* existing = it->second.label;
        UnindexName(existing);
        *existing = label;
        IndexName(existing);
        return existing;
    }
    m_labels.push_back(std::make_unique<CqzLabel>(label));
    CqzLabel* added = m_labels.back().get();
    m_byID.emplace(added->GetLabelID(), SqzEntry{added, m_nextSequence++, m_labels.size() - 1});
    IndexName(added);
    return added;
}

bool CqzLabelMgr::RemoveLabel(const CqzID& labelID)
{
    auto entry = m_byID.find(labelID);
    if (entry == m_byID.end())
        return false;
    UnindexName(entry->second.label);
    m_labels[entry->second.slot].reset();
    m_byID.erase(entry);
    // Holes never outnumber the labels, whoever reads the order.
    if (++m_holes > m_byID.size())
        CloseHolesNow();
    return true;
}

void CqzLabelMgr::CloseHolesNow() const
{
    m_visits += m_labels.size();
    std::erase(m_labels, nullptr);
    for (std::size_t slot = 0; slot < m_labels.size(); ++slot)
        m_byID.at(m_labels[slot]->GetLabelID()).slot = slot;
    m_holes = 0;
}

const CqzLabel* CqzLabelMgr::IDToLabel(const CqzID& labelID) const
{
    auto it = m_byID.find(labelID);
    return it == m_byID.end() ? nullptr : it->second.label;
}

const CqzLabel* CqzLabelMgr::NameToLabel(const CString& name) const
{
    auto it = m_byName.find(name);
    return it == m_byName.end() ? nullptr : it->second.front();
}

std::vector<const CqzLabel*> CqzLabelMgr::GetLabels() const
{
    CloseHoles();
    std::vector<const CqzLabel*> out;
    out.reserve(m_labels.size());
    m_visits += m_labels.size();
    for (const auto& l : m_labels)
        out.push_back(l.get());
    return out;
}

void CqzLabelMgr::Reset()
{
    m_byName.clear();
    m_byID.clear();
    m_labels.clear();
    m_holes = 0;
    m_nextSequence = 0;
    m_visits = 0;
}
