// The view window on the bundled sample with its setup, driven as a person would (offscreen):
// the rows drawn and their colours equal the program's own export of the same setup while
// scrolling, jumping to a row and a time, finding a value and showing hidden rows; the title,
// the Filter button and the window's CSV export; last, the filter edited in the dialog the
// Filter button opens.

#include "CqzEditScript.h"
#include "CqzFilterBar.h"
#include "CqzHostError.h"
#include "CqzSessionOpener.h"
#include "CqzPageProduction.h"
#include "CqzToolEditor.h"
#include "CqzViewWindow.h"
#include "ViewTestSupport.h"
#include "common/UiDriver.h"
#include "qzSystem/output/CqzSampleAttributes.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QImage>
#include <QMessageBox>
#include <QStatusBar>
#include <QScrollBar>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <filesystem>
#include <sstream>
#include <tuple>

namespace
{

const auto* const environment = ::testing::AddGlobalTestEnvironment(new ViewEnvironment);

class ViewWindowTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        options = new SqzHostOptions(CqzHostOptions::Parse({"--plugin", QZ_PLUGIN_PATH}));
        std::string phase;
        std::ostringstream err;
        session = CqzSessionOpener::Open(*options, phase, err).release();
        folder = new HostTestFolder;
        expected = new std::vector<SqzCsvRow>(ProgramCsv(*folder, {}));
    }
    static void TearDownTestSuite()
    {
        delete expected;
        delete folder;
        delete session;
        delete options;
    }

    void SetUp() override
    {
        window = std::make_unique<CqzViewWindow>(*session, options->capture, false);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    CqzViewTable& Table() { return window->GetTable(); }

    // The shown rows (or every row) of the program's export from `row` on.
    static std::vector<std::int64_t> ExpectedFrom(std::int64_t row, std::size_t count,
                                                  bool all = false)
    {
        std::vector<std::int64_t> rows;
        for (; row < std::int64_t(expected->size()) && rows.size() < count; ++row)
            if (all || !(*expected)[std::size_t(row)].hidden)
                rows.push_back(row);
        return rows;
    }

    // The drawn rows are the export's rows from the top, each painted in its colour, and each
    // run of hidden rows left out is marked above the next row with the export's count.
    void ExpectDrawnAsExported(bool all = false)
    {
        const std::vector<std::int64_t> drawn = Table().GetDrawnRows();
        ASSERT_FALSE(drawn.empty());
        EXPECT_EQ(drawn, ExpectedFrom(drawn.front(), drawn.size(), all));
        const QImage picture = Table().viewport()->grab().toImage();
        std::int64_t previous = drawn.front() - 1;
        while (!all && previous >= 0 && (*expected)[std::size_t(previous)].hidden)
            --previous;
        for (const SqzViewLine& line : Table().GetLayout())
        {
            EXPECT_EQ(line.hiddenBefore, line.row - previous - 1) << "row " << line.row;
            previous = line.row;
            if (line.row >= std::int64_t(expected->size()))
                continue;
            const SqzCsvRow& row = (*expected)[std::size_t(line.row)];
            // The row's end: the number cell shows the selection instead.
            const QColor pixel = picture.pixelColor(picture.width() - 3,
                                                    line.y + Table().GetLineHeight() / 2);
            const QString want = row.color.empty() || row.hidden
                                     ? QStringLiteral("#ffffff")
                                     : QString::fromStdString(row.color);
            EXPECT_EQ(pixel.name(), want) << "row " << line.row;
        }
    }

    static SqzHostOptions* options;
    static CqzHostSession* session;
    static HostTestFolder* folder;
    static std::vector<SqzCsvRow>* expected;
    std::unique_ptr<CqzViewWindow> window;
};

SqzHostOptions* ViewWindowTest::options = nullptr;
CqzHostSession* ViewWindowTest::session = nullptr;
HostTestFolder* ViewWindowTest::folder = nullptr;
std::vector<SqzCsvRow>* ViewWindowTest::expected = nullptr;

