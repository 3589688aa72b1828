// The importers on the shared sample captures. Expected counts and values were worked out from
// the raw files (counting '#' lines of the dumps, decoding the session archives' sample bytes
// by hand), not taken from the importers' output.

#include "CaptureTestUtil.h"
#include "capture/CqzCaptureLoader.h"
#include "capture/CqzCsvImporter.h"
#include "capture/CqzSrImporter.h"
#include "capture/CqzVcdImporter.h"
#include "qzSystem/data/CqzDataColumn.h"

#include <fstream>
#include <iterator>

using namespace capture_test;

namespace
{
std::string Capture(const std::string& name)
{
    return std::string(QZ_SHARED_DIR) + "/captures/" + name;
}

// Lines of a text file that start with `prefix`: an independent count of timestamps.
std::int64_t LinesStartingWith(const std::string& path, char prefix)
{
    std::ifstream in(path);
    std::int64_t n = 0;
    for (std::string line; std::getline(in, line);)
        n += !line.empty() && line[0] == prefix;
    return n;
}

class RealCaptureTest : public ::testing::Test
{
protected:
    void SetUp() override { CqzLabelMgr::Instance().Reset(); }
};
} // namespace

TEST_F(RealCaptureTest, ChronovuVcdHasOneRowPerTimestampAndEightChannels)
{
    const std::string path = Capture("chronovu_la8_spiflash_read16.vcd");
    auto data = CqzCaptureLoader::Load(path);
    const CqzDataTable& t = *data->GetTable(0);
    EXPECT_EQ(t.GetRowCount(), LinesStartingWith(path, '#'));
    EXPECT_EQ(Names(t),
              (std::vector<std::string>{"Channel_0", "Channel_1", "Channel_2", "Channel_3",
                                        "Channel_4", "Channel_5", "Channel_6", "Channel_7"}));
    // #0: 0 1 0 1 1 1 1 1 on channels 0..7; #559752: channel 7 falls (10 ns units).
    EXPECT_EQ(Value(t, "Channel_0", 0), 0u);
    EXPECT_EQ(Value(t, "Channel_3", 0), 1u);
    EXPECT_EQ(Value(t, "Channel_7", 0), 1u);
    EXPECT_EQ(TimeAt(t, 1), 559752LL * 10000);
    EXPECT_EQ(Value(t, "Channel_7", 1), 0u);
    EXPECT_EQ(Value(t, "Channel_3", 1), 1u);
    // The last timestamp has no change and still gives a row.
    EXPECT_EQ(TimeAt(t, t.GetRowCount() - 1), 8388607LL * 10000);
    EXPECT_EQ(Value(t, "Channel_7", t.GetRowCount() - 1), 1u);
}

TEST_F(RealCaptureTest, SimulatorVcdHasVectorsIntegersAndUnknowns)
{
    const std::string path = Capture("vectors-integers.vcd");
    auto data = CqzVcdImporter().ImportFile(path);
    const CqzDataTable& t = *data->GetTable(0);
    EXPECT_EQ(t.GetRowCount(), LinesStartingWith(path, '#'));
    EXPECT_EQ(Names(t).size(), 81u);
    const std::string node = "dut.cmpacc[3].psf_node.";
    for (const std::string& name :
         std::vector<std::string>{"tssamp_o", "dut.tssamp_o", "dut.period_count", "i", "dut.i",
                                  "dut.bit_i", node + "tap_i", node + "bit_i"})
        EXPECT_GE(Column(t, name), 0) << name;
    EXPECT_EQ(LabelOf(t, Column(t, "tssamp_o"))->GetWidth(), 80);
    EXPECT_EQ(LabelOf(t, Column(t, "dut.period_count"))->GetWidth(), 6);
    const CqzLabel* integer = LabelOf(t, Column(t, "dut.i"));
    EXPECT_TRUE(integer->IsType(eqzLabelIntegral));
    EXPECT_EQ(t.GetColumnAt(Column(t, "dut.i"))->GetIntegralWidth(), 32);

    EXPECT_EQ(At(t, "i", 0).status, 4);              // bx at #0
    EXPECT_EQ(Value(t, "dut.i", 0), 10u);            // b1010
    EXPECT_EQ(Value(t, "dut.period_count", 1), 32u); // b100000 at #2
    EXPECT_EQ(Value(t, "i", 4), 0u);                 // b0 at #8
    EXPECT_EQ(At(t, "bit_i", 0).status, 4);          // x" at #0, shared by all bit_i
    EXPECT_EQ(At(t, node + "bit_i", 0).status, 4);
    const Sample wide = At(t, "dut.tssamp_o", 5); // the 80-bit value at #10
    EXPECT_EQ(wide.status, 0);
    EXPECT_EQ(wide.value, CqzUInt(0x8181, 0x00fffefdfdfdfdfeull));
    EXPECT_EQ(TimeAt(t, t.GetRowCount() - 1), 88LL * 1000000000000);
}

