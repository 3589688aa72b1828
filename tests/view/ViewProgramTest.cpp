// The program's side of the window: `view` without a display says that it needs one,
// `view --screenshot` writes the window as a picture, and the summary of a full listing has
// the rows each term decided, as the tool's interface counts them; the window's panel keeps
// a term that is switched off under its own number.

#include "CqzFilterSummary.h"
#include "CqzSessionOpener.h"
#include "CqzTermCountText.h"
#include "CqzViewWindow.h"
#include "ViewTestSupport.h"

#include <QImage>
#include <QTreeWidget>

#include <sstream>

namespace
{

int RunProgram(const std::string& arguments, const std::string& out, const std::string& env = "")
{
    const std::string command =
        env + " '" + QZ_HOST_PROGRAM + "' " + arguments + " >'" + out + "' 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ViewProgram, NeedsADisplayUnlessItOnlyTakesAPicture)
{
    HostTestFolder folder;
    const std::string out = folder.File("out.txt");
    EXPECT_EQ(RunProgram("view", out, "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM"), 1);
    EXPECT_NE(ReadText(out).find("qzfilter: view needs a display"), std::string::npos)
        << ReadText(out);

    const std::string picture = folder.File("view.png");
    ASSERT_EQ(RunProgram("view --count-all --screenshot '" + picture + "'", out,
                         "env -u DISPLAY -u WAYLAND_DISPLAY"),
              0)
        << ReadText(out);
    const QImage image(QString::fromStdString(picture));
    EXPECT_GE(image.width(), 800);
    EXPECT_GE(image.height(), 400);
    EXPECT_EQ(RunProgram("view --screenshot", out), 1);
}

TEST(ViewProgram, TheSummaryHasTheRowsEachTermDecided)
{
    HostTestFolder folder;
    const std::string out = folder.File("out.txt");
    ASSERT_EQ(RunProgram("--all -q --plugin '" QZ_PLUGIN_PATH "'", out), 0);
    SqzHostOptions options = CqzHostOptions::Parse({"--plugin", QZ_PLUGIN_PATH});
    std::string phase;
    std::ostringstream err;
    const auto session = CqzSessionOpener::Open(options, phase, err);
    CqzFilterSummary::Count(session->GetData(), session->GetInstanceID(), false);
    const std::vector<std::string> lines =
        CqzTermCountText::Describe(*CqzTermCountText::Get(session->GetInstanceID()));
    ASSERT_EQ(lines.size(), 6u); // five terms and the rows none decided
    const std::string listing = ReadText(out);
    for (const std::string& line : lines)
        EXPECT_NE(listing.find("\n  " + line + "\n"), std::string::npos) << line;
    // A shorter listing has the same lines: its summary reads every row too.
    ASSERT_EQ(RunProgram("--limit 5 -q --plugin '" QZ_PLUGIN_PATH "'", out), 0);
    EXPECT_NE(ReadText(out).find("\n  " + lines.back() + "\n"), std::string::npos);
}

TEST(ViewProgram, ATermSwitchedOffStaysInThePanelUnderItsNumber)
{
    HostTestFolder folder;
    std::string setup = ReadText(CqzSessionOpener::SampleSetup());
    setup.replace(setup.find("<Search Enabled='T'>"), 20, "<Search Enabled='F'>");
    SqzHostOptions options = CqzHostOptions::Parse(
        {"--plugin", QZ_PLUGIN_PATH, "--setup", folder.Write("off.xml", setup)});
    std::string phase;
    std::ostringstream err;
    const auto session = CqzSessionOpener::Open(options, phase, err);
    CqzViewWindow window(*session, "sample", false);
    const QTreeWidget& panel = window.GetCountsView();
    ASSERT_GE(panel.topLevelItemCount(), 5); // five terms (and the rows none decided)
    EXPECT_EQ(panel.topLevelItem(0)->text(0).toStdString(), "1. Bus errors in red");
    EXPECT_EQ(panel.topLevelItem(0)->text(2).toStdString(), "switched off");
    EXPECT_EQ(panel.topLevelItem(1)->text(0).toStdString(), "2. Interrupts in yellow");
}

} // namespace