TEST_F(ViewWindowTest, ScrollingToTheEndAndBackDrawsTheExportedRowsInTheirColours)
{
    ExpectDrawnAsExported();
    ui::Key(Table().viewport(), Qt::Key_PageDown);
    ExpectDrawnAsExported();
    ui::Key(Table().viewport(), Qt::Key_End);
    ExpectDrawnAsExported();
    const std::vector<std::int64_t> last = Table().GetDrawnRows();
    EXPECT_EQ(last.back(), ExpectedFrom(last.back(), 1).front());
    EXPECT_TRUE(ExpectedFrom(last.back() + 1, 1).empty()) << "the last shown row is drawn";
    ui::Key(Table().viewport(), Qt::Key_Up);
    EXPECT_LT(Table().GetDrawnRows().front(), last.front());
    ui::Key(Table().viewport(), Qt::Key_Home);
    EXPECT_EQ(Table().GetDrawnRows().front(), ExpectedFrom(0, 1).front());
    ExpectDrawnAsExported();
}

TEST_F(ViewWindowTest, JumpsToARowATimeAndTheNextValue)
{
    // Row 7395 is hidden: the jump lands on the next shown row.
    ASSERT_TRUE((*expected)[7395].hidden);
    Table().GoTo(7395);
    EXPECT_EQ(Table().GetCurrent(), ExpectedFrom(7395, 1).front());
    ExpectDrawnAsExported();

    ASSERT_TRUE(window->GoToTime("241.335 us"));
    std::int64_t atTime = 0;
    while ((*expected)[std::size_t(atTime)].time < 241335000 ||
           (*expected)[std::size_t(atTime)].hidden)
        ++atTime;
    EXPECT_EQ(Table().GetCurrent(), atTime);
    EXPECT_FALSE(window->GoToTime("soon"));
    EXPECT_FALSE(window->GoToTime("-1 us"));

    ASSERT_TRUE(window->FindValue("MSG", "IRQ_ACK"));
    std::int64_t found = atTime + 1;
    while ((*expected)[std::size_t(found)].hidden ||
           (*expected)[std::size_t(found)].fields.back() != "irq_ack")
        ++found;
    EXPECT_EQ(Table().GetCurrent(), found);
    EXPECT_FALSE(window->FindValue("MSG", "no such text"));
}

