#include "qzSystem/persist/CqzPersistenceException.h"
#include "qzSystem/persist/CqzPersistenceSetup.h"
#include "RawSetup.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
using Bytes = std::vector<std::uint8_t>;

// Writes through Fill, closes, and reopens the result for reading.
template <typename Fill> std::unique_ptr<CqzPersistenceSetup> RoundTrip(Fill fill, Bytes& buffer)
{
    {
        CqzPersistenceSetup writer(buffer, eqzPersistWrite);
        fill(writer);
        writer.Close();
    }
    return std::make_unique<CqzPersistenceSetup>(buffer, eqzPersistRead);
}

// Reads a value that must be there, starting from `start` so that a read that answers true
// without storing anything is seen.
template <typename T> T Read(CqzPersistenceSetup& setup, const wchar_t* name, T start = T())
{
    EXPECT_TRUE(setup.Read(name, start)) << CString(name).ToUtf8();
    return start;
}

class PersistenceSetupTest : public ::testing::Test
{
protected:
    Bytes buffer;
};

TEST_F(PersistenceSetupTest, NestedTagsAndEveryValueTypeSurviveARoundTrip)
{
    const CString text(L"Gr\u00fc\u00dfe \u2713 \U0001F600");
    const Bytes block{0, 1, 0xFF, 0x80};
    auto setup = RoundTrip(
        [&](CqzPersistenceSetup& w)
        {
            w.Write(L"Top", 7u);
            EXPECT_TRUE(w.OpenTag(L"Filter", false));
            w.Write(L"Name", text);
            w.Write(L"Enabled", false);
            w.OpenTag(L"FilterTerms");
            w.OpenTag(L"FilterTerm0", false);
            w.Write(L"Color", 0xFFFFFFFFu);
            w.Write(L"Empty", L"");
            w.Write(L"Block", block);
            w.Write(L"NoBytes", Bytes{});
            w.CloseTag(false);
            w.CloseTag();
            w.Write(L"After", true);
            w.CloseTag(false);
        },
        buffer);
    EXPECT_EQ(Read<std::uint32_t>(*setup, L"Top"), 7u);
    ASSERT_TRUE(setup->OpenTag(L"Filter", false));
    EXPECT_EQ(Read<CString>(*setup, L"Name"), text);
    EXPECT_FALSE(Read<bool>(*setup, L"Enabled", true));
    setup->OpenTag(L"FilterTerms");
    ASSERT_TRUE(setup->OpenTag(L"FilterTerm0", false));
    EXPECT_EQ(Read<std::uint32_t>(*setup, L"Color"), 0xFFFFFFFFu);
    EXPECT_TRUE(Read<CString>(*setup, L"Empty", L"x").IsEmpty());
    EXPECT_EQ(Read<Bytes>(*setup, L"Block"), block);
    EXPECT_TRUE(Read<Bytes>(*setup, L"NoBytes", Bytes{9}).empty());
    setup->CloseTag(false);
    setup->CloseTag();
    EXPECT_TRUE(Read<bool>(*setup, L"After"));
    setup->CloseTag(false);
    EXPECT_EQ(setup->GetOpenTagCount(), 0);
}

// Values that are missing or of another kind leave the targets unchanged; a value is not a
// tag: a scoped open answers false and opens nothing, a required open throws.
TEST_F(PersistenceSetupTest, MissingOrMistypedValuesAndTagsLeaveTargetsUnchanged)
{
    auto setup = RoundTrip([](CqzPersistenceSetup& w) { w.Write(L"Number", 5u); }, buffer);
    CString text(L"keep");
    bool flag = true;
    std::uint32_t number = 42;
    Bytes bytes{1, 2};
    EXPECT_FALSE(setup->Read(L"Absent", text));
    EXPECT_FALSE(setup->Read(L"Absent", number));
    EXPECT_FALSE(setup->Read(L"Number", flag)); // stored as unsigned
    EXPECT_FALSE(setup->Read(L"Number", text));
    EXPECT_FALSE(setup->Read(L"Number", bytes));
    EXPECT_EQ(text, L"keep");
    EXPECT_TRUE(flag);
    EXPECT_EQ(number, 42u);
    EXPECT_EQ(bytes, (Bytes{1, 2}));
    EXPECT_FALSE(setup->OpenTag(L"Number", false));
    EXPECT_EQ(setup->GetOpenTagCount(), 0);
    EXPECT_THROW(setup->OpenTag(L"Number", true), CqzPersistenceException);
    EXPECT_TRUE(setup->Read(L"Number", number));
}

