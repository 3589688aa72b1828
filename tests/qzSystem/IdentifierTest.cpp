#include "qzSystem/ids/CqzBitSet.h"
#include "qzSystem/ids/CqzID.h"
#include "qzSystem/ids/CqzUInt.h"

#include <gtest/gtest.h>
#include <set>
#include <thread>
#include <unordered_set>

namespace
{

TEST(CqzID, FreshIdentifiersDifferAlsoAcrossThreads)
{
    std::vector<CqzID> ids(2000);
    std::thread other([&] {
        for (int i = 1000; i < 2000; ++i)
            ids[static_cast<std::size_t>(i)] = CqzID();
    });
    for (int i = 0; i < 1000; ++i)
        ids[static_cast<std::size_t>(i)] = CqzID();
    other.join();
    std::unordered_set<CqzID> unique(ids.begin(), ids.end());
    EXPECT_EQ(unique.size(), ids.size());
}

TEST(CqzID, ParsesTheRegistryFormBytewise)
{
    CqzID id;
    ASSERT_TRUE(id.SetValue(L"{6A1C3E52-5B7D-4F19-8E2A-3D9C1B7F0A64}"));
    const GUID& g = id.GetGUID();
    EXPECT_EQ(g.Data1, 0x6A1C3E52u);
    EXPECT_EQ(g.Data2, 0x5B7D);
    EXPECT_EQ(g.Data3, 0x4F19);
    EXPECT_EQ(g.Data4[0], 0x8E);
    EXPECT_EQ(g.Data4[7], 0x64);
    EXPECT_EQ(id.ToString(), L"{6A1C3E52-5B7D-4F19-8E2A-3D9C1B7F0A64}");

    CqzID lower;
    ASSERT_TRUE(lower.SetValue(L"6a1c3e52-5b7d-4f19-8e2a-3d9c1b7f0a64"));
    EXPECT_EQ(lower, id);
    CqzID oneByteOff;
    oneByteOff.SetValue(L"{6A1C3E52-5B7D-4F19-8E2A-3D9C1B7F0A65}");
    EXPECT_NE(oneByteOff, id);
}

class CqzIDRejects : public ::testing::TestWithParam<const wchar_t*>
{
};

TEST_P(CqzIDRejects, MalformedTextKeepsTheValue)
{
    CqzID id;
    const CqzID before = id;
    EXPECT_FALSE(id.SetValue(GetParam()));
    EXPECT_EQ(id, before);
}

INSTANTIATE_TEST_SUITE_P(Texts, CqzIDRejects,
                         ::testing::Values(L"", L"{}", L"{6A1C3E52-5B7D-4F19-8E2A-3D9C1B7F0A6}",
                                           L"{6A1C3E52-5B7D-4F19-8E2A-3D9C1B7F0A64",
                                           L"{6A1C3E52+5B7D-4F19-8E2A-3D9C1B7F0A64}",
                                           L"{6A1C3E52-5B7D-4F19-8E2A-3D9C1B7F0A6G}",
                                           L"6A1C3E52-5B7D-4F19-8E2A3-D9C1B7F0A64"));

TEST(CqzUInt, OrderIsDecidedByTheUpperWordsFirst)
{
    const CqzUInt bigHigh = CqzUInt::FromWords(0, 0, 1, 0);  // 2^64
    const CqzUInt allLow = CqzUInt::FromWords(~0u, ~0u, 0, 0); // 2^64 - 1
    EXPECT_LT(allLow, bigHigh);
    EXPECT_GT(bigHigh, allLow);
    EXPECT_LE(allLow, allLow);
    EXPECT_GE(bigHigh, bigHigh);
    EXPECT_NE(allLow, bigHigh);
    const CqzUInt top = CqzUInt::FromWords(0, 0, 0, 0x80000000u);
    EXPECT_LT(bigHigh, top);
    EXPECT_TRUE(CqzUInt(5) < CqzUInt(6) && !(CqzUInt(6) < CqzUInt(6)));
}

TEST(CqzUInt, WordsMasksAndBitOperations)
{
    CqzUInt v = CqzUInt::FromWords(1, 2, 3, 4);
    EXPECT_EQ(v.GetWord(0), 1u);
    EXPECT_EQ(v.GetWord(3), 4u);
    v.SetWord(2, 0xFFFFFFFFu);
    EXPECT_EQ(v.GetWord(2), 0xFFFFFFFFu);
    EXPECT_EQ(v.GetWord(3), 4u);

    EXPECT_EQ(CqzUInt::LowMask(8), CqzUInt(0xFF));
    EXPECT_EQ(CqzUInt::LowMask(64), CqzUInt(0, ~0ull));
    EXPECT_EQ(CqzUInt::LowMask(72), CqzUInt(0xFF, ~0ull));
    EXPECT_EQ(CqzUInt::LowMask(128), ~CqzUInt());
    EXPECT_EQ(~CqzUInt(0x0F) & CqzUInt(0x5A), CqzUInt(0x50));
    EXPECT_EQ(CqzUInt(1) << 100, CqzUInt::FromWords(0, 0, 0, 16));
    EXPECT_EQ((CqzUInt(1) << 100) >> 100, CqzUInt(1));
}

TEST(CqzBitSet, BuiltFromListedBits)
{
    CqzBitSet s{2, 19, 63, 64, -1};
    EXPECT_TRUE(s.IsSet(2));
    EXPECT_TRUE(s.IsSet(19));
    EXPECT_TRUE(s.IsSet(63));
    EXPECT_FALSE(s.IsSet(64));
    EXPECT_FALSE(s.IsSet(3));
    EXPECT_EQ(CqzBitSet::Range(1, 3), (CqzBitSet{1, 2, 3}));
}

} // namespace