// The find bar takes a value in every radix of the term language and 404h, or a text that the
// table shows, in one column or in any; F3 and Shift+F3 go on down and up.
TEST_F(ViewWindowTest, FindMatchesNumbersInEveryRadixAndTextInAnyColumn)
{
    // The first shown row after `from` (up: before) whose field passes `match`; -1 if none.
    const auto expect = [&](std::int64_t from, int step, auto match)
    {
        for (std::int64_t row = from + step; row >= 0 && row < std::int64_t(expected->size());
             row += step)
            if (!(*expected)[std::size_t(row)].hidden && match((*expected)[std::size_t(row)]))
                return row;
        return std::int64_t(-1);
    };
    const auto address = [](std::uint64_t value)
    { return [value](const SqzCsvRow& row) { return std::stoull(row.fields[0], nullptr, 16) == value; }; };
    Table().GoTo(0);
    const std::int64_t start = Table().GetCurrent();
    const std::int64_t at404 = expect(start, 1, address(0x404));
    ASSERT_GE(at404, 0);
    for (const char* text : {"0x404", "404h", "1028", "0b10000000100", "0x4?4"})
    {
        Table().GoTo(0);
        EXPECT_TRUE(window->FindValue("ADDR", text)) << text;
        EXPECT_EQ(Table().GetCurrent(), at404) << text;
    }
    // As text: a substring of what any column shows, in any case.
    Table().GoTo(0);
    ASSERT_TRUE(window->FindValue("", "IRQ_A"));
    const auto irq = [](const SqzCsvRow& row) { return row.fields.back() == "irq_ack"; };
    const std::int64_t first = expect(start, 1, irq);
    EXPECT_EQ(Table().GetCurrent(), first);
    ui::Key(Table().viewport(), Qt::Key_F3);
    const std::int64_t second = expect(first, 1, irq);
    EXPECT_EQ(Table().GetCurrent(), second);
    ui::Key(Table().viewport(), Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(Table().GetCurrent(), first);
    EXPECT_FALSE(window->Find(false)) << "no irq_ack above the first";
    EXPECT_EQ(Table().GetCurrent(), first);
}

// Click, Shift+click and Ctrl+click select rows; Ctrl+C copies them with a heading line, as
// the table shows them, tab-separated.
TEST_F(ViewWindowTest, SelectedRowsCopyAsTabSeparatedText)
{
    Table().GoTo(7390);
    const std::vector<SqzViewLine> layout = Table().GetLayout();
    ASSERT_GE(layout.size(), 7u);
    QWidget* viewport = Table().viewport();
    const auto click = [&](std::size_t line, Qt::KeyboardModifiers modifiers)
    { QTest::mouseClick(viewport, Qt::LeftButton, modifiers, QPoint(30, layout[line].y + 4)); };
    click(0, Qt::NoModifier);
    click(4, Qt::ShiftModifier);
    click(6, Qt::ControlModifier);
    ui::Key(viewport, Qt::Key_C, Qt::ControlModifier);
    std::istringstream text(QApplication::clipboard()->text().toStdString());
    std::string line;
    std::getline(text, line);
    EXPECT_EQ(line, "Row\tTime (us)\tADDR\tDATA\tRW\tSTAT\tMSG");
    for (const std::size_t at : {0u, 1u, 2u, 3u, 4u, 6u})
    {
        ASSERT_TRUE(std::getline(text, line));
        const SqzCsvRow& row = (*expected)[std::size_t(layout[at].row)];
        EXPECT_EQ(line.substr(0, line.find('\t')), std::to_string(layout[at].row));
        EXPECT_EQ(line.substr(line.rfind('\t') + 1), row.fields.back()) << line;
    }
    EXPECT_FALSE(std::getline(text, line));
}

TEST_F(ViewWindowTest, ShowingHiddenRowsDrawsEveryRowAndHiddenOnesDimmed)
{
    Table().GoTo(7390);
    QToolButton* toggle = nullptr;
    for (QToolButton* button : window->findChildren<QToolButton*>())
        if (button->defaultAction() == &window->GetShowHiddenAction())
            toggle = button;
    ASSERT_NE(toggle, nullptr);
    ui::Click(toggle);
    ASSERT_TRUE(window->GetShowHiddenAction().isChecked());
    ExpectDrawnAsExported(true);
    ui::Click(toggle);
    ExpectDrawnAsExported();
}

TEST_F(ViewWindowTest, TitleFilterButtonAndExport)
{
    EXPECT_EQ(window->windowTitle().toStdString(),
              "qzfilter view: " + options->capture + " (filter enabled)");
    // The button follows the tool's editor command: disabled, saying so, without one.
    const bool hasEditor = CqzToolEditor::Find(*session->GetTool()) != nullptr;
    EXPECT_EQ(window->GetFilterButton().isEnabled(), hasEditor);
    EXPECT_EQ(window->GetFilterButton().toolTip() ==
                  QStringLiteral("The filter tool offers no editor"),
              !hasEditor);

    const std::string path = folder->File("window.csv");
    window->ExportCsv(path);
    EXPECT_EQ(ReadText(path), ReadText(folder->File("program.csv")));
}

TEST_F(ViewWindowTest, ExportThroughTheMenuAddsTheExtensionAndSaysWhyItFailed)
{
    // File > Export CSV, the save dialog answered with `name` as a person types it.
    const auto exportAs = [this](const std::string& name)
    {
        const auto files = ui::AnswerModal(
            [name](QWidget* dialog)
            {
                auto* chooser = qobject_cast<QFileDialog*>(dialog);
                ASSERT_NE(chooser, nullptr);
                // Typed into the name field: selectFile() is ignored while that field has
                // the focus, and the dialog would then wait for a name forever.
                auto* field = chooser->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
                if (field != nullptr)
                    field->setText(QString::fromStdString(name));
                static_cast<QDialog*>(chooser)->accept(); // as the Save button does
                if (chooser->isVisible())
                {
                    ADD_FAILURE() << "the save dialog did not take " << name;
                    chooser->reject();
                }
            });
        for (QAction* action : window->findChildren<QAction*>())
            if (ui::Plain(action->text()) == QStringLiteral("Export CSV..."))
                action->trigger();
        EXPECT_TRUE(files->Done());
    };
    exportAs(folder->File("menu"));
    EXPECT_EQ(ReadText(folder->File("menu.csv")), ReadText(folder->File("program.csv")));
    EXPECT_TRUE(window->statusBar()->currentMessage().contains(QStringLiteral("menu.csv")));

    // A failed export names the system's reason (the window shows it in a message box; the
    // save dialog's name completion makes that path unsteady to drive through the menu).
    std::filesystem::create_directories(folder->File("taken.csv"));
    try
    {
        window->ExportCsv(folder->File("taken.csv"));
        ADD_FAILURE() << "a folder in the way was not refused";
    }
    catch (const CqzHostError& error)
    {
        EXPECT_NE(std::string(error.what()).find("taken.csv': "), std::string::npos)
            << error.what();
    }
}

// Last, as it changes the shared session's filter: the Filter button opens the tool's dialog
// "Filter", a person takes the steps and presses OK. The table and the window's CSV export then
// equal the program's export of the sample's setup with the same change, one step after the
// other: the first term (bus errors in red) hides its rows, then the whole filter is disabled
// (every row shown again, none left hidden from the run before).
TEST_F(ViewWindowTest, FilterEditedInTheDialogRedrawsTheTable)
{
    ASSERT_TRUE(window->GetFilterButton().isEnabled());
    std::string setup = ReadText(CqzSessionOpener::SampleSetup());
    const std::vector<std::tuple<const char*, std::string, std::string>> edits = {
        {"type 1 Hide\nok\n", "<FilterAction Type='Color' Color='h3c3ce6'/>",
         "<FilterAction Type='Hide'/>"},
        {"filter off\nok\n", "<Filter Enabled='T'>", "<Filter Enabled='F'>"}};
    for (const auto& [steps, before, after] : edits)
    {
        bool edited = false;
        const auto answer = ui::AnswerModal(
            [&edited, steps = steps](QWidget* modal)
            {
                auto* dialog = static_cast<CWnd*>(const_cast<void*>(ui::BoundTo(modal)));
                ASSERT_NE(dialog, nullptr);
                CqzEditScript::Parse(steps, "test").Apply(dialog);
                edited = true;
            });
        ui::Click(&window->GetFilterButton());
        ASSERT_TRUE(edited) << steps;

        ASSERT_NE(setup.find(before), std::string::npos);
        setup.replace(setup.find(before), before.size(), after);
        *expected = ProgramCsv(*folder, {"--setup", folder->Write("edited.xml", setup)});
        Table().GoTo(0);
        ExpectDrawnAsExported();
        // Row by row, the table's hidden rows are the export's.
        for (std::int64_t row = 0; row < std::int64_t(expected->size()); row += 997)
        {
            Table().GoTo(row);
            ExpectDrawnAsExported();
        }
        const std::string path = folder->File("window.csv");
        window->ExportCsv(path);
        EXPECT_EQ(ReadText(path), ReadText(folder->File("program.csv"))) << steps;
    }
}

// Also last: a term typed in the filter bar is checked as the command line checks it and, on
// Enter, becomes the filter's first term, written as the command line writes it.
TEST_F(ViewWindowTest, FilterBarTermIsCheckedAndTriedFirst)
{
    CqzFilterBar& bar = window->GetFilterBar();
    QLineEdit* field = bar.GetField().lineEdit();
    ui::Activate(field);
    field->setFocus();
    ui::Type(field, "hide ADDR <> 3");
    EXPECT_EQ(bar.GetProblem(), "column 11: unknown operator '<>'"); // column 6 of 'ADDR <> 3'
    field->clear();
    ui::Type(field, "color red MSG ~ \"irq\"");
    EXPECT_EQ(bar.GetProblem(), "");
    ui::Key(field, Qt::Key_Return);

    const std::string markup = session->GetSetupMarkup().ToUtf8();
    const std::string saved = folder->Write("bar.xml", markup);
    HostTestFolder cli;
    const std::string printed = cli.File("printed.xml");
    ProgramCsv(cli, {"--color", "red", "MSG ~ \"irq\"", "--save-markup", printed});
    const auto firstTerm = [](const std::string& text)
    {
        const std::size_t start = text.find("<FilterExpression");
        return text.substr(start, text.find("</FilterExpression>", start) - start);
    };
    EXPECT_EQ(firstTerm(markup), firstTerm(ReadText(printed)));
    *expected = ProgramCsv(*folder, {"--setup", saved});
    Table().GoTo(0);
    ExpectDrawnAsExported();
    EXPECT_EQ(window->GetCountsView().topLevelItem(0)->text(0).toStdString(), "1. MSG ~ \"irq\"");
}

} // namespace

