// `qzfilter view --script` on the sample, run as a person would run it (offscreen): the filter
// edited in the dialog the window opens and exported through the File menu equals the
// command line's export of the same setup; the steps move the window (and its picture); a step
// that cannot be carried out is refused with its line number and exit code 4.

#include "CqzSessionOpener.h"
#include "CqzViewScript.h"
#include "CqzViewWindow.h"
#include "ViewTestSupport.h"
#include "common/ShellRun.h"

#include <QImage>
#include <QStatusBar>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <tuple>

namespace
{

class ViewScriptTest : public ::testing::Test
{
protected:
    // The program's exit code for `view --script` with the steps; its messages in `err`.
    int View(const std::string& steps, const std::vector<std::string>& more = {})
    {
        std::string command = "env QT_QPA_PLATFORM=offscreen " + ShellQuote(QZ_HOST_PROGRAM) +
                              " view --favorites " + ShellQuote(folder.File("favorites.qzs")) +
                              " --script " + ShellQuote(folder.Write("steps.txt", steps));
        for (const std::string& argument : more)
            command += " " + ShellQuote(argument);
        const SqzShellRun run =
            RunShell(command + " 2>" + ShellQuote(folder.File("err.txt")) + " </dev/null");
        err = ReadText(folder.File("err.txt"));
        return run.code;
    }

    HostTestFolder folder;
    std::string err;
};

TEST_F(ViewScriptTest, TheEditedFilterExportsAsTheCommandLineDoesWithTheSameSetup)
{
    const std::string sample = ReadText(CqzSessionOpener::SampleSetup());
    // The steps, then the change they make to the sample's setup (none for a cancel).
    const std::vector<std::tuple<std::string, std::string, std::string>> edits = {
        {"edit\nfilter off\nok\n", "<Filter Enabled='T'>", "<Filter Enabled='F'>"},
        {"edit\nvalue 4 1 21\nok\n", "Value='h0'", "Value='h21'"},
        {"edit\ntype 1 Hide\ncancel\n", "", ""}};
    for (const auto& [steps, before, after] : edits)
    {
        // A name without an extension gets .csv, as the menu's export gives it.
        ASSERT_EQ(View(steps + "export " + folder.File("window") + "\nclose\n"), 0) << err;
        std::string setup = sample;
        if (!before.empty())
            setup.replace(setup.find(before), before.size(), after);
        const std::vector<SqzCsvRow> rows =
            ProgramCsv(folder, {"--setup", folder.Write("edited.xml", setup)});
        EXPECT_EQ(ReadText(folder.File("window.csv")), ReadText(folder.File("program.csv")))
            << steps;
        // The filter disabled: every row shown.
        const bool anyHidden =
            std::any_of(rows.begin(), rows.end(), [](const SqzCsvRow& row) { return row.hidden; });
        EXPECT_EQ(anyHidden, after != "<Filter Enabled='F'>") << steps;
    }
}

// In the window: the row gone to with hidden rows shown, then the next "dma" row below it once
// they are left out again; the picture of the program's window changes with the same steps.
TEST_F(ViewScriptTest, StepsMoveTheWindowAndItsPicture)
{
    SqzHostOptions options = CqzHostOptions::Parse({"--plugin", QZ_PLUGIN_PATH});
    std::string phase;
    std::ostringstream messages;
    const auto session = CqzSessionOpener::Open(options, phase, messages);
    CqzViewWindow window(*session, options.capture, false);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    CqzViewScript::Parse("hidden on\ngoto 5000\n", "t").Apply(window);
    EXPECT_TRUE(window.GetShowHiddenAction().isChecked());
    EXPECT_EQ(window.GetTable().GetCurrent(), 5000);
    CqzViewScript::Parse("hidden off\nfind dma\n", "t").Apply(window);
    EXPECT_FALSE(window.GetShowHiddenAction().isChecked());
    const std::int64_t found = window.GetTable().GetCurrent();
    EXPECT_GT(found, 5000);
    EXPECT_EQ(window.statusBar()->currentMessage().toStdString(),
              "Row " + std::to_string(found) + " matches 'dma'.");

    const std::string plain = folder.File("plain.png");
    const std::string moved = folder.File("moved.png");
    ASSERT_EQ(View("", {"--screenshot", plain}), 0) << err;
    ASSERT_EQ(View("hidden on\ngoto 5000\nhidden off\n", {"--screenshot", moved}), 0) << err;
    const QImage before(QString::fromStdString(plain));
    const QImage after(QString::fromStdString(moved));
    EXPECT_GE(after.width(), 800);
    EXPECT_EQ(after.size(), before.size());
    EXPECT_NE(after, before);
}

TEST_F(ViewScriptTest, AStepThatCannotBeCarriedOutIsRefusedWithItsLine)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"hidden on\nzoom 2\n", ":2: unknown step 'zoom'"},
        {"hidden maybe\n", ":1: 'hidden' takes on or off"},
        {"# the dialog's lines count in the file\n\nedit\ntype 1 Hide\nvalue 9 1 3\nok\n",
         ":5: there is no term 9"},
        {"edit\ntype 1 Hide\n", ":1: the dialog 'edit' opens is not closed"},
        {"goto 99999999\n", ":1: goto was refused: '99999999' is not a row of this capture."},
        {"edit\nvalue 1 1 zz\nok\nclose\n", ":3: OK was refused: Term 1"},
        {"export " + folder.File("none/x.csv") + "\n",
         ":1: export was refused: cannot write the CSV file"}};
    for (const auto& [steps, refusal] : cases)
    {
        EXPECT_EQ(View(steps), 4) << steps;
        EXPECT_NE(err.find("steps.txt" + refusal), std::string::npos) << err;
    }
    // A folder given as the script is not read as an empty one.
    const std::string notAFile = folder.File("steps.d");
    std::filesystem::create_directory(notAFile);
    EXPECT_EQ(View("close\n", {"--script", notAFile}), 4);
    EXPECT_NE(err.find("it is a folder"), std::string::npos) << err;
}

} // namespace
