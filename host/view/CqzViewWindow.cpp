#include "CqzViewWindow.h"

#include "CqzColorName.h"
#include "CqzCsvExporter.h"
#include "CqzDialogSizes.h"
#include "CqzFilterDocument.h"
#include "CqzFilterSummary.h"
#include "CqzHostError.h"
#include "CqzHtmlExporter.h"
#include "CqzPageProduction.h"
#include "CqzTermCountText.h"
#include "CqzToolEditor.h"
#include "win/WinTypes.h"

#include <QApplication>
#include <QDockWidget>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
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
    file->addAction(QStringLiteral("C&lose"), QKeySequence::Close, this, [this] { close(); });

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
                    [this] { AskValue(); });

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
    if (tool == nullptr)
        return;
    CqzDialogSizes::Load(CqzDialogSizes::DefaultPath());
    const bool run = CqzToolEditor::Edit(*tool);
    CqzDialogSizes::Save(CqzDialogSizes::DefaultPath());
    if (!run)
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
    CqzViewRows* rows = m_table->GetRows();
    if (rows == nullptr)
        return false;
    for (int column = 0; column < rows->GetText().GetColumnCount(); ++column)
        if (rows->GetText().GetName(column) == label)
        {
            const std::int64_t from =
                m_table->GetCurrent() >= 0 ? m_table->GetCurrent() : m_table->GetTop() - 1;
            const std::optional<std::int64_t> row = rows->FindValue(column, value, from);
            if (row)
                m_table->GoTo(*row);
            return row.has_value();
        }
    return false;
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
        Complain("'" + text.toStdString() + "' is not a time (a number and ps, ns, us, ms or s).");
}

void CqzViewWindow::AskValue()
{
    CqzViewRows* rows = m_table->GetRows();
    if (rows == nullptr || rows->GetText().GetColumnCount() == 0)
        return;
    QStringList labels;
    for (int column = 0; column < rows->GetText().GetColumnCount(); ++column)
        labels << Text(rows->GetText().GetName(column));
    bool ok = false;
    const int current = std::max(0, int(labels.indexOf(Text(m_lastLabel))));
    const QString label = QInputDialog::getItem(
        this, QStringLiteral("Find value"), QStringLiteral("Label:"), labels, current, false, &ok);
    if (!ok)
        return;
    m_lastLabel = label.toStdString();
    const QString value = QInputDialog::getText(this, QStringLiteral("Find value"),
                                                QStringLiteral("Value of %1 as shown:").arg(label),
                                                QLineEdit::Normal, QString(), &ok);
    if (ok && !FindValue(m_lastLabel, value.toStdString()))
        Complain("No row below shows " + m_lastLabel + " = " + value.toStdString() + ".");
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
