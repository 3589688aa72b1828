#include "qzSystem/output/CqzDataCacheMgr.h"

CqzDataCacheMgr& CqzDataCacheMgr::Instance()
{
    // Never destroyed: paged sources held by objects that outlive it release their caches in it.
    static CqzDataCacheMgr& instance = *new CqzDataCacheMgr;
    return instance;
}

void CqzDataCacheMgr::Reset()
{
    m_filterCache.Reset();
}
