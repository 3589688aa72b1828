// A window on a capture of ten million rows asks the tool only for the pages it draws: the
// first page when it opens, the last when it jumps to the end, pages skipped over in between
// never; Count all produces the rest and the counts then cover every row.

#include "CqzBenchViewCapture.h"
#include "CqzHostSession.h"
#include "CqzPageProduction.h"
#include "CqzTermCountText.h"
#include "CqzViewWindow.h"
#include "common/UiDriver.h"
#include "qzSystem/output/CqzPageDataSource.h"

#include <QAction>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

namespace
{

// Ten million rows and a little more: whole pages and whole cycles of A.
constexpr std::int64_t Rows = 19584 * 512;

TEST(ViewDeepCapture, OnlyThePagesDrawnAreProduced)
{
    CqzHostSession session;
    session.SetData(CqzBenchViewCapture::Make(Rows));
    session.StartTool(QZ_PLUGIN_PATH);
    CqzXMLParser xml(CqzBenchViewCapture::GetSetupMarkup());
    ASSERT_TRUE(session.ApplyMarkup(xml));
    session.Run();
    const CqzData& data = session.GetData();
    const CqzID& instance = session.GetInstanceID();
    CqzPageDataSource* source = CqzPageProduction::GetSource(*data.GetTable(0), instance);
    ASSERT_NE(source, nullptr);
    const std::int64_t lastPage = source->GetPageCount() - 1;

    CqzViewWindow window(session, "generated", false);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.grab();
    // Rows 0 to 127 are shown, 128 to 255 hidden, ...: one screenful lies in page 0.
    EXPECT_EQ(source->GetPageState(0), 1);
    EXPECT_EQ(CqzPageProduction::GetProducedCount(data, instance), 1);

    ui::Key(window.GetTable().viewport(), Qt::Key_End);
    window.grab();
    const std::vector<std::int64_t> drawn = window.GetTable().GetDrawnRows();
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.back(), Rows - 1 - 128); // the last 128 rows are hidden
    EXPECT_EQ(source->GetPageState(lastPage), 1);
    EXPECT_EQ(CqzPageProduction::GetProducedCount(data, instance), 2);
    EXPECT_EQ(source->GetAllocatedPageCount(), 2);
    const std::optional<SqzTermCounts> partial = CqzTermCountText::Get(instance);
    ASSERT_TRUE(partial);
    EXPECT_EQ(partial->counted, 2 * 512);

    ASSERT_TRUE(window.CountAll());
    EXPECT_EQ(CqzPageProduction::GetProducedCount(data, instance), lastPage + 1);
    const SqzTermCounts all = *CqzTermCountText::Get(instance);
    EXPECT_EQ(all.counted, Rows);
    EXPECT_EQ(all.terms[0].hidden, Rows / 2);
    EXPECT_EQ(all.terms[1].colored, Rows / 256);
    EXPECT_EQ(all.undecided, Rows / 2 - Rows / 256);

    // A find over every row for a text none shows, stopped by the person after its first
    // step: it says so, and the window goes on (the next find finds).
    QAction* stop = nullptr;
    for (QAction* action : window.findChildren<QAction*>())
        if (action->text() == QStringLiteral("Stop"))
            stop = action;
    ASSERT_NE(stop, nullptr);
    QTimer::singleShot(0, stop, [stop] { stop->trigger(); });
    window.GetTable().GoTo(0);
    EXPECT_FALSE(window.FindValue("", "no row shows this"));
    EXPECT_TRUE(window.statusBar()->currentMessage().contains(QStringLiteral("stopped")))
        << window.statusBar()->currentMessage().toStdString();
    EXPECT_FALSE(stop->isEnabled());
    const CqzTableText& text = window.GetTable().GetRows()->GetText();
    const std::string later = text.ValueOfLine(text.GetTable().GetLine(drawn.front()), 0);
    EXPECT_TRUE(window.FindValue("", later)) << later;
}

} // namespace
