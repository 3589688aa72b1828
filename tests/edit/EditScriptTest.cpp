// `qzfilter edit --script`, run as a person would run it (offscreen): OK applies the edited
// filter, runs and writes the edited setup; Cancel writes nothing; a screenshot writes only the
// picture. One replayed script for each way the dialog could mislead a person, checked on
// what the person gets (summary, saved setup, favourites, messages); the favourite steps and
// the remembered dialog size across runs.

#include "common/HostTestFiles.h"
#include "common/ShellRun.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include <sys/stat.h>
#include <unistd.h>

namespace
{

struct SqzRunResult
{
    int code = -1;
    std::string out;
    std::string err;
};

// 300 rows; "A < 8" hides 16 of them.
std::vector<SqzTestRow> MakeRows()
{
    std::vector<SqzTestRow> rows;
    for (int i = 0; i < 300; ++i)
        rows.push_back({i % 256, i % 2, i % 7 == 0 ? "err" : "ok"});
    return rows;
}

class EditScriptTest : public ::testing::Test
{
protected:
    SqzRunResult Run(const std::vector<std::string>& arguments, const std::string& environment)
    {
        std::string command = "env " + ShellQuote(environment) + " " + ShellQuote(QZ_HOST_PROGRAM);
        for (const std::string& argument : arguments)
            command += " " + ShellQuote(argument);
        command += " 2>" + ShellQuote(folder.File("stderr.txt")) + " </dev/null";
        const SqzShellRun run = RunShell(command);
        return {run.code, run.out, ReadText(folder.File("stderr.txt"))};
    }

    SqzRunResult Edit(const std::string& steps, std::vector<std::string> more = {})
    {
        std::vector<std::string> arguments = {
            "edit",        "--script",      folder.Write("steps.txt", steps),
            "--favorites", favorites,       "--save-markup",
            markup,        "--color=never", "--hide",
            "A < 8",       capture};
        arguments.insert(arguments.begin() + 1, more.begin(), more.end());
        return Run(arguments, "QT_QPA_PLATFORM=offscreen");
    }

    // The width and height of a PNG picture (its header).
    std::pair<std::uint32_t, std::uint32_t> PictureSize(const std::string& path)
    {
        const std::string bytes = ReadText(path);
        EXPECT_GE(bytes.size(), 24u);
        auto number = [&bytes](std::size_t at)
        {
            std::uint32_t value = 0;
            for (std::size_t i = at; i < at + 4 && i < bytes.size(); ++i)
                value = value << 8 | static_cast<unsigned char>(bytes[i]);
            return value;
        };
        return {number(16), number(20)};
    }

