#include "qzSystem/output/CqzSystemFilterCache.h"

#include <map>
#include <utility>

struct CqzSystemFilterCache::SqzImp
{
    std::map<std::pair<CqzID, CqzID>, std::unique_ptr<CqzDataTableFilterCache>> caches;
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

std::size_t CqzSystemFilterCache::GetCacheCount() const
{
    return m->caches.size();
}

void CqzSystemFilterCache::Reset()
{
    m->caches.clear();
}
