// What the view remembers: the column arrangement of a layout taken back only when it is one,
// and the settings file read back as written, with damaged lines left out.

#include "CqzViewColumns.h"
#include "CqzViewSettings.h"
#include "common/HostTestFiles.h"

#include <gtest/gtest.h>

namespace
{

CqzViewColumns Columns()
{
    CqzViewColumns columns;
    columns.Reset({"Row", "Time", "ADDR", "DATA"}, {40, 80, 90, 100});
    return columns;
}

TEST(ViewColumnsTest, ArrangementSurvivesSaveAndRestore)
{
    CqzViewColumns columns = Columns();
    columns.Move(2, 0);            // ADDR Row Time DATA
    columns.SetWidth(3, 5);        // DATA at the smallest width
    EXPECT_TRUE(columns.SetShown(1, false)); // Time hidden
    EXPECT_EQ(columns.Save(), "2:90 0:40 3:24 -1:80");
    EXPECT_EQ(columns.At(95), 1);
    EXPECT_EQ(columns.RightOf(2), 154);

    CqzViewColumns again = Columns();
    ASSERT_TRUE(again.Restore(columns.Save()));
    EXPECT_EQ(again.Save(), columns.Save());
    EXPECT_EQ(again.GetLayoutKey(), columns.GetLayoutKey());
    CqzViewColumns other;
    other.Reset({"Row", "Time", "ADDR", "DATB"}, {});
    EXPECT_NE(other.GetLayoutKey(), columns.GetLayoutKey());
}

TEST(ViewColumnsTest, TheLastShownColumnStays)
{
    CqzViewColumns columns = Columns();
    for (int listed = 0; listed < 3; ++listed)
        EXPECT_TRUE(columns.SetShown(listed, false));
    EXPECT_FALSE(columns.SetShown(3, false));
    EXPECT_EQ(columns.GetCount(), 1);
}

class ViewColumnsRestoreTest : public ::testing::TestWithParam<const char*>
{
};

TEST_P(ViewColumnsRestoreTest, RefusesWhatIsNotAnArrangementOfTheLayout)
{
    CqzViewColumns columns = Columns();
    const std::string before = columns.Save();
    EXPECT_FALSE(columns.Restore(GetParam()));
    EXPECT_EQ(columns.Save(), before);
}

INSTANTIATE_TEST_SUITE_P(Damaged, ViewColumnsRestoreTest,
                         ::testing::Values("", "0:40 1:80 2:90",      // a column missing
                                           "0:40 1:80 2:90 3:100 4:50", // one too many
                                           "0:40 1:80 2:90 2:100",      // twice
                                           "-0:40 -1:80 -2:90 -3:100",  // none shown
                                           "0:40 1:80 2:90 3:1",        // too narrow
                                           "0:40 1:80 2:90 3:100x", "0;40 1:80 2:90 3:100",
                                           "--1:40 0:80 2:90 3:100"));

TEST(ViewSettingsTest, ReadsBackWhatItWroteAndLeavesOutDamagedLines)
{
    HostTestFolder folder;
    CqzViewSettings settings(folder.File("view.txt"));
    settings.SetGeometry({10, 20, 800, 600});
    for (int i = 0; i < 12; ++i)
        settings.AddRecent("/captures/bus " + std::to_string(i) + ".vcd");
    settings.AddRecent("/captures/odd\nname\\.vcd");
    settings.AddFind("0x404");
    settings.AddFind("ack");
    settings.AddFind("0x404");
    settings.SetColumns("4-abc", "0:40 1:80");
    ASSERT_FALSE(settings.Save());

    CqzViewSettings read(settings.GetPath());
    read.Load();
    EXPECT_EQ(read.GetGeometry(), settings.GetGeometry());
    EXPECT_EQ(read.GetRecent(), settings.GetRecent());
    ASSERT_EQ(read.GetRecent().size(), CqzViewSettings::MaxRecent);
    EXPECT_EQ(read.GetRecent().front(), "/captures/odd\nname\\.vcd");
    EXPECT_EQ(read.GetFinds(), (std::vector<std::string>{"0x404", "ack"}));
    EXPECT_EQ(read.GetColumns("4-abc"), "0:40 1:80");

    folder.Write("view.txt", "geometry 1 2 -5 9\ngeometry x\nnonsense\ncolumns nospace\n"
                             "recent /a.vcd\n\x01\xff garbage\nfind\n");
    read.Load();
    EXPECT_FALSE(read.GetGeometry());
    EXPECT_EQ(read.GetRecent(), std::vector<std::string>{"/a.vcd"});
    EXPECT_TRUE(read.GetFinds().empty());
    EXPECT_EQ(read.GetColumns("4-abc"), "");
}

TEST(ViewSettingsTest, AnUnwritableFileSaysWhyAndKeepsNothingBehind)
{
    HostTestFolder folder;
    // A folder where the file should be: no user, root included, can write it.
    std::filesystem::create_directories(folder.File("view.txt"));
    CqzViewSettings settings(folder.File("view.txt"));
    settings.AddRecent("/a.vcd");
    const auto failure = settings.Save();
    ASSERT_TRUE(failure);
    EXPECT_NE(failure->find("view.txt"), std::string::npos) << *failure;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.File("")),
                            std::filesystem::directory_iterator()),
              1);
}

} // namespace