    HostTestFolder folder;
    std::string capture = folder.WriteCapture("c.vcd", MakeRows());
    std::string favorites = folder.File("favorites.qzs");
    std::string sizes = folder.File("dialog-sizes.txt");
    std::string markup = folder.File("edited.xml");
};

TEST_F(EditScriptTest, OkAppliesTheEditedFilterListsAndSavesItsMarkup)
{
    const SqzRunResult result = Edit("type 1 Color\ncolor 1 Green\nrename 1 small A\nok\n");
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_NE(result.out.find("Summary:"), std::string::npos);
    const std::string saved = ReadText(markup);
    EXPECT_NE(saved.find("<FilterExpression Name='small A'>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("Type='Color' Color='h00a000'"), std::string::npos) << saved;
    EXPECT_FALSE(std::filesystem::exists(favorites)); // written only when favourites change
}

TEST_F(EditScriptTest, CancelWritesNothingAndAScreenshotOnlyThePicture)
{
    SqzRunResult result = Edit("type 1 Show\ncancel\n");
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out.find("Summary:"), std::string::npos);
    EXPECT_NE(result.err.find("edit cancelled; nothing written"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(favorites));

    const std::string picture = folder.File("dialog.png");
    result = Edit("menu 1 &Hide Name\n", {"--screenshot", picture});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(ReadText(picture).substr(0, 8), "\x89PNG\r\n\x1a\n");
    EXPECT_FALSE(std::filesystem::exists(markup));
}

// A screenshot that cannot be written keeps what was there and says why. The tests run as root,
// whom mode bits do not stop, so the cases fail for root too: a folder where the picture would
// go, a name under /proc, and an old picture in a folder made immutable (where chattr works;
// for others a folder without write permission does).
TEST_F(EditScriptTest, ScreenshotThatCannotBeWrittenKeepsTheOldFileAndSaysWhy)
{
    const std::string inTheWay = folder.File("dialog.png");
    std::filesystem::create_directories(inTheWay + "/kept");
    const std::string locked = folder.File("locked");
    std::filesystem::create_directories(locked);
    const std::string old = folder.Write("locked/dialog.png", "old picture");
    const bool immutable = RunShell("chattr +i " + ShellQuote(locked) + " 2>&1").code == 0;
    const bool root = geteuid() == 0;
    if (!immutable)
        chmod(locked.c_str(), 0555);
    const std::pair<std::string, std::string> cases[] = {
        {inTheWay, "it is a folder"},
        {"/proc/qzfilter-dialog.png", ": "},
        {old, immutable ? "Operation not permitted" : "Permission denied"}};
    for (const auto& [path, reason] : cases)
    {
        if (path == old && root && !immutable)
            continue; // nothing stops root here
        const SqzRunResult result = Edit("menu 1 &Hide Name\n", {"--screenshot", path});
        EXPECT_EQ(result.code, 4) << result.err;
        EXPECT_NE(result.err.find("cannot write the screenshot '" + path + "': "),
                  std::string::npos)
            << result.err;
        EXPECT_NE(result.err.find(reason), std::string::npos) << result.err;
    }
    EXPECT_TRUE(std::filesystem::is_directory(inTheWay + "/kept"));
    EXPECT_FALSE(std::filesystem::exists("/proc/qzfilter-dialog.png"));
    EXPECT_EQ(ReadText(old), "old picture");
    RunShell("chattr -i " + ShellQuote(locked) + " 2>&1");
    chmod(locked.c_str(), 0755);
}

// A step that finds nothing, or any step after "ok", is refused with its line.
TEST_F(EditScriptTest, BadStepsAreRefusedWithTheirLine)
{
    for (const auto& [steps, message] :
         {std::pair{"type 1 Show\nmenu 3 &Hide Name\n", "steps.txt:2: there is no term 3"},
          std::pair{"ok\ntype 1 Show\n", "steps.txt:2: no step can follow 'ok'"},
          std::pair{"recall #1 - None\n", "steps.txt:1: the recall menu offers no '#1 - None'"}})
    {
        const SqzRunResult result = Edit(steps);
        EXPECT_EQ(result.code, 4);
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
        EXPECT_FALSE(std::filesystem::exists(markup));
    }
}

// Where a person would see the outcome of a script.
enum class EqzOutcome
{
    Listing,
    Messages,
    Markup,
    Favorites
};

struct SqzPointCase
{
    const char* point;
    const char* steps;
    int code;
    EqzOutcome where;
    const char* seen;
};

class EditPointTest : public EditScriptTest, public ::testing::WithParamInterface<SqzPointCase>
{
protected:
    std::string Outcome(const SqzRunResult& result, EqzOutcome where)
    {
        switch (where)
        {
        case EqzOutcome::Listing:
            return result.out;
        case EqzOutcome::Messages:
            return result.err;
        case EqzOutcome::Markup:
            return ReadText(markup);
        case EqzOutcome::Favorites:
            return ReadText(favorites);
        }
        return "";
    }
};

TEST_P(EditPointTest, ThePersonSeesWhatRuns)
{
    const SqzPointCase& c = GetParam();
    const SqzRunResult result = Edit(c.steps);
    EXPECT_EQ(result.code, c.code) << result.err;
    const std::string seen = Outcome(result, c.where);
    EXPECT_NE(seen.find(c.seen), std::string::npos) << c.point << ":\n" << seen;
}

// Each of the points a person met: the steps and what they must see afterwards.
INSTANTIATE_TEST_SUITE_P(
    Points, EditPointTest,
    ::testing::Values(
        // A row's >> pressed after its term was inserted and its value typed opens its menu.
        SqzPointCase{
            "1 crash",
            "menu 1 Insert Filter Clause &After\nvalue 2 1 5\n"
            "row 2 1 Add Event &After\nvalue 2 2 6\nok\n",
            0, EqzOutcome::Markup,
            "Value='h5'/>\r\n<Conj Type='AND'/>\r\n<Event Label='A' Op='Equal' Value='h6'/>"},
        // The event added is there at once to be typed into, and OK applies it.
        SqzPointCase{"2 event shown", "row 1 1 Add Event &After\nconj 1 1 OR\nvalue 1 2 9\nok\n", 0,
                     EqzOutcome::Listing, "Summary: 300 rows: 282 shown, 18 hidden"},
        // Disabled, the filter hides nothing.
        SqzPointCase{"3 disable", "filter off\nok\n", 0, EqzOutcome::Listing,
                     "Summary: 300 rows: 300 shown, 0 hidden"},
        // A favourite stored is kept, even when the dialog is then cancelled.
        SqzPointCase{"4 favourites", "store New... Kept\ncancel\n", 0, EqzOutcome::Favorites,
                     "Kept"},
        // A value wider than the label is refused by OK, naming term, row and reason.
        SqzPointCase{"5 values", "value 1 1 1ff\nok\n", 4, EqzOutcome::Messages,
                     "OK was refused: Term 1 (A < 8), row 1: '1ff' does not fit in the 8 bits"},
        // Only labels the filter can test are offered, and a new term starts on the first.
        SqzPointCase{"6 labels", "label 1 1 Time\n", 4, EqzOutcome::Messages,
                     "term 1 row 1 offers no 'Time' to 'label'"},
        SqzPointCase{"6 new term", "menu 1 Insert Filter Clause &After\nvalue 2 1 3\nok\n", 0,
                     EqzOutcome::Markup, "<Event Label='A' Op='Equal' Value='h3'/>"},
        // A size given is remembered beside the favourites (and used again: see below).
        SqzPointCase{"7 size", "size 640x480\nok\n", 0, EqzOutcome::Listing, "Summary:"},
        // A term whose name is not shown is listed by its number.
        SqzPointCase{"8 names", "menu 1 &Hide Name\nok\n", 0, EqzOutcome::Listing, "Term 1"}),
    [](const auto& info)
    {
        std::string name = info.param.point;
        for (char& c : name)
            c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
        return "Point" + name;
    });

// A favourite stored in one run is recalled in the next; overwriting keeps its name.
TEST_F(EditScriptTest, FavoritesStoredInOneRunAreRecalledInTheNext)
{
    ASSERT_EQ(Edit("type 1 Color\ncolor 1 Red\nstore New... Reds\ncancel\n").code, 0);
    SqzRunResult result = Edit("recall #1 - Reds\nok\n");
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_NE(ReadText(markup).find("Type='Color' Color='h"), std::string::npos);

    ASSERT_EQ(Edit("type 1 Show\nstore #1 - Reds\ncancel\n").code, 0);
    result = Edit("recall #1 - Reds\nok\n");
    ASSERT_EQ(result.code, 0) << result.err;
    const std::string saved = ReadText(markup);
    EXPECT_NE(saved.find("<FilterAction Type='Show'/>"), std::string::npos) << saved;
    EXPECT_NE(ReadText(favorites).find("Reds"), std::string::npos);
}

// The size a person gave the dialog opens it the next time; a damaged sizes file is refused
// with its line and reason, the dialog opens at its own size, and the next size replaces it.
TEST_F(EditScriptTest, DialogSizeIsRememberedAndADamagedFileRefused)
{
    const std::string picture = folder.File("dialog.png");
    ASSERT_EQ(Edit("size 700x520\nok\n").code, 0);
    EXPECT_NE(ReadText(sizes).find("FilterDlg 700 520"), std::string::npos) << ReadText(sizes);
    SqzRunResult result = Edit("", {"--screenshot", picture});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(PictureSize(picture), std::make_pair(700u, 520u));

    for (const auto& [text, reason] :
         {std::pair{"Filter 700\n", "dialog-sizes.txt:1: "},
          std::pair{"Filter 700 520\nFilter 0 520\n", "dialog-sizes.txt:2: "},
          std::pair{"Filter 12345678901234567890 5\n", "dialog-sizes.txt:1: "}})
    {
        folder.Write("dialog-sizes.txt", text);
        result = Edit("", {"--screenshot", picture});
        ASSERT_EQ(result.code, 0) << result.err;
        EXPECT_NE(result.err.find(reason), std::string::npos) << result.err;
        EXPECT_NE(PictureSize(picture), std::make_pair(700u, 520u)) << text;
    }
    ASSERT_EQ(Edit("size 660x500\nok\n").code, 0);
    EXPECT_EQ(ReadText(sizes), "FilterDlg 660 500\n");
}

TEST_F(EditScriptTest, WithoutADisplayEditSaysItNeedsOne)
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (const char* value = std::getenv(name); value != nullptr && *value != '\0')
            GTEST_SKIP() << name << " is set";
    const SqzRunResult result = Run({"edit", capture}, "QZ_UNUSED=");
    EXPECT_EQ(result.code, 1);
    EXPECT_NE(result.err.find("edit needs a display"), std::string::npos) << result.err;
}

} // namespace
