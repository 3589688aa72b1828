// A dump several times larger than the memory the import may use is read a block at a time:
// the process's peak memory grows by far less than the file.

#include "CaptureTestUtil.h"
#include "capture/CqzCaptureLoader.h"

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace
{
// A field of /proc/self/status in KiB, or -1.
long StatusKiB(const std::string& key)
{
    std::ifstream status("/proc/self/status");
    std::string name;
    long value = -1;
    while (status >> name)
        if (name == key + ":" && status >> value)
            return value;
    return -1;
}
} // namespace

TEST(CaptureStreamingTest, DumpLargerThanTheMemoryLimitImportsInBoundedMemory)
{
    CqzLabelMgr::Instance().Reset();
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("streaming_" + std::to_string(getpid()) + ".vcd"))
                                 .string();
    constexpr std::size_t kFileMiB = 48;
    {
        std::ofstream file(path, std::ios::binary);
        file << "$timescale 1 ns $end\n$var wire 8 ! a $end\n$enddefinitions $end\n$comment\n";
        const std::string words(1 << 20, 'w');
        for (std::size_t i = 0; i < kFileMiB; ++i)
            file << words.substr(0, (1 << 19)) << '\n' << words.substr(0, (1 << 19) - 1) << ' ';
        file << "$end\n";
        for (int t = 0; t < 1000; ++t)
            file << '#' << t << "\nb" << (t & 1) << " !\n";
    }
    std::ofstream reset("/proc/self/clear_refs");
    reset << "5";
    reset.close();
    if (!reset)
        GTEST_SKIP() << "the peak memory of the process cannot be reset here";
    const long before = StatusKiB("VmRSS");
    SqzCaptureOptions options;
    options.memoryLimit = 4 << 20;
    auto data = CqzCaptureLoader::Load(path, options);
    const long peak = StatusKiB("VmHWM");
    std::filesystem::remove(path);
    EXPECT_EQ(data->GetTable(0)->GetRowCount(), 1000);
    ASSERT_GT(before, 0);
    EXPECT_LT(peak - before, 12 * 1024) << "KiB above the resident memory before the import";
}
