#pragma once
// The host's data cache manager (singleton, never destroyed): holds the system filter cache.

#include "qzSystem/output/CqzSystemFilterCache.h"

class CqzDataCacheMgr
{
public:
    static CqzDataCacheMgr& Instance();

    CqzSystemFilterCache& GetSystemFilterCache() { return m_filterCache; }
    // Empties every cache, so that tests start clean.
    void Reset();

private:
    CqzDataCacheMgr() = default;
    CqzSystemFilterCache m_filterCache;
};
