// Storage of one column: values by width, sparse statuses, pooled texts.

#include "qzSystem/data/CqzSampleStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace
{

struct WidthCase
{
    int bits;
    int bytes;
};

class ValueStoreWidth : public ::testing::TestWithParam<WidthCase>
{
};

TEST_P(ValueStoreWidth, KeepsValuesAtTheSmallestByteWidthAndCutsToTheWidth)
{
    const WidthCase c = GetParam();
    CqzValueStore store(c.bits);
    EXPECT_EQ(store.GetByteWidth(), c.bytes);
    const CqzUInt mask = CqzUInt::LowMask(c.bits);
    const CqzUInt samples[] = {CqzUInt(0), CqzUInt(1), CqzUInt(0x5A5A5A5A5A5A5A5Aull),
                               CqzUInt(0x8000000000000001ull, 0xFEDCBA9876543210ull), ~CqzUInt()};
    store.Append(5, false);
    for (int i = 0; i < 5; ++i)
        store.Set(i, samples[i]);
    EXPECT_EQ(store.GetByteSize(), static_cast<std::size_t>(c.bytes > 0 ? 5 * c.bytes : 1));
    for (int i = 0; i < 5; ++i)
    {
        EXPECT_EQ(store.Get(i), samples[i] & mask) << "entry " << i;
        EXPECT_EQ(store.GetLow(i), (samples[i] & mask).GetLow()) << "entry " << i;
    }
}

// Bytes are written eight at a time into 1-byte entries, one by one into wider ones.
TEST_P(ValueStoreWidth, WritesRangesOfBytesCutToTheWidth)
{
    const WidthCase c = GetParam();
    CqzValueStore store(c.bits);
    std::uint8_t bytes[19];
    for (int i = 0; i < 19; ++i)
        bytes[i] = static_cast<std::uint8_t>(0xF0 + i * 7);
    store.Append(20, false);
    store.SetRange(1, bytes, 19);
    EXPECT_EQ(store.GetLow(0), 0u);
    for (int i = 0; i < 19; ++i)
        EXPECT_EQ(store.Get(i + 1), CqzUInt(bytes[i]) & CqzUInt::LowMask(c.bits)) << "entry " << i;
}

INSTANTIATE_TEST_SUITE_P(Widths, ValueStoreWidth,
                         ::testing::Values(WidthCase{1, 0}, WidthCase{8, 1}, WidthCase{9, 2},
                                           WidthCase{16, 2}, WidthCase{17, 4}, WidthCase{32, 4},
                                           WidthCase{33, 8}, WidthCase{64, 8}, WidthCase{65, 16},
                                           WidthCase{128, 16}),
                         [](const auto& info) { return "Bits" + std::to_string(info.param.bits); });

// 600 000 entries pass 2 MiB, where the buffer moves from the heap to a mapping; the block
// after that grows the mapping.
TEST(ValueStore, GrowsOneEntryAtATimeOrInBlocksAndKeepsEveryEntry)
{
    CqzValueStore store(32);
    constexpr std::uint32_t kSingles = 600000;
    for (std::uint32_t i = 0; i < kSingles; ++i)
    {
        store.Append(1);
        if (i % 3 != 2) // every third entry holds the one before
            store.Set(i, CqzUInt(i * 2654435761u));
    }
    store.Append(1000000); // a block that holds the last entry
    store.Append(10, false);
    ASSERT_EQ(store.GetCount(), kSingles + 1000010);
    for (std::uint32_t i = 0; i < kSingles; ++i)
    {
        const std::uint32_t written = i % 3 != 2 ? i : i - 1;
        ASSERT_EQ(store.GetLow(i), std::uint32_t(written * 2654435761u)) << i;
    }
    EXPECT_EQ(store.GetLow(kSingles + 999999), store.GetLow(kSingles - 1));
    EXPECT_EQ(store.GetLow(kSingles + 1000009), 0u);
}

// The first entry starts at zero; appended entries hold the last one, or start at zero too.
TEST(ValueStore, BlocksOfEveryWidthHoldTheLastEntry)
{
    for (int bits : {1, 16, 32, 64, 128})
    {
        CqzValueStore store(bits);
        const CqzUInt last =
            CqzUInt(0x0123456789ABCDEFull, 0xFEDCBA9876543210ull) & CqzUInt::LowMask(bits);
        store.Append(1);
        EXPECT_TRUE(store.Get(0).IsZero()) << bits;
        store.Set(0, last);
        store.Append(300000); // past 2 MiB for the wider entries
        EXPECT_EQ(store.Get(1), last) << bits;
        EXPECT_EQ(store.Get(150000), last) << bits;
        EXPECT_EQ(store.Get(300000), last) << bits;
        store.Append(1, false);
        EXPECT_TRUE(store.Get(300001).IsZero()) << bits;
        EXPECT_EQ(store.GetCount(), 300002) << bits;
    }
}

// One-bit entries are packed eight to a byte: blocks, single entries, ranges of bytes and of
// packed words at any bit offset must read like a plain array, also past 2 MiB where the buffer is mapped.
TEST(ValueStore, PackedBitsMatchAPlainArray)
{
    CqzValueStore store(1);
    std::vector<std::uint8_t> plain;
    std::mt19937 random(3);
    for (int step = 0; step < 3000; ++step)
    {
        const int kind = step == 1500 ? 0 : static_cast<int>(random() % 4);
        if (kind == 0)
        {
            const auto count = step == 1500 ? std::int64_t{20000000} : std::int64_t(random() % 40);
            const bool hold = random() % 2 != 0;
            store.Append(count, hold);
            const std::uint8_t fill = hold && !plain.empty() ? plain.back() : 0;
            plain.resize(plain.size() + static_cast<std::size_t>(count), fill);
        }
        else if (kind == 1 && !plain.empty())
        {
            const std::size_t at = random() % plain.size();
            const std::uint8_t bit = random() % 2;
            store.Set(static_cast<std::int64_t>(at), CqzUInt(bit | 6u)); // cut to one bit
            plain[at] = bit;
        }
        else if (kind == 2 && !plain.empty())
        {
            // Words of packed bits, read from any bit of the first word.
            const std::size_t at = random() % plain.size();
            const std::size_t count = std::min<std::size_t>(random() % 200, plain.size() - at);
            const std::size_t from = random() % 64;
            std::vector<std::uint64_t> words((from + count + 63) / 64 + 1);
            for (std::uint64_t& w : words)
                w = (std::uint64_t{random()} << 32) | random();
            store.SetPackedBits(static_cast<std::int64_t>(at), words.data(),
                                static_cast<std::int64_t>(from), static_cast<std::int64_t>(count));
            for (std::size_t i = 0; i < count; ++i)
                plain[at + i] = (words[(from + i) / 64] >> ((from + i) % 64)) & 1;
        }
        else if (!plain.empty())
        {
            const std::size_t at = random() % plain.size();
            const std::size_t count = std::min<std::size_t>(random() % 70, plain.size() - at);
            std::vector<std::uint8_t> bytes(count);
            for (std::uint8_t& b : bytes)
                b = static_cast<std::uint8_t>(random() & 0xff);
            store.SetRange(static_cast<std::int64_t>(at), bytes.data(),
                           static_cast<std::int64_t>(count));
            for (std::size_t i = 0; i < count; ++i)
                plain[at + i] = bytes[i] & 1;
        }
    }
    ASSERT_EQ(store.GetCount(), static_cast<std::int64_t>(plain.size()));
    EXPECT_EQ(store.GetByteSize(), (plain.size() + 7) / 8);
    for (std::size_t i = 0; i < plain.size(); ++i)
        ASSERT_EQ(store.GetLow(static_cast<std::int64_t>(i)), plain[i]) << "entry " << i;
}

// The sparse statuses must read exactly like a plain per-line array, whatever the order of
// writes and reads.
TEST(StatusStore, MatchesAPlainArrayUnderRandomWritesAndReads)
{
    std::mt19937 random(7);
    CqzStatusStore store;
    std::vector<int> plain;
    for (int step = 0; step < 3000; ++step)
    {
        const int action = random() % 4;
        if (action == 0 || plain.empty())
            plain.push_back(plain.empty() ? 0 : plain.back()); // append holds the last status
        else
        {
            const auto line = static_cast<std::int64_t>(random() % plain.size());
            const int status = static_cast<int>(random() % 3) * 2 % 5; // 0, 2 or 4
            store.Set(line, status, static_cast<std::int64_t>(plain.size()));
            plain[line] = status;
        }
    }
    std::size_t cursor = 0;
    for (std::size_t line = 0; line < plain.size(); ++line)
        ASSERT_EQ(store.Get(static_cast<std::int64_t>(line), cursor), plain[line]) << line;
    for (int i = 0; i < 2000; ++i)
    {
        const auto line = static_cast<std::int64_t>(random() % plain.size());
        ASSERT_EQ(store.Get(line, cursor), plain[line]) << line;
        ASSERT_EQ(store.Get(line), plain[line]) << line;
    }
}

TEST(StatusStore, StoresOnlyTheChanges)
{
    CqzStatusStore store;
    for (int line = 0; line < 1000; ++line)
        store.Set(line, 0, line + 1);
    EXPECT_TRUE(store.IsEmpty());
    store.Set(10, 4, 1000);
    EXPECT_EQ(store.GetChangeCount(), 2u); // unknown from 10, known again from 11
    store.Set(11, 4, 1000);
    store.Set(12, 4, 1000);
    EXPECT_EQ(store.GetChangeCount(), 2u); // still one stretch
    store.Set(11, 0, 1000);
    EXPECT_EQ(store.GetChangeCount(), 4u);
    store.Set(11, 4, 1000);
    EXPECT_EQ(store.GetChangeCount(), 2u);
    EXPECT_EQ(store.Get(9), 0);
    EXPECT_EQ(store.Get(12), 4);
    EXPECT_EQ(store.Get(13), 0);
}

TEST(StringStore, PoolsEachDistinctTextOnce)
{
    CqzStringStore pool;
    const auto a = pool.Add(L"read", 4);
    const auto b = pool.Add(L"write", 5);
    const std::size_t size = pool.GetPoolSize();
    EXPECT_EQ(pool.Add(L"read", 4), a);
    EXPECT_EQ(pool.Add(L"readX", 4), a); // the length decides, not the terminator
    EXPECT_EQ(pool.GetPoolSize(), size);
    EXPECT_NE(a, b);
    EXPECT_STREQ(pool.Get(a), L"read");
    EXPECT_STREQ(pool.Get(b), L"write");
    EXPECT_EQ(pool.Add(L"", 0), 0u);
    EXPECT_STREQ(pool.Get(12345), L"");
}

TEST(SampleStore, WritingAValueOrTextClearsItsStatusOnly)
{
    CqzSampleStore texts(eqzSampleString, 0);
    texts.Append(3);
    texts.FillStatus(4);
    EXPECT_TRUE(texts.SetText(1, L"ack", 3));
    EXPECT_EQ(texts.GetStatus(0), 4);
    EXPECT_EQ(texts.GetStatus(1), 0);
    EXPECT_EQ(texts.GetStatus(2), 4);
    EXPECT_STREQ(texts.GetText(1), L"ack");
    EXPECT_FALSE(texts.SetValue(1, CqzUInt(5))); // a number does not fit a string column
    EXPECT_FALSE(texts.SetText(3, L"x", 1));     // beyond the last line

    CqzSampleStore times(eqzSampleTime, 0);
    times.Append(1);
    EXPECT_TRUE(times.SetTime(0, -25));
    EXPECT_EQ(times.GetTime(0), -25);
}

} // namespace
