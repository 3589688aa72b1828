// The window on a capture that still loads (offscreen): it opens on the first rows, refuses an
// export until the end, and grows to every row; a cancelled load leaves the rows that arrived,
// the reason in the status bar, and a window that still draws.

#include "CqzHostError.h"
#include "CqzHostSession.h"
#include "CqzViewWindow.h"
#include "ViewTestSupport.h"
#include "common/ManagerReset.h"
#include "qzSystem/managers/CqzStdCmdIFaceMgr.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>

namespace
{

const auto* const environment = ::testing::AddGlobalTestEnvironment(new ViewEnvironment);
constexpr int Rows = 200000;

class ViewLoadingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetManagers();
        CqzStdCmdIFaceMgr::Instance().Reset();
        std::string text = "$timescale 1 ns $end\n$var wire 8 ! a $end\n$enddefinitions $end\n";
        for (int t = 0; t < Rows; ++t)
            text += "#" + std::to_string(t) + "\nb" + std::string(8, t % 3 ? '0' : '1') + " !\n";
        session.StartCapture(folder.Write("deep.vcd", text), {}, 64);
        session.StartTool(QZ_PLUGIN_PATH);
        session.Run();
        window = std::make_unique<CqzViewWindow>(session, "deep.vcd", false);
    }

    // Runs the window's event loop (the import runs while it waits) until the load ended.
    void WaitForTheEnd()
    {
        QEventLoop loop;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &loop,
                         [&] { if (!window->GetLoading().IsLoading()) loop.quit(); });
        poll.start(20);
        QTimer::singleShot(120000, &loop, &QEventLoop::quit);
        loop.exec();
    }

    std::int64_t ShownRows() { return window->GetTable().GetRows()->GetRowCount(); }

    HostTestFolder folder;
    CqzHostSession session;
    std::unique_ptr<CqzViewWindow> window;
};

TEST_F(ViewLoadingTest, OpensOnTheFirstRowsAndGrowsToEveryRow)
{
    ASSERT_TRUE(window->GetLoading().IsLoading());
    EXPECT_LT(ShownRows(), Rows);
    EXPECT_THROW(window->ExportCsv(folder.File("early.csv")), CqzHostError);
    WaitForTheEnd();
    EXPECT_EQ(ShownRows(), Rows);
    EXPECT_EQ(window->GetLoading().GetStopped(), "");
    window->ExportCsv(folder.File("late.csv"));
    const std::string csv = ReadText(folder.File("late.csv"));
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), Rows + 1); // a heading, then every row
}

TEST_F(ViewLoadingTest, CancelKeepsTheRowsThatArrived)
{
    window->GetLoading().Cancel();
    WaitForTheEnd();
    EXPECT_NE(window->GetLoading().GetStopped().find("the import was cancelled"),
              std::string::npos);
    EXPECT_GT(ShownRows(), 0);
    EXPECT_LT(ShownRows(), Rows);
    EXPECT_FALSE(window->grab().isNull());
}

} // namespace
