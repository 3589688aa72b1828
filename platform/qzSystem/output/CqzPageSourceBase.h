#pragma once
// The handle part common to the paged attribute sources: the shared store of pages, cloning,
// iterators and the producer. TSource is the concrete source (made by Clone from the shared
// store), TStore its page store and TIter its iterator.
//
// The producer is owned by the store, so every handle uses it; it is destroyed when the handle
// that installed it is destroyed, so that handles outliving it (clones given to columns) never
// call a producer whose tool is gone: they keep the pages produced so far and read default
// records elsewhere.

#include "qzSystem/output/CqzPageDataSource.h"
#include "qzSystem/output/CqzSampleAttributes.h"
#include "qzSystem/output/CqzSampleAttributesDataSourceIter.h"

#include <cstdint>
#include <memory>

template <class TSource, class TStore, class TIter>
class CqzPageSourceBase : public CqzPageDataSource
{
public:
    using Store = TStore;
    using Producer = typename TStore::Producer;

    ~CqzPageSourceBase() override
    {
        if (m->installedSerial != 0 && m->store->GetProducerSerial() == m->installedSerial)
            m->store->ReleaseProducer();
    }
    CqzPageSourceBase(const CqzPageSourceBase&) = delete;
    CqzPageSourceBase& operator=(const CqzPageSourceBase&) = delete;

    CString GetDataTypeName() const override { return CqzSampleAttributes::TypeName; }
    std::unique_ptr<CqzDataSource> Clone() const override
    {
        return std::unique_ptr<CqzDataSource>(new TSource(m->store));
    }
    CqzSampleAttributesDataSourceIter* CreateIter() override { return new TIter(m->store); }

    // Installs the producer, which the source keeps; the earlier one is destroyed. Refused
    // while a page is being produced.
    bool SetProducer(std::unique_ptr<Producer> producer)
    {
        if (!m->store->SetProducer(std::move(producer)))
            return false;
        m->installedSerial = m->store->GetProducerSerial();
        return true;
    }
    Producer* GetProducer() const { return m->store->GetProducer(); }
    std::int64_t GetAllocatedPageCount() const override
    {
        return m->store->GetAllocatedPageCount();
    }

protected:
    explicit CqzPageSourceBase(std::shared_ptr<TStore> store) : m(std::make_unique<SqzImp>())
    {
        m->store = std::move(store);
    }

private:
    struct SqzImp
    {
        std::shared_ptr<TStore> store;
        // The store's producer serial when this handle installed a producer; 0 if it did not.
        std::uint64_t installedSerial = 0;
    };

    CqzPageTable& GetPageTable() const override { return *m->store; }

    std::unique_ptr<SqzImp> m;
};
