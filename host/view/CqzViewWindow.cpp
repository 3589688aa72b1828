#include "CqzViewWindow.h"

#include "CqzColorName.h"
#include "CqzCsvExporter.h"
#include "CqzFilterDocument.h"
#include "CqzFilterSummary.h"
#include "CqzHostError.h"
#include "CqzHtmlExporter.h"
#include "CqzPageProduction.h"
#include "CqzTermCountText.h"
#include "CqzToolEditor.h"
#include "CqzViewFind.h"
#include "win/WinTypes.h"

#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QProgressDialog>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

namespace
{
QString Text(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}
} // namespace

CqzViewWindow::CqzViewWindow(CqzHostSession& session, const std::string& capture, bool showHidden)
    : m_session(session), m_capture(capture)
{
    m_table = new CqzViewTable(this);
    setCentralWidget(m_table);
    m_status = new QLabel(this);
    statusBar()->addWidget(m_status, 1);
    BuildMenus();
    BuildFindBar();
    BuildCounts();
    m_showHidden->setChecked(showHidden);
    m_table->SetOnPainted([this] { UpdateCounts(); });
    Reload();
    resize(1000, 560);
}

void CqzViewWindow::BuildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("Export &CSV..."), this, [this] { AskExport(false); });
    file->addAction(QStringLiteral("Export &HTML..."), this, [this] { AskExport(true); });
    file->addSeparator();
    file->addAction(QStringLiteral("&Close"), QKeySequence::Close, this, [this] { close(); });

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    m_showHidden = view->addAction(QStringLiteral("Show &hidden rows"));
    m_showHidden->setCheckable(true);
    connect(m_showHidden, &QAction::toggled, this,
            [this](bool on)
            {
                m_table->SetShowHidden(on);
                UpdateCounts();
            });
    view->addAction(QStringLiteral("Go to &row..."), QKeySequence(Qt::CTRL | Qt::Key_G), this,
                    [this] { AskRow(); });
    view->addAction(QStringLiteral("Go to &time..."), QKeySequence(Qt::CTRL | Qt::Key_T), this,
                    [this] { AskTime(); });
    view->addAction(QStringLiteral("&Find value..."), QKeySequence::Find, this,
                    [this] { ShowFindBar(); });
    view->addAction(QStringLiteral("Find &next"), QKeySequence::FindNext, this,
                    [this] { Find(true); });
    view->addAction(QStringLiteral("Find &previous"), QKeySequence::FindPrevious, this,
                    [this] { Find(false); });

    QMenu* filter = menuBar()->addMenu(QStringLiteral("F&ilter"));
    m_editFilter = filter->addAction(QStringLiteral("&Filter..."), this, [this] { EditFilter(); });
    m_editFilter->setIconText(QStringLiteral("Filter..."));
    QAction* countAll =
        filter->addAction(QStringLiteral("&Count all"), this, [this] { CountAll(); });

    QToolBar* bar = addToolBar(QStringLiteral("Actions"));
    bar->setMovable(false);
    m_filterButton = new QToolButton(bar);
    m_filterButton->setDefaultAction(m_editFilter);
    m_filterButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    bar->addWidget(m_filterButton);
    bar->addAction(m_showHidden);
    bar->addAction(countAll);
}

void CqzViewWindow::BuildCounts()
{
    auto* dock = new QDockWidget(QStringLiteral("Rows decided by each term"), this);
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    m_counts = new QTreeWidget(dock);
    m_counts->setRootIsDecorated(false);
    m_counts->setHeaderLabels(
        {QStringLiteral("Term"), QStringLiteral("Action"), QStringLiteral("Rows")});
    m_counts->header()->setStretchLastSection(false);
    m_counts->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_counts->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_counts->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    m_counts->setMinimumWidth(330);
    dock->setWidget(m_counts);
    addDockWidget(Qt::RightDockWidgetArea, dock);
}

// After every run of the tool: its output column is new, so are the rows' records.
void CqzViewWindow::Reload()
{
    const CqzData& data = m_session.GetData();
    const CqzDataTable* shown = nullptr;
    for (int t = 0; t < data.GetTableCount() && shown == nullptr; ++t)
        if (data.GetTable(t)->GetRowCount() > 0)
            shown = data.GetTable(t);
    if (shown != nullptr)
    {
        auto rows = std::make_unique<CqzViewRows>(*shown, m_session.GetInstanceID());
        rows->SetShowHidden(m_showHidden->isChecked());
        m_table->SetRows(std::move(rows));
        FillFindColumns();
    }
    CqzPlugInInterface* tool = m_session.GetTool();
    const bool hasEditor = tool != nullptr && CqzToolEditor::Find(*tool) != nullptr;
    m_editFilter->setEnabled(hasEditor);
    m_filterButton->setToolTip(hasEditor ? QStringLiteral("Edit the filter terms")
                                         : QStringLiteral("The filter tool offers no editor"));
    UpdateTitle();
    UpdateCounts();
}