namespace
{

// A drag over the header of the table, from one point to another.
void DragHeader(QWidget* viewport, int from, int to, int y)
{
    QTest::mousePress(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(from, y));
    QMouseEvent move(QEvent::MouseMove, QPointF(to, y), viewport->mapToGlobal(QPointF(to, y)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QTest::mouseRelease(viewport, Qt::LeftButton, Qt::NoModifier, QPoint(to, y));
}

std::string CopiedHeading(CqzViewTable& table)
{
    table.GoTo(0);
    ui::Key(table.viewport(), Qt::Key_C, Qt::ControlModifier);
    const std::string text = QApplication::clipboard()->text().toStdString();
    return text.substr(0, text.find('\n'));
}

} // namespace

TEST_F(ViewWindowTest, ColumnsArrangedByThePersonAreCopiedAndRememberedForTheLayout)
{
    CqzViewSettings settings(folder->File("view.txt"));
    window->UseSettings(settings);
    CqzViewColumns& columns = Table().GetColumns();
    QWidget* viewport = Table().viewport();
    const int y = Table().GetLineHeight() / 2;
    const int rowWidth = columns.GetWidth(0);
    // The ADDR header dropped on the Row header; then the Row column's edge dragged wider.
    DragHeader(viewport, columns.RightOf(1) + 10, 5, y);
    DragHeader(viewport, columns.RightOf(1), columns.RightOf(1) + 30, y);
    columns.SetShown(1, false); // the time column, as the header's menu hides it
    Table().ColumnsChanged();
    EXPECT_EQ(CopiedHeading(Table()), "ADDR\tRow\tDATA\tRW\tSTAT\tMSG");
    EXPECT_EQ(columns.GetWidth(1), rowWidth + 30);

    window->close();
    ASSERT_FALSE(settings.Save());
    CqzViewSettings read(settings.GetPath());
    read.Load();
    ASSERT_TRUE(read.GetGeometry());
    CqzViewWindow again(*session, options->capture, false);
    again.UseSettings(read);
    EXPECT_EQ(again.GetTable().GetColumns().Save(), columns.Save());
    EXPECT_EQ(again.geometry().size(), window->geometry().size());
}

TEST_F(ViewWindowTest, ADroppedFileAsksToOpenIt)
{
    std::string asked;
    window->SetOnOpen([&asked](const std::string& path) { asked = path; });
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QStringLiteral("/captures/other bus.vcd"))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &drop);
    EXPECT_EQ(asked, "/captures/other bus.vcd");
    EXPECT_FALSE(window->isVisible());
}