TEST_F(RealCaptureTest, VersionOneSessionGivesOneRowPerChange)
{
    auto data = CqzCaptureLoader::Load(Capture("spi_atmega32_00.sr"));
    const CqzDataTable& t = *data->GetTable(0);
    EXPECT_EQ(Names(t), (std::vector<std::string>{"D0", "D1", "D2", "D3", "D4", "D5", "D6", "D7"}));
    // 1,000,000 one-byte samples at 500 kHz: 109,555 changes after sample 0, then the last
    // sample. Sample 0 is 0xfb, sample 8 (16 us) 0xfa, sample 10 0xfe.
    EXPECT_EQ(t.GetRowCount(), 109556);
    EXPECT_EQ(Value(t, "D0", 0), 1u);
    EXPECT_EQ(Value(t, "D2", 0), 0u);
    EXPECT_EQ(TimeAt(t, 1), 16000000);
    EXPECT_EQ(Value(t, "D0", 1), 0u);
    EXPECT_EQ(Value(t, "D2", 2), 1u);
    EXPECT_EQ(TimeAt(t, 2), 20000000);
    EXPECT_EQ(TimeAt(t, t.GetRowCount() - 1), 999999LL * 2000000);
}

TEST_F(RealCaptureTest, ChunkedSessionWithNamedProbes)
{
    auto data = CqzSrImporter().ImportFile(Capture("tca6408a.sr"));
    const CqzDataTable& t = *data->GetTable(0);
    const std::vector<std::string> names = Names(t);
    ASSERT_EQ(names.size(), 16u);
    EXPECT_EQ(names[0], "SCL");
    EXPECT_EQ(names[1], "SDA");
    EXPECT_EQ(names[15], "D15");
    // 6,815,744 two-byte samples in 13 chunks: all high until sample 2624627, where SDA falls.
    EXPECT_EQ(t.GetRowCount(), 16013);
    EXPECT_EQ(Value(t, "SDA", 0), 1u);
    EXPECT_EQ(TimeAt(t, 1), 2624627LL * 2000000);
    EXPECT_EQ(Value(t, "SDA", 1), 0u);
    EXPECT_EQ(Value(t, "SCL", 1), 1u);
    EXPECT_EQ(Value(t, "SCL", 2), 0u);
    EXPECT_EQ(TimeAt(t, t.GetRowCount() - 1), 6815743LL * 2000000);
}

TEST_F(RealCaptureTest, SemicolonCsvWithGroupedTimes)
{
    auto data = CqzCsvImporter().ImportFile(Capture("ikalogic_scanaplus_spiflash_read16.csv"));
    const CqzDataTable& t = *data->GetTable(0);
    EXPECT_EQ(t.GetRowCount(), 333);
    ASSERT_EQ(Names(t).size(), 9u);
    EXPECT_EQ(Names(t)[0], "CH1 MOSI");
    EXPECT_EQ(LabelOf(t, Column(t, "CH3 CS#"))->GetWidth(), 1);
    // "4.860 530 ms;1;1;0;..." on line 3; "25.079 500 ms" on the last line.
    EXPECT_EQ(TimeAt(t, 1), 4860530000LL);
    EXPECT_EQ(Value(t, "CH3 CS#", 0), 1u);
    EXPECT_EQ(Value(t, "CH3 CS#", 1), 0u);
    EXPECT_EQ(TimeAt(t, 332), 25079500000LL);
}

TEST_F(RealCaptureTest, CommaCsvWithDecimalCommasIsRefusedAtItsFirstDataLine)
{
    const std::string path = Capture("usbee_sx_spiflash_read16_decode_hex.csv");
    const std::string message = ErrorOf([&] { CqzCaptureLoader::Load(path); });
    EXPECT_EQ(message.rfind(path + ":2: field 5 '03' has no column", 0), 0u) << message;
    EXPECT_TRUE(CqzLabelMgr::Instance().GetLabels().empty());
}
