#include "qzSystem/managers/CqzInfoMgr.h"
#include "qzSystem/persist/CqzPersistenceException.h"
#include "qzSystem/persist/CqzPersistenceSetup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace
{
namespace fs = std::filesystem;

class PersistenceFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "qzpersistXXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        CqzInfoMgr::Instance().Reset();
    }
    void TearDown() override { fs::remove_all(dir); }

    CString PathOf(const char* name) const { return CString((dir / name).string()); }
    std::string Contents(const char* name) const
    {
        std::ifstream in(dir / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void Save(const char* name, std::uint32_t value) const
    {
        CqzPersistenceSetup setup(PathOf(name), eqzPersistWrite);
        setup.Write(L"Value", value);
        setup.Close();
    }
    std::uint32_t Load(const char* name) const
    {
        CqzPersistenceSetup setup(PathOf(name), eqzPersistRead);
        std::uint32_t value = 0;
        setup.Read(L"Value", value);
        return value;
    }
    int EntriesInDir() const
    {
        return static_cast<int>(
            std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
    }

    fs::path dir;
};

TEST_F(PersistenceFileTest, SavingReplacesTheFileAndLeavesNoOtherFile)
{
    Save("a.qzs", 1);
    EXPECT_EQ(Load("a.qzs"), 1u);
    const std::string before = Contents("a.qzs");
    fs::create_hard_link(dir / "a.qzs", dir / "old.qzs");
    Save("a.qzs", 2);
    EXPECT_EQ(Contents("old.qzs"), before); // the old file was never opened for writing
    EXPECT_EQ(Load("a.qzs"), 2u);
    EXPECT_EQ(EntriesInDir(), 2); // the file and the link to the old one
}

TEST_F(PersistenceFileTest, FailedReplaceThrowsAndLeavesNoTemporaryFile)
{
    fs::create_directories(dir / "busy" / "child");
    EXPECT_THROW(Save("busy", 1), CqzPersistenceException);
    EXPECT_EQ(EntriesInDir(), 1);
    EXPECT_THROW(Save("nodir/a.qzs", 1), CqzPersistenceException);
}

TEST_F(PersistenceFileTest, MissingOrCorruptFilesThrowNamingTheFile)
{
    try
    {
        Load("missing.qzs");
        FAIL() << "missing file accepted";
    }
    catch (const CqzPersistenceException& e)
    {
        EXPECT_THAT(e.what(), ::testing::HasSubstr("missing.qzs"));
    }
    std::ofstream(dir / "bad.qzs") << "QZSP not really";
    EXPECT_THROW(Load("bad.qzs"), CqzPersistenceException);
    EXPECT_THROW(Load("."), CqzPersistenceException); // a directory
}

TEST_F(PersistenceFileTest, SaveFileWritesTheTreeOfABufferSetup)
{
    std::vector<std::uint8_t> buffer;
    CqzPersistenceSetup setup(buffer, eqzPersistWrite);
    setup.Write(L"Value", 9u);
    setup.SaveFile(PathOf("copy.qzs"));
    EXPECT_EQ(Load("copy.qzs"), 9u);
}

TEST_F(PersistenceFileTest, DestructorThatCannotSaveLogsAnError)
{
    {
        CqzPersistenceSetup setup(PathOf("nodir/a.qzs"), eqzPersistWrite);
        setup.Write(L"Value", 1u);
    }
    const auto& entries = CqzInfoMgr::Instance().GetEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].type, eqzLogError);
    EXPECT_GE(entries[0].text.Find(L"a.qzs"), 0);
}
} // namespace
