#include "qzSystem/managers/CqzPlugInMgr.h"

CqzPlugInMgr& CqzPlugInMgr::Instance()
{
    static CqzPlugInMgr instance;
    return instance;
}

void CqzPlugInMgr::Register(const CqzID& id, const CString& fullName, CqzPlugInInterface* instance)
{
    m_plugIns[id] = Entry{fullName, instance};
}

void CqzPlugInMgr::UnRegister(const CqzID& id)
{
    m_plugIns.erase(id);
}

CString CqzPlugInMgr::GetFullName(const CqzID& id) const
{
    auto it = m_plugIns.find(id);
    return it == m_plugIns.end() ? CString() : it->second.fullName;
}

CqzPlugInInterface* CqzPlugInMgr::GetInstanceFromInstanceID(const CqzID& id) const
{
    auto it = m_plugIns.find(id);
    return it == m_plugIns.end() ? nullptr : it->second.instance;
}

void CqzPlugInMgr::RequestRun(CqzPlugInAnToolBase* tool)
{
    if (m_runHandler)
        m_runHandler(tool);
}

void CqzPlugInMgr::Reset()
{
    m_plugIns.clear();
    m_runHandler = nullptr;
}
