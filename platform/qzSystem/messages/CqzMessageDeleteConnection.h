#pragma once
// Message 60: a connection was deleted; the listed labels are gone.

#include "qzSystem/ids/CqzID.h"
#include "qzSystem/messages/CqzMessageBase.h"

#include <vector>

class CqzMessageDeleteConnection : public CqzMessageBase
{
public:
    static constexpr unsigned int TypeID = 60;
    explicit CqzMessageDeleteConnection(std::vector<CqzID> labelIDs)
        : CqzMessageBase(TypeID), m_labelIDs(std::move(labelIDs))
    {
    }
    const std::vector<CqzID>& GetLabelIDs() const { return m_labelIDs; }

private:
    std::vector<CqzID> m_labelIDs;
};
