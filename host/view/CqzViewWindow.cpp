#include "CqzViewWindow.h"

#include "CqzColorName.h"
#include "CqzCsvExporter.h"
#include "CqzDialogSizes.h"
#include "CqzFilterDocument.h"
#include "CqzFilterSummary.h"
#include "CqzHostError.h"
#include "CqzHtmlExporter.h"
#include "CqzListedTables.h"
#include "CqzPageProduction.h"
#include "CqzTermCountText.h"
#include "CqzToolEditor.h"
#include "CqzViewFind.h"
#include "win/WinTypes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCompleter>
#include <QMimeData>
#include <QStringListModel>
#include <QFileDialog>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QProgressDialog>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace
{
QString Text(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

// The path with the export's extension when the person wrote none.
std::string WithExtension(const std::string& path, const std::string& extension)
{
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    const bool has = dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
    return has ? path : path + extension;
}
} // namespace

CqzViewWindow::CqzViewWindow(CqzHostSession& session, const std::string& capture, bool showHidden)
    : m_session(session), m_capture(capture)
{
    // The table and the term panel share the window in a splitter; the table keeps its room
    // when the window grows, and the person drags the panel's edge.
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->setChildrenCollapsible(false);
    m_table = new CqzViewTable(split);
    setCentralWidget(split);
    m_status = new QLabel(this);
    statusBar()->addWidget(m_status, 1);
    BuildMenus();
    BuildFindBar();
    addToolBarBreak();
    QToolBar* filterBar = addToolBar(QStringLiteral("Filter bar"));
    filterBar->setMovable(false);
    m_filterBar = new CqzFilterBar(filterBar);
    m_filterBar->SetLabels(session.GetLabels());
    m_filterBar->SetOnApply([this](const SqzHostFilterTerm& term) { AddFirstTerm(term); });
    filterBar->addWidget(m_filterBar);
    BuildCounts();
    m_showHidden->setChecked(showHidden);
    m_table->SetOnPainted([this] { UpdateCounts(); });
    Reload();
    m_loading = std::make_unique<CqzViewLoading>(
        session, *this, [this] { return m_finding || m_counting; },
        [this]
        {
            const CqzData& data = m_session.GetData();
            if (m_tableIndex >= 0 && m_tableIndex < data.GetTableCount())
                ShowRows(*data.GetTable(m_tableIndex));
            UpdateCounts();
        });
    resize(1000, 560);
    setAcceptDrops(true);
}

void CqzViewWindow::UseSettings(CqzViewSettings& settings)
{
    m_settings = &settings;
    if (const auto geometry = settings.GetGeometry())
        setGeometry((*geometry)[0], (*geometry)[1], (*geometry)[2], (*geometry)[3]);
    RememberFind({});
    m_table->SetColumnMemory(
        [&settings](const std::string& layout) { return settings.GetColumns(layout); },
        [&settings](const std::string& layout, const std::string& saved)
        { settings.SetColumns(layout, saved); });
}

void CqzViewWindow::closeEvent(QCloseEvent* event)
{
    if (m_settings != nullptr)
    {
        const QRect place = geometry();
        m_settings->SetGeometry({place.x(), place.y(), place.width(), place.height()});
    }
    QMainWindow::closeEvent(event);
}

void CqzViewWindow::dragEnterEvent(QDragEnterEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (m_open && !urls.isEmpty() && urls.front().isLocalFile())
        event->acceptProposedAction();
}

void CqzViewWindow::dropEvent(QDropEvent* event)
{
    const QList<QUrl> urls = event->mimeData()->urls();
    if (!urls.isEmpty() && urls.front().isLocalFile())
    {
        event->acceptProposedAction();
        OpenCapture(urls.front().toLocalFile().toStdString());
    }
}

void CqzViewWindow::OpenCapture(const std::string& path)
{
    if (!m_open)
        return;
    m_open(path);
    close();
}

void CqzViewWindow::AskOpen()
{
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Open capture"), QString(),
        QStringLiteral("Captures (*.vcd *.fst *.csv *.tsv *.txt *.sr);;All files (*)"));
    if (!path.isEmpty())
        OpenCapture(path.toStdString());
}

void CqzViewWindow::FillRecent()
{
    m_recent->clear();
    const std::vector<std::string> none;
    for (const std::string& path : m_settings ? m_settings->GetRecent() : none)
        m_recent->addAction(Text(path), this, [this, path] { OpenCapture(path); });
    m_recent->setEnabled(m_open && !m_recent->isEmpty());
}

