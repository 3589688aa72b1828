#include "qzSystem/persist/CqzFileWriter.h"
#include "qzSystem/persist/CqzPersistenceException.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
namespace fs = std::filesystem;

class FileWriterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "qzwriterXXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        Put("target.txt", "old content\n");
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string PathOf(const std::string& name) const { return (dir / name).string(); }
    std::string Contents(const std::string& name) const
    {
        std::ifstream in(dir / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void Put(const std::string& name, const std::string& text) const
    {
        std::ofstream(dir / name, std::ios::binary) << text;
    }
    std::vector<std::string> Entries() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    // Writes `size` bytes of 'x' to `name` and commits.
    void Write(const std::string& name, std::size_t size) const
    {
        CqzFileWriter writer(PathOf(name), "test file");
        writer.Stream() << std::string(size, 'x');
        writer.Commit();
    }

    fs::path dir;
};

TEST_F(FileWriterTest, CommitReplacesTheTargetThroughLinksAndKeepsItsMode)
{
    fs::create_directory(dir / "real");
    Put("real/file.txt", "old");
    chmod(PathOf("real/file.txt").c_str(), 0640);
    fs::create_symlink("real/file.txt", dir / "link.txt");
    Write("link.txt", 3);
    EXPECT_TRUE(fs::is_symlink(dir / "link.txt"));
    EXPECT_EQ(Contents("real/file.txt"), "xxx");
    EXPECT_EQ(fs::status(dir / "real/file.txt").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"link.txt", "real", "target.txt"}));
}

// What a failed write leaves: the old file, nothing beside it, and a message naming the file and
// the system's reason.
struct SqzFailure
{
    const char* name;
    std::function<void(FileWriterTest&)> arrange;
    const char* target;
    const char* reason;
};

// A target that is no file (a device, a pipe: what /dev/stdout may lead to) is written in
// place: a rename would put a file where the device was.
TEST_F(FileWriterTest, ADeviceIsWrittenInPlaceNotReplaced)
{
    fs::create_symlink("/dev/null", dir / "out.csv");
    int readEnd[2];
    ASSERT_EQ(pipe(readEnd), 0);
    const std::string pipePath = "/proc/self/fd/" + std::to_string(readEnd[1]);
    for (const std::string& path : {PathOf("out.csv"), pipePath})
    {
        CqzFileWriter writer(path, "test file");
        writer.Stream() << "row\n";
        writer.Commit();
    }
    struct stat info
    {
    };
    ASSERT_EQ(stat("/dev/null", &info), 0);
    EXPECT_TRUE(S_ISCHR(info.st_mode));
    char got[8] = {};
    EXPECT_EQ(read(readEnd[0], got, sizeof got), 4);
    EXPECT_STREQ(got, "row\n");
    EXPECT_EQ(Entries(), (std::vector<std::string>{"out.csv", "target.txt"}));
    close(readEnd[0]);
    close(readEnd[1]);
}

class FileWriterFailureTest : public FileWriterTest,
                              public ::testing::WithParamInterface<SqzFailure>
{
protected:
    void TearDown() override
    {
        rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &unlimited);
        std::signal(SIGXFSZ, SIG_DFL);
        FileWriterTest::TearDown();
    }
};

TEST_P(FileWriterFailureTest, LeavesTheOldFileAndSaysWhy)
{
    GetParam().arrange(*this);
    const std::vector<std::string> before = Entries();
    try
    {
        Write(GetParam().target, 1 << 20);
        FAIL() << "no error";
    }
    catch (const CqzPersistenceException& error)
    {
        EXPECT_THAT(error.what(), ::testing::HasSubstr("'" + PathOf(GetParam().target) + "'"));
        EXPECT_THAT(error.what(), ::testing::HasSubstr(GetParam().reason));
    }
    EXPECT_EQ(Entries(), before);
    EXPECT_EQ(Contents("target.txt"), "old content\n");
}

// A file size limit stands in for a full disk: the write fails part way.
void LimitFileSize(FileWriterTest&)
{
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{4096, RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &limit);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileWriterFailureTest,
    ::testing::Values(SqzFailure{"DiskFull", LimitFileSize, "target.txt", "File too large"},
                      SqzFailure{"Folder", [](FileWriterTest&) {}, "", "Is a directory"},
                      SqzFailure{"NoFolder", [](FileWriterTest&) {}, "none/target.txt",
                                 "No such file"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileWriterTest, AWriterLeftUncommittedLeavesTheOldFile)
{
    {
        CqzFileWriter writer(PathOf("target.txt"), "test file");
        writer.Stream() << "new";
    }
    EXPECT_EQ(Contents("target.txt"), "old content\n");
    EXPECT_EQ(Entries(), std::vector<std::string>{"target.txt"});
}

// A process killed while it writes (stopped at a named point by the writer's test hook) leaves
// the old file and nothing else.
struct SqzKill
{
    const char* point;
    int signal;
};

class FileWriterKillTest : public FileWriterTest, public ::testing::WithParamInterface<SqzKill>
{
};

TEST_P(FileWriterKillTest, LeavesTheOldFileAndNoOther)
{
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
    {
        dup2(pipeFds[1], STDERR_FILENO);
        setenv("QZFILTER_PAUSE_AT", GetParam().point, 1);
        try
        {
            Write("target.txt", 1 << 20);
        }
        catch (...)
        {
        }
        _exit(0);
    }
    close(pipeFds[1]);
    char buffer[64] = {};
    const ssize_t got = read(pipeFds[0], buffer, sizeof buffer - 1);
    close(pipeFds[0]);
    EXPECT_THAT(std::string(buffer, got > 0 ? std::size_t(got) : 0),
                ::testing::HasSubstr(std::string("paused at ") + GetParam().point));
    kill(child, GetParam().signal);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(Contents("target.txt"), "old content\n");
    EXPECT_EQ(Entries(), std::vector<std::string>{"target.txt"});
}

INSTANTIATE_TEST_SUITE_P(Cases, FileWriterKillTest,
                         ::testing::Values(SqzKill{"write", SIGKILL}, SqzKill{"write", SIGINT},
                                           SqzKill{"rename", SIGTERM}, SqzKill{"rename", SIGHUP}),
                         [](const auto& info) {
                             return std::string(info.param.point) + "_" +
                                    std::to_string(info.param.signal);
                         });
} // namespace
