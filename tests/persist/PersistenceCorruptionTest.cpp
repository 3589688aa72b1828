#include "qzSystem/persist/CqzPersistenceException.h"
#include "qzSystem/persist/CqzPersistenceSetup.h"
#include "RawSetup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

namespace
{
using Bytes = std::vector<std::uint8_t>;

// A tag holding one value of each kind, inside one more tag.
Bytes ValidSetup()
{
    Bytes buffer;
    CqzPersistenceSetup writer(buffer, eqzPersistWrite);
    writer.OpenTag(L"Filter");
    writer.Write(L"Name", L"n\u00e4me");
    writer.Write(L"On", true);
    writer.OpenTag(L"Inner");
    writer.Write(L"Count", 3u);
    writer.Write(L"Blob", Bytes{1, 2, 3});
    writer.CloseTag();
    writer.CloseTag();
    writer.Close();
    return buffer;
}

Bytes Nested(int depth)
{
    Bytes body = RawSetup().U32(0).Get();
    for (int i = 0; i < depth; ++i)
        body = RawSetup().U32(1).Tag("t", body).Get();
    return body;
}

std::string ReadError(const Bytes& data)
{
    Bytes copy = data;
    try
    {
        CqzPersistenceSetup setup(copy, eqzPersistRead);
    }
    catch (const CqzPersistenceException& e)
    {
        return e.what();
    }
    return "(accepted)";
}

struct Corruption
{
    const char* name;
    std::function<Bytes()> make;
    const char* message; // part of the expected error text
};

void PrintTo(const Corruption& c, std::ostream* os)
{
    *os << c.name;
}

Bytes Framed(const RawSetup& body)
{
    return RawSetup::Finish(body.Get());
}

// The valid setup after `change`.
Bytes Changed(void (*change)(Bytes&))
{
    Bytes bytes = ValidSetup();
    change(bytes);
    return bytes;
}

const Corruption Corruptions[] = {
    {"Empty", [] { return Bytes{}; }, "magic word"},
    {"WrongMagic", [] { return Changed([](Bytes& b) { b[0] = 'X'; }); }, "magic word"},
    {"HeaderCut", [] { return Bytes{'Q', 'Z', 'S', 'P', 1, 0}; }, "truncated"},
    {"FutureVersion", [] { return RawSetup::Finish(RawSetup().U32(0).Get(), 2); }, "version 2"},
    {"Reserved", [] { return RawSetup::Finish(RawSetup().U32(0).Get(), 1, 1); }, "reserved"},
    {"TrailingGarbage", [] { return Changed([](Bytes& b) { b.push_back(0); }); }, "does not match"},
    {"ChecksumWrong", [] { return Changed([](Bytes& b) { b.back() ^= 1; }); }, "checksum"},
    {"CountOfFourBillion", [] { return Framed(RawSetup().U32(0xFFFFFFFFu)); }, "entries"},
    {"TagPastTheEnd", [] { return Framed(RawSetup().U32(1).Entry(1, "t").U32(1000).U32(0)); },
     "tag body"},
    {"TextPastTheEnd",
     [] { return Framed(RawSetup().U32(1).Entry(2, "s").U32(0xFFFFFFF0u).Raw(std::string("ab"))); },
     "text needs"},
    {"BlockPastTheEnd", [] { return Framed(RawSetup().U32(1).Entry(5, "b").U32(0xFFFFFFFFu)); },
     "byte block"},
    {"NamePastTheEnd",
     [] { return Framed(RawSetup().U32(1).U8(3).U16(0xFFFF).Raw(std::string("x"))); },
     "name needs"},
    {"TooDeep", [] { return RawSetup::Finish(Nested(CqzPersistenceCodec::MaxDepth + 1)); },
     "nested deeper"},
    {"BoolOfTwo", [] { return Framed(RawSetup().U32(1).Entry(3, "b").U8(2)); }, "neither 0 nor 1"},
    {"UnknownKind", [] { return Framed(RawSetup().U32(1).Entry(9, "k").U8(0)); }, "kind 9"},
    {"OverlongUtf8Name", [] { return Framed(RawSetup().U32(1).Entry(3, "\xC0\xAF").U8(0)); },
     "UTF-8"},
    {"SurrogateInText", [] { return Framed(RawSetup().U32(1).Text("s", "\xED\xA0\x80")); },
     "UTF-8"},
    {"TagBodyNotUsedUp",
     [] { return Framed(RawSetup().U32(1).Tag("t", RawSetup().U32(0).U8(7).Get())); },
     "unused bytes"},
    {"RootBodyNotUsedUp", [] { return Framed(RawSetup().U32(0).U32(0)); }, "unused bytes"},
    {"UInt32Cut", [] { return Framed(RawSetup().U32(1).Entry(4, "u").U16(1)); }, "unsigned value"},
};

class PersistenceCorruptionTest : public ::testing::TestWithParam<Corruption>
{
};

TEST_P(PersistenceCorruptionTest, IsRefusedWithAClearMessage)
{
    EXPECT_THAT(ReadError(GetParam().make()), ::testing::HasSubstr(GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(Table, PersistenceCorruptionTest, ::testing::ValuesIn(Corruptions),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PersistenceCorruption, EveryTruncationIsRefused)
{
    const Bytes valid = ValidSetup();
    ASSERT_EQ(ReadError(valid), "(accepted)");
    for (std::size_t length = 0; length < valid.size(); ++length)
        EXPECT_NE(ReadError(Bytes(valid.begin(), valid.begin() + length)), "(accepted)")
            << "cut at " << length;
}

TEST(PersistenceCorruption, EverySingleBitFlipIsRefused)
{
    const Bytes valid = ValidSetup();
    for (std::size_t bit = 0; bit < valid.size() * 8; ++bit)
    {
        Bytes flipped = valid;
        flipped[bit / 8] ^= static_cast<std::uint8_t>(1u << (bit % 8));
        EXPECT_NE(ReadError(flipped), "(accepted)") << "bit " << bit;
    }
}
} // namespace
