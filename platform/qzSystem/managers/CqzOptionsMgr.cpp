#include "qzSystem/managers/CqzOptionsMgr.h"

CqzOptionsMgr& CqzOptionsMgr::Instance()
{
    static CqzOptionsMgr instance;
    return instance;
}

bool CqzOptionsMgr::GetDialogSize(const CString& name, CSize& size) const
{
    const auto found = m_dialogSizes.find(name);
    if (found == m_dialogSizes.end())
        return false;
    size = found->second;
    return true;
}
