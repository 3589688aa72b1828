#pragma once
// Maps instance identifiers to the command interfaces their tools registered (not owned).

#include "qzSystem/ids/CqzID.h"

#include <map>

class CqzStdCmdIFace;

class CqzStdCmdIFaceMgr
{
public:
    static CqzStdCmdIFaceMgr& Instance();

    void Register(const CqzID& instanceID, CqzStdCmdIFace* iface);
    void UnRegister(const CqzID& instanceID);
    // The interface registered for the instance, or null.
    CqzStdCmdIFace* Find(const CqzID& instanceID) const;
    int GetCount() const { return static_cast<int>(m_ifaces.size()); }
    void Reset() { m_ifaces.clear(); }

private:
    CqzStdCmdIFaceMgr() = default;
    std::map<CqzID, CqzStdCmdIFace*> m_ifaces;
};