void CqzViewWindow::UpdateTitle()
{
    setWindowTitle(
        Text("qzfilter view: " + m_capture +
             (m_session.IsFilterEnabled() ? " (filter enabled)" : " (filter disabled)")));
}

void CqzViewWindow::UpdateCounts()
{
    const CqzData& data = m_session.GetData();
    const CqzID& instance = m_session.GetInstanceID();
    const std::int64_t pages = CqzPageProduction::GetPageCount(data, instance);
    const std::int64_t produced = CqzPageProduction::GetProducedCount(data, instance);
    const std::optional<SqzTermCounts> counts = CqzTermCountText::Get(instance);
    m_counts->clear();
    if (counts && m_session.IsFilterEnabled())
    {
        int number = 0;
        for (const SqzTermCount& term : counts->terms)
        {
            auto* item = new QTreeWidgetItem(m_counts);
            item->setText(0, Text(std::to_string(++number) + ". " + term.name.ToUtf8()));
            item->setText(1, Text(CqzTermCountText::Action(term)));
            item->setText(2, Text(CqzTermCountText::Decided(term)));
            if (term.action == 2)
                item->setBackground(
                    1, QColor(GetRValue(term.color), GetGValue(term.color), GetBValue(term.color)));
        }
        auto* rest = new QTreeWidgetItem(m_counts);
        rest->setText(0, QStringLiteral("No term"));
        rest->setText(2, Text(std::to_string(counts->undecided) + " shown"));
    }
    m_status->setText(Text(std::to_string(counts ? counts->counted : 0) + " of " +
                           std::to_string(counts ? counts->rows : 0) + " rows counted (" +
                           std::to_string(produced) + " of " + std::to_string(pages) +
                           " pages produced)"));
}

void CqzViewWindow::EditFilter()
{
    CqzPlugInInterface* tool = m_session.GetTool();
    if (tool == nullptr || !CqzToolEditor::Edit(*tool))
        return;
    m_session.Run();
    Reload();
}

bool CqzViewWindow::CountAll()
{
    const CqzData& data = m_session.GetData();
    const CqzID& instance = m_session.GetInstanceID();
    QProgressDialog progress(QStringLiteral("Counting every row..."), QStringLiteral("Cancel"), 0,
                             1000, this);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const bool done = CqzPageProduction::ProduceAll(
        data, instance,
        [&progress](std::int64_t pages, std::int64_t total)
        {
            progress.setValue(total > 0 ? int(pages * 1000 / total) : 1000);
            QApplication::processEvents();
            return !progress.wasCanceled();
        });
    UpdateCounts();
    m_table->viewport()->update();
    return done;
}

bool CqzViewWindow::GoToTime(const std::string& text)
{
    const std::optional<std::int64_t> row =
        m_table->GetRows() ? m_table->GetRows()->FindTime(text) : std::nullopt;
    if (row)
        m_table->GoTo(*row);
    return row.has_value();
}

bool CqzViewWindow::FindValue(const std::string& label, const std::string& value)
{
    const int at = label.empty() ? 0 : m_findColumn->findText(Text(label));
    if (at < 0)
        return false;
    m_findColumn->setCurrentIndex(at);
    m_findText->setText(Text(value));
    return Find(true);
}

void CqzViewWindow::BuildFindBar()
{
    QToolBar* bar = new QToolBar(QStringLiteral("Find"), this);
    bar->setMovable(false);
    addToolBar(Qt::TopToolBarArea, bar);
    bar->addWidget(new QLabel(QStringLiteral(" Find: "), bar));
    m_findText = new QLineEdit(bar);
    m_findText->setPlaceholderText(QStringLiteral("a value: 0x404, 404h, 1028 or text"));
    m_findText->setClearButtonEnabled(true);
    m_findText->setMinimumWidth(240);
    connect(m_findText, &QLineEdit::returnPressed, this, [this] { Find(true); });
    bar->addWidget(m_findText);
    bar->addWidget(new QLabel(QStringLiteral(" in "), bar));
    m_findColumn = new QComboBox(bar);
    m_findColumn->addItem(QStringLiteral("any column"));
    bar->addWidget(m_findColumn);
    bar->addAction(QStringLiteral("Next"), this, [this] { Find(true); })
        ->setToolTip(QStringLiteral("The next row that matches (F3)"));
    bar->addAction(QStringLiteral("Previous"), this, [this] { Find(false); })
        ->setToolTip(QStringLiteral("The previous row that matches (Shift+F3)"));
    m_findStop = bar->addAction(QStringLiteral("Stop"), this, [this] { m_findCancelled = true; });
    m_findStop->setShortcut(Qt::Key_Escape);
    m_findStop->setEnabled(false);
    m_findProgress = new QProgressBar(this);
    m_findProgress->setMaximumWidth(160);
    m_findProgress->setRange(0, 1000);
    m_findProgress->hide();
    statusBar()->addPermanentWidget(m_findProgress);
}

