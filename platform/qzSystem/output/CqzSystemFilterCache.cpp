#include "qzSystem/output/CqzSystemFilterCache.h"

#include <map>
#include <utility>

struct CqzSystemFilterCache::SqzImp
{
    using Key = std::pair<CqzID, CqzID>;
    std::map<Key, std::unique_ptr<CqzDataTableFilterCache>> caches;
    // The source each claimed cache belongs to.
    std::map<Key, const void*> owners;
};

CqzSystemFilterCache::CqzSystemFilterCache() : m(std::make_unique<SqzImp>()) {}

CqzSystemFilterCache::~CqzSystemFilterCache() = default;

CqzDataTableFilterCache& CqzSystemFilterCache::AddCache(const CqzID& instanceID,
                                                        const CqzID& tableID)
{
    auto& slot = m->caches[{instanceID, tableID}];
    if (!slot)
        slot = std::make_unique<CqzDataTableFilterCache>(instanceID, tableID);
    return *slot;
}

CqzDataTableFilterCache* CqzSystemFilterCache::GetCache(const CqzID& instanceID,
                                                        const CqzID& tableID) const
{
    auto it = m->caches.find({instanceID, tableID});
    return it == m->caches.end() ? nullptr : it->second.get();
}

void CqzSystemFilterCache::ClearCache(const CqzID& instanceID, const CqzID& tableID)
{
    if (CqzDataTableFilterCache* cache = GetCache(instanceID, tableID))
        cache->Clear();
}

void CqzSystemFilterCache::ClaimCache(const CqzID& instanceID, const CqzID& tableID,
                                      const void* owner)
{
    ClearCache(instanceID, tableID);
    m->owners[{instanceID, tableID}] = owner;
}

void CqzSystemFilterCache::ReleaseCache(const CqzID& instanceID, const CqzID& tableID,
                                        const void* owner)
{
    const auto it = m->owners.find({instanceID, tableID});
    if (it == m->owners.end() || it->second != owner)
        return;
    m->owners.erase(it);
    m->caches.erase({instanceID, tableID});
}

std::size_t CqzSystemFilterCache::GetCacheCount() const
{
    return m->caches.size();
}

void CqzSystemFilterCache::Reset()
{
    m->owners.clear();
    m->caches.clear();
}