TEST_F(PersistenceSetupTest, MissingPlainTagIsBalancedAndEverythingInsideIsMissing)
{
    auto setup = RoundTrip(
        [](CqzPersistenceSetup& w)
        {
            w.Write(L"Name", L"outer");
            w.OpenTag(L"Inner", false);
            w.Write(L"Name", L"inner");
            w.CloseTag(false);
        },
        buffer);
    CString name(L"unchanged");
    setup->OpenTag(L"Absent");
    EXPECT_FALSE(setup->Read(L"Name", name));
    EXPECT_FALSE(setup->OpenTag(L"Inner", false));
    setup->OpenTag(L"Deeper");
    setup->CloseTag();
    setup->CloseTag();
    EXPECT_EQ(name, L"unchanged");
    EXPECT_EQ(setup->GetOpenTagCount(), 0);
    EXPECT_TRUE(setup->Read(L"Name", name));
    EXPECT_EQ(name, L"outer");
}

TEST_F(PersistenceSetupTest, RepeatedWritesReplaceAndReopenedTagsMerge)
{
    auto setup = RoundTrip(
        [](CqzPersistenceSetup& w)
        {
            w.Write(L"V", 1u);
            w.Write(L"V", 2u);
            w.OpenTag(L"T");
            w.Write(L"A", true);
            w.CloseTag();
            w.OpenTag(L"T");
            w.Write(L"B", true);
            w.CloseTag();
        },
        buffer);
    std::uint32_t v = 0;
    bool a = false, b = false;
    EXPECT_TRUE(setup->Read(L"V", v));
    EXPECT_EQ(v, 2u);
    ASSERT_TRUE(setup->OpenTag(L"T", false));
    EXPECT_TRUE(setup->Read(L"A", a) && setup->Read(L"B", b));
}

TEST_F(PersistenceSetupTest, HandMadeDuplicatesAnswerTheFirst)
{
    RawSetup body;
    body.U32(2).Text("N", "first").Text("N", "second");
    buffer = RawSetup::Finish(body.Get());
    CqzPersistenceSetup setup(buffer, eqzPersistRead);
    CString n;
    EXPECT_TRUE(setup.Read(L"N", n));
    EXPECT_EQ(n, L"first");
}

TEST_F(PersistenceSetupTest, BufferIsFilledOnCloseOrByTheDestructor)
{
    buffer = {0xAA};
    {
        CqzPersistenceSetup writer(buffer, eqzPersistWrite);
        writer.Write(L"X", true);
        EXPECT_EQ(buffer, Bytes{0xAA}); // untouched until finalised
    }
    CqzPersistenceSetup reader(buffer, eqzPersistRead);
    bool x = false;
    EXPECT_TRUE(reader.Read(L"X", x) && x);
}

TEST_F(PersistenceSetupTest, MisuseThrowsTheOneException)
{
    EXPECT_THROW(CqzPersistenceSetup(buffer, 3), CqzPersistenceException);
    CqzPersistenceSetup writer(buffer, eqzPersistWrite);
    EXPECT_THROW(writer.CloseTag(), CqzPersistenceException);
    EXPECT_THROW(writer.Write(CString(L'n', 70000), true), CqzPersistenceException);
    writer.Close();
    EXPECT_THROW(writer.Write(L"Late", true), CqzPersistenceException);
    CqzPersistenceSetup reader(buffer, eqzPersistRead);
    EXPECT_THROW(reader.Write(L"X", true), CqzPersistenceException);
}

TEST_F(PersistenceSetupTest, NestingIsLimitedOnWriteAndTheLimitReadsBack)
{
    {
        CqzPersistenceSetup writer(buffer, eqzPersistWrite);
        for (int i = 0; i < CqzPersistenceCodec::MaxDepth; ++i)
            writer.OpenTag(L"T");
        writer.Write(L"Deep", 1u);
        EXPECT_THROW(writer.OpenTag(L"T"), CqzPersistenceException);
    }
    CqzPersistenceSetup reader(buffer, eqzPersistRead);
    for (int i = 0; i < CqzPersistenceCodec::MaxDepth; ++i)
        ASSERT_TRUE(reader.OpenTag(L"T", false));
    std::uint32_t deep = 0;
    EXPECT_TRUE(reader.Read(L"Deep", deep));
}
} // namespace
