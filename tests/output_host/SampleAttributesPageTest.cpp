#include "qzSystem/output/CqzRecordPalette.h"
#include "qzSystem/output/CqzSampleAttributesPage.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace
{
constexpr int PageRows = 512;

// Pages of one store's memory written with records drawn from `distinct` values, whole pages,
// pieces, picks of a few records and single rows, on the vector form and the plain one.
class SampleAttributesPageTest : public testing::TestWithParam<bool>
{
protected:
    void SetUp() override
    {
        if (CqzRecordPalette::SetVectorUnit(GetParam()) != GetParam())
            GTEST_SKIP() << "the processor has no AVX-512";
    }
    void TearDown() override { CqzRecordPalette::SetVectorUnit(true); }

    std::vector<CqzSampleAttributes> Draw(int distinct, int count)
    {
        std::vector<CqzSampleAttributes> records;
        for (int i = 0; i < count; ++i)
        {
            // Runs and single rows alike; value 0 (the default record) among them.
            const auto value = static_cast<std::uint64_t>(rng() % distinct);
            const int run = rng() % 4 == 0 ? static_cast<int>(rng() % 40) + 1 : 1;
            for (int r = 0; r < run && i < count; ++r, ++i)
                records.emplace_back(value * 0x0123456789ABull);
            --i;
        }
        return records;
    }

    static std::vector<CqzSampleAttributes> ReadAll(const CqzSampleAttributesPage& page)
    {
        std::vector<CqzSampleAttributes> read(PageRows);
        page.Read(0, read.data(), PageRows);
        return read;
    }

    std::mt19937 rng{7};
    CqzSampleAttributesPageMemory memory{PageRows};
};

struct SqzShape
{
    int distinct;
    bool plain; // whether the pages must fall back to plain records
};

TEST_P(SampleAttributesPageTest, RecordsReadBackAsWrittenWhateverTheirVariety)
{
    for (const SqzShape shape : {SqzShape{3, false}, SqzShape{16, false}, SqzShape{17, false},
                                 SqzShape{256, false}, SqzShape{700, true}})
    {
        SCOPED_TRACE("distinct records: " + std::to_string(shape.distinct));
        CqzSampleAttributesPageMemory fresh(PageRows);
        std::vector<std::unique_ptr<CqzSampleAttributesPage>> pages;
        std::vector<std::vector<CqzSampleAttributes>> expected;
        for (int p = 0; p < 6; ++p)
        {
            auto page = std::make_unique<CqzSampleAttributesPage>(PageRows, fresh);
            std::vector<CqzSampleAttributes> records = Draw(shape.distinct, PageRows);
            // A whole page, then a piece over it, then single rows.
            page->Write(0, records.data(), PageRows);
            const std::vector<CqzSampleAttributes> piece = Draw(shape.distinct, 77);
            page->Write(101, piece.data(), 77);
            std::copy(piece.begin(), piece.end(), records.begin() + 101);
            // Rows given as picks of a few records (past 16 of them, the plain lookup).
            const int choiceCount = 1 + static_cast<int>(rng() % 24);
            const std::vector<CqzSampleAttributes> choices = Draw(shape.distinct, choiceCount);
            std::vector<std::uint8_t> picks(130);
            for (std::size_t i = 0; i < picks.size(); ++i)
            {
                picks[i] = static_cast<std::uint8_t>(rng() % choiceCount);
                records[250 + i] = choices[picks[i]];
            }
            page->WriteChosen(250, picks.data(), choices.data(), choiceCount, 130);
            for (int row : {0, 7, 8, 300, 511})
            {
                records[std::size_t(row)] = Draw(shape.distinct, 1)[0];
                page->Set(row, records[std::size_t(row)]);
            }
            pages.push_back(std::move(page));
            expected.push_back(records);
        }
        for (std::size_t p = 0; p < pages.size(); ++p)
        {
            EXPECT_EQ(ReadAll(*pages[p]), expected[p]) << "page " << p;
            EXPECT_EQ(pages[p]->Get(300), expected[p][300]);
        }
        EXPECT_EQ(pages.back()->IsPlain(), shape.plain);
        EXPECT_LE(fresh.GetPalette().GetCount(), CqzRecordPalette::Capacity);
    }
}

// A page starts with default records and goes back to them on Reset, coded or plain.
TEST_P(SampleAttributesPageTest, ResetGivesDefaultRecords)
{
    const std::vector<CqzSampleAttributes> defaults(PageRows);
    CqzSampleAttributesPage coded(PageRows, memory);
    EXPECT_EQ(ReadAll(coded), defaults);
    std::vector<CqzSampleAttributes> many;
    for (std::uint64_t i = 1; i <= PageRows; ++i)
        many.emplace_back(i);
    CqzSampleAttributesPage plain(PageRows, memory);
    plain.Write(0, many.data(), PageRows);
    coded.Write(0, many.data(), 64);
    ASSERT_TRUE(plain.IsPlain());
    for (CqzSampleAttributesPage* page : {&coded, &plain})
    {
        page->Reset();
        EXPECT_EQ(ReadAll(*page), defaults);
    }
}

INSTANTIATE_TEST_SUITE_P(Units, SampleAttributesPageTest, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info)
                         { return info.param ? "Vector" : "Plain"; });
} // namespace
