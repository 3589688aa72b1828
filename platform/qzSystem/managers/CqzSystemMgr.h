#pragma once
// Answers which labels are available to which tool instance. By default every label known to
// the label manager is available to every instance; the host can restrict an instance to a
// list of labels (the labels upstream of it in the analysis chain).

#include "qzSystem/ids/CqzLabelChannel.h"

#include <map>
#include <unordered_set>
#include <vector>

class CqzSystemMgr
{
public:
    static CqzSystemMgr& Instance();

    // Restricts the instance to these labels (which must also exist in the label manager).
    void SetAvailableLabels(const CqzID& instanceID, const std::vector<CqzID>& labelIDs);
    void ClearAvailableLabels(const CqzID& instanceID);

    // Whether the label of the channel exists and is available to the instance. The two flags
    // (include the instance's own labels, include hidden labels) are accepted for the host's
    // interface; every label here is visible and instances make no labels of their own.
    bool IsLabelAvailable(const CqzID& instanceID, const CqzLabelChannel& channel,
                          bool includeOwn = true, bool includeHidden = true) const;
    // The labels available to the instance, in label manager order.
    std::vector<CqzID> GetAvailableLabels(const CqzID& instanceID) const;
    // The first of them (an unknown identifier when there is none), without listing the rest.
    CqzID GetFirstAvailableLabel(const CqzID& instanceID) const;
    void Reset();

private:
    CqzSystemMgr() = default;
    std::map<CqzID, std::unordered_set<CqzID>> m_restrictions;
};
