#pragma once
// The main window of `qzfilter view`: the capture's first table through the filter
// (CqzViewTable), the rows each term decided beside it (read through the tool's term-count
// interface), and the person's actions: show hidden rows dimmed, go to a row or a time, find a
// value in the find bar (F3 and Shift+F3: next and previous), edit the filter with the tool's
// own editor and run it again, count every row (producing the remaining pages, cancellable),
// and export the result as the command line does. The title names the capture and whether the
// filter is enabled. A capture that still loads grows in the window as its rows arrive
// (CqzViewLoading). Does not own the session, which must outlive it.

#include "CqzFilterBar.h"
#include "CqzHostSession.h"
#include "CqzViewLoading.h"
#include "CqzViewSettings.h"
#include "CqzViewTable.h"

#include <QMainWindow>

#include <functional>
#include <string>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QToolButton;
class QTreeWidget;

class CqzViewWindow : public QMainWindow
{
public:
    CqzViewWindow(CqzHostSession& session, const std::string& capture, bool showHidden);

    // What the window remembers between runs (its place and size, the recent captures, the
    // find history, the column arrangements); read now and kept up to date until the window
    // is gone. The settings must outlive the window.
    void UseSettings(CqzViewSettings& settings);
    // File > Open, a recent capture or a file dropped on the window asks this to open another
    // capture (the command then replaces the window).
    void SetOnOpen(std::function<void(const std::string& path)> open) { m_open = std::move(open); }
    void OpenCapture(const std::string& path);

    CqzViewTable& GetTable() { return *m_table; }
    QTreeWidget& GetCountsView() { return *m_counts; }
    QToolButton& GetFilterButton() { return *m_filterButton; }
    QAction& GetShowHiddenAction() { return *m_showHidden; }
    CqzFilterBar& GetFilterBar() { return *m_filterBar; }
    CqzViewLoading& GetLoading() { return *m_loading; }

    // The person's actions, also reached through the menus and the tool bar.
    void EditFilter();
    // Puts a term before the filter's terms through the tool's command interface (the filter
    // bar's Enter) and runs the tool again.
    void AddFirstTerm(const SqzHostFilterTerm& term);
    // Produces every remaining page with a progress dialog; false when cancelled. While the
    // capture loads it counts the rows that arrived and says so.
    bool CountAll();
    bool GoToTime(const std::string& text);
    // Goes to a row; the status bar says when it is hidden and which row was gone to instead.
    void GoToRow(std::int64_t row);
    // The next row after the marked one (or the top) where the label (empty: any label)
    // holds or shows `value` (CqzViewFind), as the find bar searches it.
    bool FindValue(const std::string& label, const std::string& value);
    // The find bar's search: the next (or previous) matching row from the marked one, in
    // steps that keep the window drawing; Escape or the bar's Stop cancels it.
    bool Find(bool forward);
    // Exports are refused (CqzHostError) while the capture loads.
    void ExportCsv(const std::string& path);
    void ExportHtml(const std::string& path);
    // Shows another table of the data set (its number from 0), from its first row.
    void ShowTable(int index);
    // The term counts as the panel shows them now.
    void UpdateCounts();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildMenus();
    void AskOpen();
    void FillRecent();
    void RememberFind(const std::string& text);
    void BuildCounts();
    void Reload();
    void ShowRows(const CqzDataTable& table);
    void RefuseWhileLoading() const;
    void UpdateTitle();
    void AskRow();
    void AskTime();
    void BuildFindBar();
    void FillFindColumns();
    void FillTableChoice();
    void ShowFindBar();
    void AskExport(bool html);
    void Complain(const std::string& text);

    CqzHostSession& m_session;
    std::string m_capture;
    CqzViewTable* m_table = nullptr;
    QTreeWidget* m_counts = nullptr;
    QLabel* m_status = nullptr;
    QToolButton* m_filterButton = nullptr;
    QAction* m_showHidden = nullptr;
    QAction* m_editFilter = nullptr;
    CqzFilterBar* m_filterBar = nullptr;
    QComboBox* m_tableChoice = nullptr;
    QAction* m_tableChoiceAction = nullptr;
    int m_tableIndex = -1; // the table shown; -1: the first with rows
    QLineEdit* m_findText = nullptr;
    QComboBox* m_findColumn = nullptr;
    QProgressBar* m_findProgress = nullptr;
    QAction* m_findStop = nullptr;
    std::unique_ptr<CqzViewLoading> m_loading;
    bool m_counting = false;
    bool m_finding = false;
    bool m_findCancelled = false;
    CqzViewSettings* m_settings = nullptr;
    std::function<void(const std::string&)> m_open;
    QMenu* m_recent = nullptr;
};
