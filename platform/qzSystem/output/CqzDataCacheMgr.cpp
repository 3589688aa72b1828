#include "qzSystem/output/CqzDataCacheMgr.h"

CqzDataCacheMgr& CqzDataCacheMgr::Instance()
{
    static CqzDataCacheMgr instance;
    return instance;
}

void CqzDataCacheMgr::Reset()
{
    m_filterCache.Reset();
}