void CqzViewWindow::FillFindColumns()
{
    const int current = m_findColumn->currentIndex();
    while (m_findColumn->count() > 1)
        m_findColumn->removeItem(1);
    const CqzTableText& text = m_table->GetRows()->GetText();
    for (int column = 0; column < text.GetColumnCount(); ++column)
        m_findColumn->addItem(Text(text.GetName(column)));
    m_findColumn->setCurrentIndex(current < m_findColumn->count() ? current : 0);
}

void CqzViewWindow::ShowFindBar()
{
    m_findText->setFocus();
    m_findText->selectAll();
}

bool CqzViewWindow::Find(bool forward)
{
    CqzViewRows* rows = m_table->GetRows();
    const std::string text = m_findText->text().trimmed().toStdString();
    if (rows == nullptr || m_finding)
        return false;
    if (text.empty())
    {
        ShowFindBar();
        return false;
    }
    CqzViewFind find(*rows, m_findColumn->currentIndex() - 1, text);
    std::int64_t from = m_table->GetCurrent() >= 0 ? m_table->GetCurrent()
                        : forward                  ? m_table->GetTop() - 1
                                                   : m_table->GetTop();
    // Steps of rows with the window's events between them: it keeps drawing, and Escape or
    // Stop ends the search.
    m_finding = true;
    m_findCancelled = false;
    m_findStop->setEnabled(true);
    std::optional<std::int64_t> found;
    const std::int64_t total = std::max<std::int64_t>(rows->GetRowCount(), 1);
    for (int steps = 0; !found && !find.AtEnd(from) && !m_findCancelled; ++steps)
    {
        found = find.Step(from, forward, 20000);
        if (steps == 5)
            m_findProgress->show();
        m_findProgress->setValue(int((forward ? from : total - from) * 1000 / total));
        QApplication::processEvents();
    }
    m_finding = false;
    m_findStop->setEnabled(false);
    m_findProgress->hide();
    const std::string what = "'" + text + "'";
    if (found)
    {
        m_table->GoTo(*found);
        statusBar()->showMessage(Text("Row " + std::to_string(*found) + " matches " + what + "."),
                                 5000);
    }
    else
        statusBar()->showMessage(
            Text(m_findCancelled ? "Search for " + what + " stopped."
                                 : std::string("No row ") + (forward ? "below" : "above") +
                                       " matches " + what + "."),
            8000);
    return found.has_value();
}

void CqzViewWindow::ExportCsv(const std::string& path)
{
    CqzCsvExporter::Export(path, m_session.GetData(), m_session.GetInstanceID(), false);
}

void CqzViewWindow::ExportHtml(const std::string& path)
{
    const CqzData& data = m_session.GetData();
    const CqzID& instance = m_session.GetInstanceID();
    const SqzFilterCounts counts = CqzFilterSummary::Count(data, instance, false);
    const SqzHtmlPage page{"qzfilter: " + m_capture,
                           CqzFilterDocument::DescribeTerms(m_session.GetSetupMarkup()), counts,
                           m_showHidden->isChecked(), false};
    CqzHtmlExporter::Export(path, data, instance, page);
}

void CqzViewWindow::AskRow()
{
    bool ok = false;
    const qlonglong last = m_table->GetRows() ? m_table->GetRows()->GetRowCount() - 1 : 0;
    const QString text = QInputDialog::getText(this, QStringLiteral("Go to row"),
                                               QStringLiteral("Row (0 to %1):").arg(last),
                                               QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return;
    const qlonglong row = text.trimmed().toLongLong(&ok);
    if (!ok || row < 0 || row > last)
        return Complain("'" + text.toStdString() + "' is not a row of this capture.");
    m_table->GoTo(row);
}

void CqzViewWindow::AskTime()
{
    bool ok = false;
    const QString text = QInputDialog::getText(this, QStringLiteral("Go to time"),
                                               QStringLiteral("Time (for example 4.86 us):"),
                                               QLineEdit::Normal, QString(), &ok);
    if (ok && !GoToTime(text.toStdString()))
        Complain("'" + text.toStdString() +
                 "' is not a time of the capture: a number at or above 0 and ps, ns, us, ms or s.");
}

void CqzViewWindow::AskExport(bool html)
{
    const QString path = QFileDialog::getSaveFileName(
        this, html ? QStringLiteral("Export HTML") : QStringLiteral("Export CSV"), QString(),
        html ? QStringLiteral("HTML pages (*.html)") : QStringLiteral("CSV files (*.csv)"));
    if (path.isEmpty())
        return;
    try
    {
        html ? ExportHtml(path.toStdString()) : ExportCsv(path.toStdString());
    }
    catch (const CqzHostError& error)
    {
        Complain(error.what());
    }
}

void CqzViewWindow::Complain(const std::string& text)
{
    QMessageBox::warning(this, QStringLiteral("qzfilter view"), Text(text));
}
