#pragma once
// The table of the view window: one data table drawn row by row (row number, time, one column
// per label, as the listing writes them), coloured rows in their colour, hidden rows left out
// or drawn dimmed. Nothing is read for rows that are not drawn: the vertical scroll bar runs
// over row numbers and each paint asks CqzViewRows for the rows of one screenful, so the
// filter tool produces only the pages looked at. Owned by the window; the rows it draws are
// replaced (SetRows) after every run of the tool.

#include "CqzViewColumns.h"
#include "CqzViewRows.h"

#include <QAbstractScrollArea>

#include <functional>
#include <memory>
#include <set>
#include <string>

// One drawn line of the table, from the top: a row's main line (subrow -1) or one of its
// subrows at `y`, with a thin marker just above a row's first line when hidden rows were left
// out before it. A marker of hidden rows after the last row of the table has `row` == the
// table's row count and no line.
struct SqzViewLine
{
    std::int64_t row = 0;
    std::int64_t hiddenBefore = 0;
    int y = 0;
    int subrow = -1;
};

class CqzViewTable : public QAbstractScrollArea
{
public:
    explicit CqzViewTable(QWidget* parent = nullptr);

    // The rows to draw; keeps the top row where it can.
    void SetRows(std::unique_ptr<CqzViewRows> rows);
    CqzViewRows* GetRows() const { return m_rows.get(); }
    void SetShowHidden(bool show);

    // Scrolls so that the first drawn row at or after `row` is at the top and marks it.
    void GoTo(std::int64_t row);
    void GoToEnd();
    std::int64_t GetTop() const { return m_top; }
    // The marked row (-1: none).
    std::int64_t GetCurrent() const { return m_current; }
    // The selected rows that are drawn, in order: the range from the anchor (a click) to the
    // marked row (Shift+click, Shift+arrows) and the rows added with Ctrl+click.
    std::vector<std::int64_t> GetSelectedRows();
    // The selected rows as tab-separated text with a heading line (what Ctrl+C copies); at
    // most MaxCopiedRows rows.
    std::string GetSelectionText();
    static constexpr std::int64_t MaxCopiedRows = 1000000;
    int GetLinesPerPage() const;
    int GetLineHeight() const { return m_lineHeight; }
    int GetGapHeight() const { return m_gapHeight; }
    // What a paint draws now, from the top: the rows and the hidden-row markers among them.
    std::vector<SqzViewLine> GetLayout();
    // The rows a paint draws now (each once, however many lines it has), from the top.
    std::vector<std::int64_t> GetDrawnRows();
    // Called after every paint (the window updates its counts then).
    void SetOnPainted(std::function<void()> painted) { m_painted = std::move(painted); }

    // The columns as the person arranged them: dragging a header's right edge resizes the
    // column, dragging a header moves it, the header's context menu hides and shows columns.
    CqzViewColumns& GetColumns() { return m_columns; }
    // Where arrangements are kept: `recall` gives the one kept for a capture layout (empty:
    // none), `keep` is told every change.
    using ColumnsRecall = std::function<std::string(const std::string& layout)>;
    using ColumnsKeep = std::function<void(const std::string& layout, const std::string& saved)>;
    void SetColumnMemory(ColumnsRecall recall, ColumnsKeep keep);
    // Applies a change of the arrangement: redraws and tells the memory.
    void ColumnsChanged();
    // The header's menu of columns (what its context menu shows).
    void ShowColumnMenu(const QPoint& at);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void ScrollTo(std::int64_t top);
    void ScrollLines(std::int64_t lines);
    // Whether the table's last drawn row (and the marker of hidden rows after it) is in view.
    bool ShowsEnd();
    // Moves the top down until it is.
    void FitEnd();
    void UpdateScrollBar();
    void MeasureColumns();
    void DrawHeader(QPainter& painter) const;
    void DrawRow(QPainter& painter, const SqzViewLine& line);
    void DrawGap(QPainter& painter, int y, std::int64_t count) const;
    std::string CellText(int listed, std::int64_t row, int subrow) const;
    // The shown column whose right edge is near x (in table coordinates); -1 when none is.
    int EdgeNear(int x) const;
    bool IsSelected(std::int64_t row) const;
    void Select(std::int64_t row, Qt::KeyboardModifiers modifiers);
    int GetTotalWidth() const { return m_columns.GetTotalWidth(); }

    std::unique_ptr<CqzViewRows> m_rows;
    CqzViewColumns m_columns;
    ColumnsRecall m_recall;
    ColumnsKeep m_keep;
    int m_resizing = -1; // the shown column whose edge is dragged
    int m_moving = -1;   // the shown column whose header is dragged
    int m_dragFrom = 0;  // where the drag started (table x) and the width then
    int m_dragWidth = 0;
    std::int64_t m_top = 0;
    std::int64_t m_current = -1;
    std::int64_t m_anchor = -1;   // the selected range: m_anchor to m_rangeEnd
    std::int64_t m_rangeEnd = -1;
    std::set<std::int64_t> m_picked;
    int m_lineHeight = 18;
    int m_gapHeight = 12;
    bool m_settingBar = false;
    std::function<void()> m_painted;
};
