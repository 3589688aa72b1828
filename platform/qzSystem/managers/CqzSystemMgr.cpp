#include "qzSystem/managers/CqzSystemMgr.h"

#include "qzSystem/managers/CqzLabelMgr.h"

#include <algorithm>

CqzSystemMgr& CqzSystemMgr::Instance()
{
    static CqzSystemMgr instance;
    return instance;
}

void CqzSystemMgr::SetAvailableLabels(const CqzID& instanceID, const std::vector<CqzID>& labelIDs)
{
    m_restrictions[instanceID] = labelIDs;
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
    return std::find(it->second.begin(), it->second.end(), channel.GetLabelID()) != it->second.end();
}

std::vector<CqzID> CqzSystemMgr::GetAvailableLabels(const CqzID& instanceID) const
{
    std::vector<CqzID> out;
    for (const CqzLabel* label : CqzLabelMgr::Instance().GetLabels())
        if (IsLabelAvailable(instanceID, CqzLabelChannel(label->GetLabelID(), -1)))
            out.push_back(label->GetLabelID());
    return out;
}

void CqzSystemMgr::Reset() { m_restrictions.clear(); }
