#include "CqzFavoritesFile.h"
#include "CqzHostError.h"
#include "common/HostTestFiles.h"
#include "qzSystem/persist/CqzPersistenceSetup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace
{
using Bytes = std::vector<std::uint8_t>;
using ::testing::HasSubstr;

// A favourite as the tool stores it: a setup of its own, here holding just a name.
Bytes Favorite(const wchar_t* name)
{
    Bytes buffer;
    CqzPersistenceSetup setup(buffer, eqzPersistWrite);
    setup.Write(L"Name", name);
    setup.Close();
    return buffer;
}

CString NameOf(Bytes favorite)
{
    CqzPersistenceSetup setup(favorite, eqzPersistRead);
    CString name;
    setup.Read(L"Name", name);
    return name;
}

std::vector<CString> Names(const CqzFavorites& favorites)
{
    std::vector<CString> names;
    for (int i = 0; i < favorites.GetCount(); ++i)
        names.push_back(NameOf(favorites.GetFavorite(i)));
    return names;
}

// A favourites file written by hand: `count` as its count, the slots as given.
void WriteRaw(const std::string& path, std::uint32_t count, const std::vector<Bytes>& slots)
{
    Bytes buffer;
    CqzPersistenceSetup setup(buffer, eqzPersistWrite);
    setup.OpenTag(L"Filter");
    setup.OpenTag(L"Favorites");
    setup.Write(L"Count", count);
    for (std::size_t i = 0; i < slots.size(); ++i)
        setup.Write(CString::FromUtf8("Favorite" + std::to_string(i)), slots[i]);
    setup.CloseTag();
    setup.CloseTag();
    setup.SaveFile(CString::FromUtf8(path));
}

class FavoritesFileTest : public ::testing::Test
{
protected:
    std::vector<CString> Apply(const CqzFavoritesFile& file, const SqzFavoritesChange& change)
    {
        return Names(file.Apply(change, notes));
    }

    HostTestFolder folder;
    std::string path = folder.File("favorites.qzs");
    std::vector<std::string> notes;
};

TEST_F(FavoritesFileTest, TwoSessionsKeepEachOthersChanges)
{
    const CqzFavoritesFile first(path), second(path);
    const Bytes a = Favorite(L"a"), b = Favorite(L"b"), c = Favorite(L"c");
    Apply(first, {{}, a, {}});
    EXPECT_EQ(Apply(second, {{}, b, {}}), (std::vector<CString>{L"a", L"b"}));
    // `first` never saw b: overwriting a and deleting a keep it.
    EXPECT_EQ(Apply(first, {a, c, {}}), (std::vector<CString>{L"c", L"b"}));
    EXPECT_EQ(Apply(first, {{}, {}, {c}}), std::vector<CString>{L"b"});
    EXPECT_EQ(Names(second.Read(notes)), std::vector<CString>{L"b"});
    EXPECT_TRUE(notes.empty());
}

TEST_F(FavoritesFileTest, SessionsWritingAtOnceLoseNothing)
{
    constexpr int Sessions = 4, Each = 25;
    std::vector<pid_t> children;
    for (int s = 0; s < Sessions; ++s)
        if (const pid_t child = fork(); child == 0)
        {
            const CqzFavoritesFile file(path);
            std::vector<std::string> ignored;
            for (int i = 0; i < Each; ++i)
                file.Apply({{}, Favorite(L"x"), {}}, ignored);
            _exit(0);
        }
        else
            children.push_back(child);
    for (const pid_t child : children)
    {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_EQ(status, 0);
    }
    EXPECT_EQ(CqzFavoritesFile(path).Read(notes).GetCount(), Sessions * Each);
}

// Damage and disagreeing counts: what loads, and the note that names the file and the favourite.
struct SqzRepair
{
    const char* name;
    std::uint32_t count;
    int damaged; // the slot whose favourite is damaged, or -1
    std::vector<CString> loaded;
    const char* note;
};

class FavoritesRepairTest : public FavoritesFileTest,
                            public ::testing::WithParamInterface<SqzRepair>
{
};

TEST_P(FavoritesRepairTest, LoadsWhatIsSoundWithANote)
{
    std::vector<Bytes> slots = {Favorite(L"a"), Favorite(L"b"), Favorite(L"c")};
    if (GetParam().damaged >= 0)
        slots[std::size_t(GetParam().damaged)][12] ^= 0xFF;
    WriteRaw(path, GetParam().count, slots);
    EXPECT_EQ(Names(CqzFavoritesFile(path).Read(notes)), GetParam().loaded);
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_THAT(notes[0], HasSubstr("'" + path + "'"));
    EXPECT_THAT(notes[0], HasSubstr(GetParam().note));
    // The next change writes the repaired list.
    Apply(CqzFavoritesFile(path), {{}, Favorite(L"d"), {}});
    notes.clear();
    EXPECT_EQ(CqzFavoritesFile(path).Read(notes).GetCount(), int(GetParam().loaded.size()) + 1);
    EXPECT_TRUE(notes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FavoritesRepairTest,
    ::testing::Values(
        SqzRepair{"Damaged", 3, 1, {L"a", L"c"}, "favourite 2 is damaged"},
        SqzRepair{"CountTooSmall", 1, -1, {L"a", L"b", L"c"}, "count says 1 but 3 are stored"},
        SqzRepair{"CountTooLarge", 7, -1, {L"a", L"b", L"c"}, "count says 7 but 3 are stored"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FavoritesFileTest, AnyPathFormWorks)
{
    const std::string start = std::filesystem::current_path();
    std::filesystem::current_path(folder.File(""));
    EXPECT_EQ(Apply(CqzFavoritesFile("plain.qzs"), {{}, Favorite(L"a"), {}}),
              std::vector<CString>{L"a"});
    std::filesystem::current_path(start);
    EXPECT_TRUE(std::filesystem::exists(folder.File("plain.qzs")));
    Apply(CqzFavoritesFile(folder.File("new/folder/f.qzs")), {{}, Favorite(L"a"), {}});
    EXPECT_TRUE(std::filesystem::exists(folder.File("new/folder/f.qzs")));
    std::filesystem::create_symlink("new/folder/f.qzs", folder.File("link.qzs"));
    Apply(CqzFavoritesFile(folder.File("link.qzs")), {{}, Favorite(L"b"), {}});
    EXPECT_TRUE(std::filesystem::is_symlink(folder.File("link.qzs")));
    EXPECT_EQ(Names(CqzFavoritesFile(folder.File("new/folder/f.qzs")).Read(notes)),
              (std::vector<CString>{L"a", L"b"}));
}

TEST_F(FavoritesFileTest, WhatCannotBeWrittenOrReadIsRefusedNamingTheFile)
{
    const std::string inFile = folder.Write("plain.txt", "x") + "/favorites.qzs";
    const auto [code, message] = Refusal(
        [&] {
            CqzFavoritesFile(inFile).Apply({{}, Favorite(L"a"), {}}, notes);
        });
    EXPECT_EQ(code, eqzExitFile);
    EXPECT_THAT(message, HasSubstr("'" + inFile + "'"));
    // A file that is no setup at all is neither read nor replaced.
    folder.Write("favorites.qzs", "not a setup");
    const auto [readCode, readMessage] = Refusal(
        [&] {
            CqzFavoritesFile(path).Apply({{}, Favorite(L"a"), {}}, notes);
        });
    EXPECT_EQ(readCode, eqzExitFile);
    EXPECT_THAT(readMessage, HasSubstr("'" + path + "'"));
    EXPECT_EQ(ReadText(path), "not a setup");
}
} // namespace
