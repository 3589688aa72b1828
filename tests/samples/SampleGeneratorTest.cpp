#include "CqzSampleGenerator.h"
#include "capture/CqzVcdImporter.h"
#include "capture/CaptureTestUtil.h"

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

using namespace capture_test;

namespace
{
std::string Generate(std::int64_t rows, std::uint64_t seed = CqzSampleGenerator::kDefaultSeed)
{
    std::ostringstream out;
    CqzSampleGenerator(rows, seed).Write(out);
    return out.str();
}

// What each message allows of the status and the direction.
struct Kind
{
    std::uint8_t low;
    std::uint8_t high;
    int write; // 0 read, 1 write
};

const std::map<std::string, Kind>& Kinds()
{
    static const std::map<std::string, Kind> kinds{
        {"idle", {0x00, 0x00, 0}},        {"fetch", {0x10, 0x17, 0}},
        {"read", {0x10, 0x17, 0}},        {"write", {0x20, 0x27, 1}},
        {"dma_burst", {0x20, 0x27, 1}},   {"irq_ack", {0x50, 0x50, 0}},
        {"err_bus", {0x81, 0x81, 1}},     {"err_parity", {0x82, 0x82, 0}},
        {"err_timeout", {0x83, 0x83, 0}}, {"wait", {0x18, 0x28, -1}}};
    return kinds;
}

class SampleTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        CqzLabelMgr::Instance().Reset();
        s_text = new std::string(Generate(CqzSampleGenerator::kDefaultRows));
        s_data = CqzVcdImporter().ImportText(*s_text, "cpu-bus.vcd").release();
    }
    static void TearDownTestSuite()
    {
        delete s_data;
        delete s_text;
    }
    static const CqzDataTable& Table() { return *s_data->GetTable(0); }

    static std::string* s_text;
    static CqzData* s_data;
};
std::string* SampleTest::s_text = nullptr;
CqzData* SampleTest::s_data = nullptr;
} // namespace

TEST_F(SampleTest, SameTextOnEveryRunAndAnotherWithAnotherSeed)
{
    EXPECT_EQ(Generate(CqzSampleGenerator::kDefaultRows), *s_text);
    EXPECT_NE(Generate(500, 7), Generate(500));
}

TEST_F(SampleTest, TheBuildWroteTheGeneratorsOutput)
{
    std::ifstream file(QZ_BUILT_SAMPLE, std::ios::binary);
    const std::string built{std::istreambuf_iterator<char>(file), {}};
    EXPECT_TRUE(built == *s_text)
        << QZ_BUILT_SAMPLE << " differs from the generator's output";
}

TEST_F(SampleTest, ImportsAsFiveLabelsOneRowPerCycle)
{
    const CqzDataTable& t = Table();
    EXPECT_EQ(Names(t), (std::vector<std::string>{"ADDR", "DATA", "RW", "STAT", "MSG"}));
    ASSERT_EQ(t.GetRowCount(), CqzSampleGenerator::kDefaultRows);
    EXPECT_EQ(TimeAt(t, 1), 10000);
    EXPECT_EQ(TimeAt(t, t.GetRowCount() - 1), (CqzSampleGenerator::kDefaultRows - 1) * 10000);
    for (const char* name : {"ADDR", "DATA"})
        EXPECT_EQ(LabelOf(t, Column(t, name))->GetWidth(), 32) << name;
    EXPECT_EQ(LabelOf(t, Column(t, "STAT"))->GetWidth(), 8);
}

TEST_F(SampleTest, EveryRowsStatusDirectionAndMessageAgree)
{
    const CqzDataTable& t = Table();
    std::map<std::string, std::int64_t> count;
    for (std::int64_t row = 0; row < t.GetRowCount(); ++row)
    {
        const std::string msg = At(t, "MSG", row).text;
        const auto stat = Value(t, "STAT", row);
        const auto rw = Value(t, "RW", row);
        const auto kind = Kinds().find(msg);
        ASSERT_NE(kind, Kinds().end()) << "row " << row << ": " << msg;
        const bool wait = msg == "wait";
        ASSERT_TRUE(wait ? stat == 0x18 + 0x10 * rw
                         : stat >= kind->second.low && stat <= kind->second.high &&
                               static_cast<int>(rw) == kind->second.write)
            << "row " << row << ": " << msg << " STAT " << stat << " RW " << rw;
        if (msg == "fetch")
        {
            ASSERT_LT(Value(t, "ADDR", row), 0x40000u) << "row " << row;
        }
        ++count[msg];
    }
    EXPECT_EQ(count.size(), Kinds().size()) << "every kind of cycle occurs";
    const std::int64_t rows = t.GetRowCount();
    EXPECT_GT(count["idle"], rows / 2);
    const std::int64_t errors = count["err_bus"] + count["err_parity"] + count["err_timeout"];
    EXPECT_LT(errors, rows / 500);
    EXPECT_GT(count["irq_ack"], 10);
}

TEST(SampleGenerator, WritesExactlyTheRowsAskedFor)
{
    for (std::int64_t rows : {1, 7, 1000})
    {
        const auto data = CqzVcdImporter().ImportText(Generate(rows), "short.vcd");
        EXPECT_EQ(data->GetTable(0)->GetRowCount(), rows);
    }
}
