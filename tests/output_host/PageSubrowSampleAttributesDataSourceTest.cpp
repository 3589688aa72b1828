#include "OutputTestProducers.h"

#include "qzSystem/output/CqzDataSourceProxy.h"

#include <gtest/gtest.h>

using namespace qztest;

namespace
{

using Iter = std::unique_ptr<CqzSampleAttributesDataSourceIter>;

// Row r gets r % 3 subrows; every line gets RowRecord(r, line).
bool ProduceLines(CqzSampleAttributesDataSourceIter& out, const CqzDataPage& page)
{
    for (std::int64_t row = page.GetFirstRow(); row <= page.GetLastRow(); ++row)
    {
        out.SetPosition(row);
        for (std::int64_t n = 0; n < row % 3; ++n)
            out.AddSubrow();
        for (std::int64_t line = 0; line <= row % 3; ++line, out.Next())
            out.SetValue(RowRecord(row, line));
    }
    return true;
}

class SubrowSourceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        source =
            CqzDataSourceProxy::CreatePageDataSourceWithSubrows(L"CqzSampleAttributes", 1100, 512);
        ASSERT_NE(source, nullptr);
        source->SetProducer(std::make_unique<SubrowProducer>(*source, log, ProduceLines));
    }
    // Every line in display order as (row, line) records.
    std::vector<CqzSampleAttributes> ReadAll()
    {
        std::vector<CqzSampleAttributes> lines;
        Iter it(source->CreateIter());
        for (it->SetPosition(0); !it->IsAtEnd(); it->Next())
            lines.push_back(it->GetValue());
        return lines;
    }

    ProductionLog log;
    std::unique_ptr<CqzPageSubrowSampleAttributesDataSource> source;
};

std::vector<CqzSampleAttributes> ExpectedLines(std::int64_t rows)
{
    std::vector<CqzSampleAttributes> lines;
    for (std::int64_t row = 0; row < rows; ++row)
        for (std::int64_t line = 0; line <= row % 3; ++line)
            lines.push_back(RowRecord(row, line));
    return lines;
}

TEST_F(SubrowSourceTest, DisplayWalksEveryLineOfEveryRow)
{
    Iter it(source->CreateIter());
    EXPECT_TRUE(it->IsPerSubrow());
    EXPECT_EQ(ReadAll(), ExpectedLines(1100));
    EXPECT_EQ(log.firstRows, (std::vector<std::int64_t>{0, 512, 1024}));
    EXPECT_EQ(source->GetRowCount(), 1100);
}

TEST_F(SubrowSourceTest, ProducingAgainDoesNotAccumulateSubrows)
{
    ReadAll();
    source->Invalidate();
    EXPECT_EQ(ReadAll(), ExpectedLines(1100));
    EXPECT_EQ(log.firstRows.size(), 6u);
}

TEST_F(SubrowSourceTest, PositioningAndSubrowQueries)
{
    auto* it = dynamic_cast<CqzPageSubrowSampleAttributesDataSourceIter*>(source->CreateIter());
    ASSERT_NE(it, nullptr);
    Iter owner(it);
    ASSERT_TRUE(it->SetPosition(515));
    EXPECT_EQ(it->GetSubrowCount(), 2);
    EXPECT_TRUE(it->Next());
    EXPECT_EQ(it->GetLine(), 1);
    EXPECT_EQ(it->GetValue(), RowRecord(515, 1));
    EXPECT_TRUE(it->NextRow());
    EXPECT_EQ(it->GetPosition(), 516);
    EXPECT_EQ(it->GetLine(), 0);
    EXPECT_EQ(it->GetValue(), RowRecord(516));
    EXPECT_EQ(log.firstRows, std::vector<std::int64_t>{512});
}

TEST_F(SubrowSourceTest, ProducerModeAddsSubrowsWithoutProduction)
{
    Iter writer(source->CreateIter());
    writer->SetAccessMode(5);
    writer->SetPosition(7);
    EXPECT_TRUE(writer->AddSubrow());
    EXPECT_TRUE(writer->Next());
    EXPECT_TRUE(writer->SetValue(RowRecord(1, 1)));
    EXPECT_TRUE(writer->Next());
    EXPECT_EQ(writer->GetPosition(), 8);
    EXPECT_TRUE(log.firstRows.empty());
    EXPECT_EQ(source->GetAllocatedPageCount(), 1);
    EXPECT_EQ(source->GetPageState(0), 0);
}

TEST(RowIter, HasNoSubrows)
{
    auto source = CqzDataSourceProxy::CreatePageDataSource(L"CqzSampleAttributes", 10, 512, 0);
    Iter it(source->CreateIter());
    EXPECT_FALSE(it->IsPerSubrow());
    EXPECT_FALSE(it->AddSubrow());
    EXPECT_TRUE(it->Next());
    EXPECT_EQ(it->GetPosition(), 1);
}

} // namespace
