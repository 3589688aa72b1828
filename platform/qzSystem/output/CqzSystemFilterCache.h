#pragma once
// The host's filter cache: one CqzDataTableFilterCache per (tool instance, data table). Tools
// register hidden row ranges in it while they produce their output; displays ask it which rows
// to skip. Owned by CqzDataCacheMgr. A table cache, once made, stays at the same address until
// the cache is reset or its owner (the paged source that claimed it) releases it; callers look
// it up again rather than keep a reference across runs.

#include "qzSystem/ids/CqzID.h"
#include "qzSystem/output/CqzDataTableFilterCache.h"

#include <cstddef>
#include <memory>

class CqzSystemFilterCache
{
public:
    CqzSystemFilterCache();
    ~CqzSystemFilterCache();
    CqzSystemFilterCache(const CqzSystemFilterCache&) = delete;
    CqzSystemFilterCache& operator=(const CqzSystemFilterCache&) = delete;

    // The cache of the table for the instance, made empty on first use.
    CqzDataTableFilterCache& AddCache(const CqzID& instanceID, const CqzID& tableID);
    // The cache of the table for the instance, or null when there is none.
    CqzDataTableFilterCache* GetCache(const CqzID& instanceID, const CqzID& tableID) const;
    // Empties the ranges of that cache, if there is one; the cache itself stays.
    void ClearCache(const CqzID& instanceID, const CqzID& tableID);
    // The cache of the table for the instance (emptied, if there is one; made later by
    // AddCache) belongs to `owner` from now on: a later owner of the same pair takes it over.
    void ClaimCache(const CqzID& instanceID, const CqzID& tableID, const void* owner);
    // Destroys that cache when it still belongs to `owner` (the source that made the ranges
    // is gone, so no display needs them).
    void ReleaseCache(const CqzID& instanceID, const CqzID& tableID, const void* owner);
    std::size_t GetCacheCount() const;
    // Destroys every table cache (references to them become invalid).
    void Reset();

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m;
};