// Keeps a searched text at the top of the find field's history (its completer).
void CqzViewWindow::RememberFind(const std::string& text)
{
    if (m_settings == nullptr)
        return;
    m_settings->AddFind(text);
    QStringList history;
    for (const std::string& find : m_settings->GetFinds())
        history << Text(find);
    auto* completer = new QCompleter(history, m_findText);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    delete m_findText->completer();
    m_findText->setCompleter(completer);
}

void CqzViewWindow::BuildMenus()
{
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Open..."), QKeySequence::Open, this, [this] { AskOpen(); });
    m_recent = file->addMenu(QStringLiteral("Open &recent"));
    connect(file, &QMenu::aboutToShow, this, [this] { FillRecent(); });
    file->addSeparator();
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
                    [this] { ShowFindBar(); });
    view->addAction(QStringLiteral("Find &next"), QKeySequence::FindNext, this,
                    [this] { Find(true); });
    view->addAction(QStringLiteral("Find &previous"), QKeySequence::FindPrevious, this,
                    [this] { Find(false); });

    QMenu* filter = menuBar()->addMenu(QStringLiteral("F&ilter"));
    m_editFilter = filter->addAction(QStringLiteral("&Filter..."),
                                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F), this,
                                     [this] { EditFilter(); });
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
    m_tableChoice = new QComboBox(bar);
    m_tableChoice->setObjectName(QStringLiteral("tables"));
    m_tableChoice->setToolTip(QStringLiteral("The table shown"));
    m_tableChoiceAction = bar->addWidget(m_tableChoice);
    connect(m_tableChoice, &QComboBox::activated, this, [this](int index) { ShowTable(index); });
    // The tool bar's buttons take the focus by Tab, as the dialog's buttons do.
    for (QToolButton* button : bar->findChildren<QToolButton*>())
        button->setFocusPolicy(Qt::TabFocus);
}

void CqzViewWindow::BuildCounts()
{
    auto* split = static_cast<QSplitter*>(centralWidget());
    auto* panel = new QWidget(split);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Rows decided by each term"), panel));
    m_counts = new QTreeWidget(panel);
    m_counts->setRootIsDecorated(false);
    m_counts->setHeaderLabels(
        {QStringLiteral("Term"), QStringLiteral("Action"), QStringLiteral("Rows")});
    m_counts->header()->setStretchLastSection(false);
    m_counts->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_counts->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    m_counts->header()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    m_counts->setMinimumWidth(160);
    layout->addWidget(m_counts);
    split->addWidget(panel);
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 0);
    split->setSizes({650, 330});
}

