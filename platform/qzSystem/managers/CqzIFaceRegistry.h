#pragma once
// Maps instance identifiers to the interfaces their tools registered (not owned). The base of
// the managers that hand a tool's interfaces to the host; each keeps its own single instance.

#include "qzSystem/ids/CqzID.h"

#include <map>

template <typename IFace> class CqzIFaceRegistry
{
public:
    void Register(const CqzID& instanceID, IFace* iface) { m_ifaces[instanceID] = iface; }
    void UnRegister(const CqzID& instanceID) { m_ifaces.erase(instanceID); }
    // The interface registered for the instance, or null.
    IFace* Find(const CqzID& instanceID) const
    {
        auto it = m_ifaces.find(instanceID);
        return it == m_ifaces.end() ? nullptr : it->second;
    }
    int GetCount() const { return static_cast<int>(m_ifaces.size()); }
    void Reset() { m_ifaces.clear(); }

protected:
    CqzIFaceRegistry() = default;

private:
    std::map<CqzID, IFace*> m_ifaces;
};
