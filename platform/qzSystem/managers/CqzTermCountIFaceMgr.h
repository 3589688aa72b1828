#pragma once
// Maps instance identifiers to the term-count interfaces their tools registered (not owned).

#include "qzSystem/ids/CqzID.h"

#include <map>

class CqzTermCountIFace;

class CqzTermCountIFaceMgr
{
public:
    static CqzTermCountIFaceMgr& Instance();

    void Register(const CqzID& instanceID, CqzTermCountIFace* iface);
    void UnRegister(const CqzID& instanceID);
    // The interface registered for the instance, or null.
    CqzTermCountIFace* Find(const CqzID& instanceID) const;
    void Reset() { m_ifaces.clear(); }

private:
    CqzTermCountIFaceMgr() = default;
    std::map<CqzID, CqzTermCountIFace*> m_ifaces;
};
