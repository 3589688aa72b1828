#include "CaptureTestUtil.h"
#include "capture/CqzCaptureLoader.h"
#include "capture/CqzCaptureMemory.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace capture_test;

namespace
{
class LoaderTest : public ::testing::Test
{
protected:
    void SetUp() override { CqzLabelMgr::Instance().Reset(); }
    void TearDown() override { std::filesystem::remove(m_path); }

    std::string Write(const std::string& name, const std::string& text)
    {
        m_path =
            (std::filesystem::temp_directory_path() / ("loader_" + std::to_string(getpid()) + name))
                .string();
        std::ofstream(m_path, std::ios::binary) << text;
        return m_path;
    }

    std::string m_path;
};
} // namespace

TEST_F(LoaderTest, FormatComesFromExtensionThenContent)
{
    EXPECT_EQ(CqzCaptureLoader::DetectFormat(Write(".VCD", "a,b\n")), eqzCaptureVcd);
    EXPECT_EQ(CqzCaptureLoader::DetectFormat(Write(".txt", "$x")), eqzCaptureCsv);
    EXPECT_EQ(CqzCaptureLoader::DetectFormat(Write("_dump", "\n  $date x $end")), eqzCaptureVcd);
    EXPECT_EQ(CqzCaptureLoader::DetectFormat(Write("_zip", std::string("PK\x03\x04", 4))),
              eqzCaptureSr);
    EXPECT_EQ(CqzCaptureLoader::DetectFormat(Write("_table", "Time,A\n0,1\n")), eqzCaptureCsv);
}

TEST_F(LoaderTest, LoadsByContentWithoutExtension)
{
    auto data =
        CqzCaptureLoader::Load(Write("_vcd", "$var wire 1 ! a $end $enddefinitions $end #0 1! #3"));
    EXPECT_EQ(data->GetTable(0)->GetRowCount(), 2);
    EXPECT_TRUE(data->IsDataValid());
}

TEST_F(LoaderTest, MissingFileIsRefusedWithItsName)
{
    const std::string message = ErrorOf([] { CqzCaptureLoader::Load("/nonexistent/x"); });
    EXPECT_EQ(message.rfind("/nonexistent/x: cannot open", 0), 0u) << message;
}

// Every size form people write, in powers of 1024; anything else is no size.
TEST(CaptureMemoryTest, SizesParseInEveryFormOrNotAtAll)
{
    const std::vector<std::pair<std::string, std::uint64_t>> cases = {
        {"1048576", 1048576},       {"512M", 512ull << 20}, {"512MB", 512ull << 20},
        {"512mib", 512ull << 20},   {"1.5G", 3ull << 29},   {"1T", 1ull << 40},
        {"64k", 64 << 10},          {"0", 0},               {"-1", 0},
        {"1.5", 0},                 {"12Q", 0},             {"M", 0},
        {"1..5G", 0},               {"99999999999T", 0},    {"", 0}};
    for (const auto& [text, expected] : cases)
    {
        std::uint64_t bytes = 0;
        EXPECT_EQ(CqzCaptureMemory::ParseSize(text, bytes), expected != 0) << text;
        if (expected != 0)
        {
            EXPECT_EQ(bytes, expected) << text;
        }
    }
}