// After every run of the tool: its output column is new, so are the rows' records.
void CqzViewWindow::Reload()
{
    const CqzData& data = m_session.GetData();
    if (m_tableIndex < 0 || m_tableIndex >= data.GetTableCount())
        for (m_tableIndex = 0; m_tableIndex + 1 < data.GetTableCount() &&
                               data.GetTable(m_tableIndex)->GetRowCount() == 0;)
            ++m_tableIndex;
    FillTableChoice();
    const CqzDataTable* shown =
        m_tableIndex < data.GetTableCount() ? data.GetTable(m_tableIndex) : nullptr;
    if (shown != nullptr)
    {
        ShowRows(*shown);
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

// The rows' records are read anew: after a run, or when rows arrived (the tool was refreshed).
void CqzViewWindow::ShowRows(const CqzDataTable& table)
{
    auto rows = std::make_unique<CqzViewRows>(table, m_session.GetInstanceID());
    rows->SetShowHidden(m_showHidden->isChecked());
    m_table->SetRows(std::move(rows));
}

void CqzViewWindow::RefuseWhileLoading() const
{
    if (m_loading && m_loading->IsLoading())
        throw CqzHostError(eqzExitUsage,
                           "the capture is still loading: export it once all its rows arrived");
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
    // Every term of the setup under its own number; those switched off (or all, with the
    // filter disabled) greyed, the others with the rows they decided.
    const bool enabled = m_session.IsFilterEnabled();
    std::size_t counted = 0;
    int number = 0;
    for (const SqzSetupTerm& setup : CqzFilterDocument::ReadTerms(m_session.GetSetupMarkup()))
    {
        auto* item = new QTreeWidgetItem(m_counts);
        const SqzTermCount* term = enabled && setup.enabled && counts &&
                                           counted < counts->terms.size()
                                       ? &counts->terms[counted++]
                                       : nullptr;
        item->setText(0, Text(std::to_string(++number) + ". " +
                              (term ? term->name.ToUtf8() : setup.name)));
        item->setText(1, Text(term ? CqzTermCountText::Action(*term) : setup.action));
        if (term == nullptr)
        {
            item->setText(2, enabled ? QStringLiteral("switched off") : QString());
            for (int column = 0; column < 3; ++column)
                item->setForeground(column, QColor(0x99, 0x99, 0x99));
            continue;
        }
        item->setText(2, Text(CqzTermCountText::Decided(*term)));
        if (term->action == 2)
            item->setBackground(
                1, QColor(GetRValue(term->color), GetGValue(term->color), GetBValue(term->color)));
    }
    if (counts && enabled)
    {
        auto* rest = new QTreeWidgetItem(m_counts);
        rest->setText(0, QStringLiteral("No term"));
        rest->setText(2, Text(std::to_string(counts->undecided) + " shown"));
    }
    m_status->setText(Text(std::to_string(counts ? counts->counted : 0) + " of " +
                           std::to_string(counts ? counts->rows : 0) + " rows counted (" +
                           std::to_string(produced) + " of " + std::to_string(pages) +
                           " pages produced)"));
}

void CqzViewWindow::AddFirstTerm(const SqzHostFilterTerm& term)
{
    CqzFilterDocument document;
    document.SetBase(m_session.GetSetupMarkup());
    document.InsertFirstTerm(term);
    CqzXMLParser xml(document.GetText());
    if (!m_session.ApplyMarkup(xml))
        return Complain("The filter tool refused the term.");
    m_session.Run();
    Reload();
    statusBar()->showMessage(QStringLiteral("The term is now the filter's first."), 5000);
}

void CqzViewWindow::EditFilter()
{
    CqzPlugInInterface* tool = m_session.GetTool();
    if (tool == nullptr)
        return;
    // The sizes beside the favourites, as `edit` keeps them; a damaged file is said.
    const std::string sizes = m_settings != nullptr
                                  ? CqzDialogSizes::PathBeside(m_settings->GetPath())
                                  : CqzDialogSizes::DefaultPath();
    if (const std::string note = CqzDialogSizes::Load(sizes); !note.empty())
        statusBar()->showMessage(Text(note), 8000);
    const bool run = CqzToolEditor::Edit(*tool);
    CqzDialogSizes::Save(sizes);
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
    m_counting = true;
    const bool done = CqzPageProduction::ProduceAll(
        data, instance,
        [&progress](std::int64_t pages, std::int64_t total)
        {
            progress.setValue(total > 0 ? int(pages * 1000 / total) : 1000);
            QApplication::processEvents();
            return !progress.wasCanceled();
        });
    m_counting = false;
    UpdateCounts();
    if (m_loading && m_loading->IsLoading())
        statusBar()->showMessage(
            Text("Counted the " + std::to_string(data.GetTable(0)->GetRowCount()) +
                 " rows loaded so far; the capture is still loading."),
            8000);
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
    m_findText->setObjectName(QStringLiteral("findText"));
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

// The data set's tables, when it has more than one (decoded protocols bring their own).
void CqzViewWindow::FillTableChoice()
{
    const CqzData& data = m_session.GetData();
    const QSignalBlocker quiet(m_tableChoice);
    m_tableChoice->clear();
    for (int t = 0; t < data.GetTableCount(); ++t)
        m_tableChoice->addItem(Text(CqzListedTables::Name(m_session, t) + " (" +
                                    std::to_string(data.GetTable(t)->GetRowCount()) + " rows)"));
    m_tableChoice->setCurrentIndex(m_tableIndex);
    m_tableChoiceAction->setVisible(data.GetTableCount() > 1);
}

void CqzViewWindow::ShowTable(int index)
{
    m_tableIndex = index;
    Reload();
    m_table->GoTo(0);
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
    RememberFind(text);
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
    RefuseWhileLoading();
    CqzCsvExporter::Export(path, m_session.GetData(), m_session.GetInstanceID(), false);
}

void CqzViewWindow::ExportHtml(const std::string& path)
{
    RefuseWhileLoading();
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
    GoToRow(row);
}

void CqzViewWindow::GoToRow(std::int64_t row)
{
    m_table->GoTo(row);
    const std::int64_t shown = m_table->GetCurrent();
    if (shown != row && shown >= 0)
        statusBar()->showMessage(Text("Row " + std::to_string(row) + " is hidden; row " +
                                      std::to_string(shown) + " is the next shown row."),
                                 8000);
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
    const std::string file = WithExtension(path.toStdString(), html ? ".html" : ".csv");
    try
    {
        html ? ExportHtml(file) : ExportCsv(file);
        statusBar()->showMessage(Text("Exported to " + file + "."), 8000);
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
