#include "OutputTestProducers.h"

#include "qzSystem/managers/CqzInfoMgr.h"
#include "qzSystem/output/CqzDataCacheMgr.h"
#include "qzSystem/output/CqzDataSourceProxy.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace qztest;

namespace
{

using Iter = std::unique_ptr<CqzSampleAttributesDataSourceIter>;

class PageSourceTest : public ::testing::Test
{
protected:
    void Make(std::int64_t rows, PageBody body = {})
    {
        source = CqzDataSourceProxy::CreatePageDataSource(L"CqzSampleAttributes", rows, 512, 0);
        ASSERT_NE(source, nullptr);
        ASSERT_TRUE(source->SetProducer(std::make_unique<RowProducer>(*source, log, body)));
    }
    CqzSampleAttributes Read(std::int64_t row, int mode = 0)
    {
        Iter it(source->CreateIter());
        it->SetAccessMode(mode);
        EXPECT_TRUE(it->SetPosition(row));
        return it->GetValue();
    }

    ProductionLog log;
    std::unique_ptr<CqzPageSampleAttributesDataSource> source;
};

TEST_F(PageSourceTest, ReadingARowProducesExactlyItsPageOnce)
{
    Make(4000);
    EXPECT_EQ(source->GetDataTypeName(), L"CqzSampleAttributes");
    EXPECT_EQ(source->GetPageCount(), 8);
    EXPECT_EQ(Read(1030), RowRecord(1030));
    ASSERT_EQ(log.firstRows, std::vector<std::int64_t>{1024});
    EXPECT_EQ(log.rowCounts, std::vector<std::int64_t>{512});
    EXPECT_EQ(source->GetPageState(2), 1);
    EXPECT_EQ(source->GetPageState(1), 0);
    EXPECT_EQ(source->GetAllocatedPageCount(), 1);

    EXPECT_EQ(Read(1030), RowRecord(1030));
    EXPECT_EQ(Read(1535), RowRecord(1535));
    EXPECT_EQ(log.firstRows.size(), 1u);
}

TEST_F(PageSourceTest, SequentialReadProducesEachPageOnceAndTheShortLastPage)
{
    Make(1300);
    Iter it(source->CreateIter());
    std::int64_t row = 0;
    for (it->SetPosition(0); !it->IsAtEnd(); it->Next(), ++row)
        ASSERT_EQ(it->GetValue(), RowRecord(row)) << "row " << row;
    EXPECT_EQ(row, 1300);
    EXPECT_EQ(log.firstRows, (std::vector<std::int64_t>{0, 512, 1024}));
    EXPECT_EQ(log.rowCounts, (std::vector<std::int64_t>{512, 512, 276}));
    EXPECT_FALSE(it->Next());
    EXPECT_EQ(it->GetValue(), CqzSampleAttributes());
    EXPECT_FALSE(it->SetValue(RowRecord(1)));
    EXPECT_FALSE(it->SetPosition(1300));
    EXPECT_FALSE(it->SetPosition(-1));
    EXPECT_TRUE(it->IsAtEnd());
}

TEST_F(PageSourceTest, ProducerModeWritesNeverProduceButReadsDo)
{
    Make(4000);
    Iter writer(source->CreateIter());
    writer->SetAccessMode(5);
    ASSERT_TRUE(writer->SetPosition(2600));
    EXPECT_TRUE(writer->SetValue(RowRecord(7)));
    EXPECT_TRUE(log.firstRows.empty());
    EXPECT_EQ(source->GetPageState(5), 0);
    EXPECT_EQ(source->GetAllocatedPageCount(), 1);

    // A read, in producer mode too (a later tool reading this column), produces the page,
    // which replaces what was written.
    EXPECT_EQ(Read(2600, 5), RowRecord(2600));
    EXPECT_EQ(log.firstRows, std::vector<std::int64_t>{2560});
}

TEST_F(PageSourceTest, InvalidatedPagesAreProducedAgainOnTheNextRead)
{
    Make(2000);
    Iter display(source->CreateIter());
    display->SetPosition(10);
    EXPECT_EQ(display->GetValue(), RowRecord(10));
    source->Invalidate();
    EXPECT_EQ(source->GetPageState(0), 2);
    EXPECT_EQ(source->GetPageState(1), 0);
    // The iterator kept the page at hand; it must notice the invalidation.
    EXPECT_EQ(display->GetValue(), RowRecord(10));
    EXPECT_EQ(log.firstRows, (std::vector<std::int64_t>{0, 0}));
    EXPECT_EQ(source->GetPageState(0), 1);
}

TEST_F(PageSourceTest, HundredMillionRowsWithOnePageProducedHoldOnePage)
{
    Make(100'000'000);
    EXPECT_EQ(source->GetPageCount(), 195313);
    EXPECT_EQ(Read(99'999'999), RowRecord(99'999'999));
    EXPECT_EQ(log.rowCounts, std::vector<std::int64_t>{99'999'999 % 512 + 1});
    EXPECT_EQ(source->GetAllocatedPageCount(), 1);
}

TEST_F(PageSourceTest, FailedProductionLeavesThePageUnproducedWithDefaultRecords)
{
    Make(1024, [](CqzSampleAttributesDataSourceIter& out, const CqzDataPage&)
         { return !out.SetValue(RowRecord(1)); });
    Iter it(source->CreateIter());
    EXPECT_EQ(it->GetValue(), CqzSampleAttributes());
    it->Next();
    EXPECT_EQ(it->GetValue(), CqzSampleAttributes());
    EXPECT_EQ(log.firstRows.size(), 1u) << "one attempt per visit of the page";
    EXPECT_EQ(source->GetPageState(0), 0);
    EXPECT_EQ(source->GetAllocatedPageCount(), 0);
    EXPECT_FALSE(source->IsProducing());
}

TEST_F(PageSourceTest, ProducerReadingItsOwnSourceDoesNotRecurse)
{
    CqzSampleAttributes seenInside;
    Make(2048,
         [&](CqzSampleAttributesDataSourceIter& out, const CqzDataPage& page)
         {
             out.SetValue(RowRecord(99));
             seenInside = Read(page.GetFirstRow());        // its own page, display mode
             EXPECT_EQ(Read(1500), CqzSampleAttributes()); // another page, display mode
             return true;
         });
    EXPECT_EQ(Read(0), RowRecord(99));
    EXPECT_EQ(seenInside, RowRecord(99));
    EXPECT_EQ(log.firstRows, std::vector<std::int64_t>{0});
    // The page refused during production is produced when asked for afterwards.
    Read(1500);
    EXPECT_EQ(log.firstRows, (std::vector<std::int64_t>{0, 1024}));
}

TEST_F(PageSourceTest, ProducerExceptionLeavesThePageUnproduced)
{
    Make(600,
         [](CqzSampleAttributesDataSourceIter&, const CqzDataPage&) -> bool
         { throw std::runtime_error("producer failed"); });
    Iter it(source->CreateIter());
    EXPECT_THROW(it->GetValue(), std::runtime_error);
    EXPECT_FALSE(source->IsProducing());
    EXPECT_EQ(source->GetPageState(0), 0);
    EXPECT_EQ(source->GetAllocatedPageCount(), 0);
}

TEST_F(PageSourceTest, ClonesSharePagesAndOutliveTheProducer)
{
    Make(2000);
    std::unique_ptr<CqzDataSource> clone = source->Clone();
    EXPECT_EQ(Read(5), RowRecord(5));
    Iter viaClone = AttributeIter(*clone);
    ASSERT_NE(viaClone, nullptr);
    viaClone->SetPosition(5);
    EXPECT_EQ(viaClone->GetValue(), RowRecord(5));
    EXPECT_EQ(log.firstRows.size(), 1u);

    source.reset();
    EXPECT_TRUE(log.producerDestroyed);
    EXPECT_EQ(viaClone->GetValue(), RowRecord(5));
    viaClone->SetPosition(600);
    EXPECT_EQ(viaClone->GetValue(), CqzSampleAttributes());
    EXPECT_EQ(log.firstRows.size(), 1u);
}

TEST_F(PageSourceTest, DisplayableRowsAreNotCountedTwiceWhenAPageIsProducedAgain)
{
    Make(2000,
         [&](CqzSampleAttributesDataSourceIter&, const CqzDataPage& page)
         {
             source->SetDisplayableRowCount(source->GetDisplayableRowCount() - 10);
             source->NotifyBlockDone(page.GetFirstRow(), 1);
             return true;
         });
    EXPECT_EQ(source->GetDisplayableRowCount(), 2000);
    Read(700);
    EXPECT_EQ(source->GetDisplayableRowCount(), 1990);
    EXPECT_EQ(source->GetBlockDoneCount(), 1);
    EXPECT_EQ(source->GetLastBlockDoneRow(), 512);
    source->Invalidate();
    Read(700);
    Read(0);
    EXPECT_EQ(source->GetDisplayableRowCount(), 1980);
    EXPECT_EQ(source->GetBlockDoneCount(), 3);
    source->SetDisplayableRowCount(-5);
    EXPECT_EQ(source->GetDisplayableRowCount(), 0);
}

// The cache of a source's (instance, table) goes with the source, unless a newer source of the
// same pair took it over.
TEST_F(PageSourceTest, InvalidateAndNewIdsEmptyTheFilterCacheOfTheSourceThatReleasesIt)
{
    CqzDataCacheMgr::Instance().Reset();
    CqzSystemFilterCache& caches = CqzDataCacheMgr::Instance().GetSystemFilterCache();
    Make(100);
    const CqzID table, instance;
    auto& cache = caches.AddCache(instance, table);
    cache.AddRange(3, 9);
    source->SetIDs(table, instance);
    EXPECT_EQ(cache.GetRangeCount(), 0u);
    cache.AddRange(3, 9);
    source->Invalidate();
    EXPECT_EQ(cache.GetRangeCount(), 0u);

    auto newer = CqzDataSourceProxy::CreatePageDataSource(L"CqzSampleAttributes", 100, 512, 0);
    newer->SetIDs(table, instance);
    cache.AddRange(3, 9);
    source.reset();
    ASSERT_EQ(caches.GetCache(instance, table), &cache);
    EXPECT_EQ(cache.GetRangeCount(), 1u);
    newer.reset();
    EXPECT_EQ(caches.GetCache(instance, table), nullptr);
    CqzDataCacheMgr::Instance().Reset();
}

TEST(DataSourceProxy, RefusesBadRequestsWithALoggedReason)
{
    CqzInfoMgr::Instance().Reset();
    EXPECT_EQ(CqzDataSourceProxy::CreatePageDataSource(L"CqzTime", 10, 512, 0), nullptr);
    EXPECT_EQ(CqzDataSourceProxy::CreatePageDataSource(L"CqzSampleAttributes", -1, 512, 0),
              nullptr);
    EXPECT_EQ(CqzDataSourceProxy::CreatePageDataSource(L"CqzSampleAttributes", 10, 0, 0), nullptr);
    EXPECT_EQ(CqzDataSourceProxy::CreatePageDataSource(L"CqzSampleAttributes", 10, 512, 3),
              nullptr);
    EXPECT_EQ(CqzDataSourceProxy::CreatePageDataSourceWithSubrows(L"CqzSampleAttributes",
                                                                  std::int64_t{1} << 62, 512),
              nullptr);
    ASSERT_EQ(CqzInfoMgr::Instance().GetEntries().size(), 5u);
    EXPECT_NE(CqzInfoMgr::Instance().GetEntries()[0].text.Find(L"\"CqzTime\""), -1);
    auto empty = CqzDataSourceProxy::CreatePageDataSource(L"CqzSampleAttributes", 0, 512, 0);
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(Iter(empty->CreateIter())->IsAtEnd());
    CqzInfoMgr::Instance().Reset();
}

} // namespace
