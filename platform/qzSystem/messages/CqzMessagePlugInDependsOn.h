#pragma once
// Message 32: the host asks which labels of the plug-in with the given source identifier a tool
// depends on; the tool appends one label status per use.

#include "qzSystem/labels/CqzLabelStatus.h"
#include "qzSystem/messages/CqzMessageBase.h"

#include <vector>

class CqzMessagePlugInDependsOn : public CqzMessageBase
{
public:
    static constexpr unsigned int TypeID = 32;
    explicit CqzMessagePlugInDependsOn(const CqzID& sourceID)
        : CqzMessageBase(TypeID), m_sourceID(sourceID)
    {
    }
    const CqzID& GetID() const { return m_sourceID; }
    std::vector<CqzLabelStatus>& GetLabelStatusList() { return m_labels; }
    const std::vector<CqzLabelStatus>& GetLabelStatusList() const { return m_labels; }

private:
    CqzID m_sourceID;
    std::vector<CqzLabelStatus> m_labels;
};
