#include "qzSystem/managers/CqzSystemMgr.h"

#include "qzSystem/managers/CqzLabelMgr.h"


CqzSystemMgr& CqzSystemMgr::Instance()
{
    static CqzSystemMgr instance;
    return instance;
}

void CqzSystemMgr::SetAvailableLabels(const CqzID& instanceID, const std::vector<CqzID>& labelIDs)
{
    m_restrictions[instanceID] = std::unordered_set<CqzID>(labelIDs.begin(), labelIDs.end());
}

void CqzSystemMgr::ClearAvailableLabels(const CqzID& instanceID) { m_restrictions.erase(instanceID); }

bool CqzSystemMgr::IsLabelAvailable(const CqzID& instanceID, const CqzLabelChannel& channel,
                                    bool, bool) const
{
    const CqzLabel* label = CqzLabelMgr::Instance().IDToLabel(channel.GetLabelID());
    if (label == nullptr)
        return false;
    if (channel.GetChannel() >= label->GetWidth())
        return false;
    auto it = m_restrictions.find(instanceID);
    if (it == m_restrictions.end())
        return true;
    return it->second.contains(channel.GetLabelID());
}

std::vector<CqzID> CqzSystemMgr::GetAvailableLabels(const CqzID& instanceID) const
{
    std::vector<CqzID> out;
    for (const CqzLabel* label : CqzLabelMgr::Instance().GetLabels())
        if (IsLabelAvailable(instanceID, CqzLabelChannel(label->GetLabelID(), -1)))
            out.push_back(label->GetLabelID());
    return out;
}

CqzID CqzSystemMgr::GetFirstAvailableLabel(const CqzID& instanceID) const
{
    const CqzLabelMgr& labels = CqzLabelMgr::Instance();
    for (int i = 0; i < labels.GetLabelCount(); ++i)
        if (IsLabelAvailable(instanceID, CqzLabelChannel(labels.GetLabelAt(i)->GetLabelID(), -1)))
            return labels.GetLabelAt(i)->GetLabelID();
    return CqzID();
}

void CqzSystemMgr::Reset() { m_restrictions.clear(); }
