#include "qzSystem/managers/CqzStdCmdIFaceMgr.h"

CqzStdCmdIFaceMgr& CqzStdCmdIFaceMgr::Instance()
{
    static CqzStdCmdIFaceMgr instance;
    return instance;
}

void CqzStdCmdIFaceMgr::Register(const CqzID& instanceID, CqzStdCmdIFace* iface)
{
    m_ifaces[instanceID] = iface;
}

void CqzStdCmdIFaceMgr::UnRegister(const CqzID& instanceID)
{
    m_ifaces.erase(instanceID);
}

CqzStdCmdIFace* CqzStdCmdIFaceMgr::Find(const CqzID& instanceID) const
{
    auto it = m_ifaces.find(instanceID);
    return it == m_ifaces.end() ? nullptr : it->second;
}
