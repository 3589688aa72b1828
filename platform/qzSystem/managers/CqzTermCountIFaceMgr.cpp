#include "qzSystem/managers/CqzTermCountIFaceMgr.h"

CqzTermCountIFaceMgr& CqzTermCountIFaceMgr::Instance()
{
    static CqzTermCountIFaceMgr instance;
    return instance;
}

void CqzTermCountIFaceMgr::Register(const CqzID& instanceID, CqzTermCountIFace* iface)
{
    m_ifaces[instanceID] = iface;
}

void CqzTermCountIFaceMgr::UnRegister(const CqzID& instanceID)
{
    m_ifaces.erase(instanceID);
}

CqzTermCountIFace* CqzTermCountIFaceMgr::Find(const CqzID& instanceID) const
{
    auto it = m_ifaces.find(instanceID);
    return it == m_ifaces.end() ? nullptr : it->second;
}
