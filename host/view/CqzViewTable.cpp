#include "CqzViewTable.h"

#include "qzSystem/output/CqzSampleAttributes.h"
#include "win/WinTypes.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <climits>

namespace
{
constexpr int Padding = 8;
const QColor Grid(0xd8, 0xd8, 0xd8);
const QColor HeaderBack(0xee, 0xee, 0xee);
const QColor Dimmed(0xa8, 0xa8, 0xa8);
const QColor GapBack(0xf4, 0xf4, 0xf4);
const QColor GapInk(0x80, 0x80, 0x80);

QFont GapFont(const QFont& table)
{
    QFont font = table;
    font.setPixelSize(10);
    font.setItalic(true);
    return font;
}

QColor FromColorRef(std::uint32_t color)
{
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

// Black or white text, whichever reads on the background (as the HTML page does).
QColor TextOn(const QColor& back)
{
    const int luma = (299 * back.red() + 587 * back.green() + 114 * back.blue()) / 1000;
    return luma < 128 ? Qt::white : Qt::black;
}
} // namespace

CqzViewTable::CqzViewTable(QWidget* parent) : QAbstractScrollArea(parent)
{
    QFont font(QStringLiteral("DejaVu Sans Mono"));
    font.setStyleHint(QFont::Monospace);
    font.setPixelSize(12);
    setFont(font);
    m_lineHeight = QFontMetrics(font).height() + 4;
    m_gapHeight = QFontMetrics(GapFont(font)).height() + 1;
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
            [this](int value)
            {
                if (!m_settingBar)
                    ScrollTo(value);
            });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, viewport(),
            [this] { viewport()->update(); });
}

void CqzViewTable::SetRows(std::unique_ptr<CqzViewRows> rows)
{
    m_rows = std::move(rows);
    if (m_rows)
        m_top = std::min(m_top, std::max<std::int64_t>(m_rows->GetRowCount() - 1, 0));
    MeasureColumns();
    UpdateScrollBar();
    viewport()->update();
}

void CqzViewTable::SetShowHidden(bool show)
{
    if (!m_rows)
        return;
    m_rows->SetShowHidden(show);
    viewport()->update();
}

void CqzViewTable::GoTo(std::int64_t row)
{
    if (!m_rows)
        return;
    m_current = m_rows->Next(row);
    if (m_current >= m_rows->GetRowCount())
        m_current = m_rows->Previous(row);
    // A jump starts a new selection: the row gone to.
    m_anchor = m_rangeEnd = m_current;
    m_picked.clear();
    ScrollTo(m_current);
}

void CqzViewTable::GoToEnd()
{
    if (!m_rows)
        return;
    m_top = m_rows->LastTop(GetLinesPerPage());
    FitEnd();
    ScrollTo(m_top);
}

bool CqzViewTable::ShowsEnd()
{
    const std::vector<SqzViewLine> layout = GetLayout();
    const std::int64_t rows = m_rows->GetRowCount();
    if (layout.empty() || layout.back().row >= rows)
        return true;
    const std::int64_t last = m_rows->Previous(rows - 1);
    return layout.back().row == last && (last == rows - 1 || m_rows->GetShowHidden());
}

void CqzViewTable::FitEnd()
{
    // Each step gives room for one more line; markers take less than a row.
    for (int step = 0; step <= GetLinesPerPage() && !ShowsEnd(); ++step)
    {
        const std::int64_t next = m_rows->Step(m_top, 1);
        if (next == m_top)
            return;
        m_top = next;
    }
}

int CqzViewTable::GetLinesPerPage() const
{
    return std::max(1, (viewport()->height() - m_lineHeight) / m_lineHeight);
}

std::vector<SqzViewLine> CqzViewTable::GetLayout()
{
    std::vector<SqzViewLine> layout;
    if (!m_rows)
        return layout;
    const std::vector<std::int64_t> rows = m_rows->Lines(m_top, GetLinesPerPage());
    const bool gaps = !m_rows->GetShowHidden();
    const int bottom = viewport()->height();
    std::int64_t previous = rows.empty() || !gaps ? -1 : m_rows->Previous(rows.front() - 1);
    int y = m_lineHeight;
    const auto place = [&](std::int64_t row, int subrow, int height)
    {
        const std::int64_t hidden = gaps && row != previous ? row - previous - 1 : 0;
        const int top = y + (hidden > 0 ? m_gapHeight : 0);
        if (top + height > bottom && !layout.empty())
            return false;
        layout.push_back({row, hidden, top, subrow});
        y = top + height;
        previous = row;
        return true;
    };
    for (const std::int64_t row : rows)
        for (const int subrow : m_rows->DrawnLines(row))
            if (!place(row, subrow, m_lineHeight))
                return layout;
    // The end of the table: the hidden rows after its last drawn row.
    if (!rows.empty() && int(rows.size()) < GetLinesPerPage() &&
        rows.back() < m_rows->GetRowCount() - 1)
        place(m_rows->GetRowCount(), -1, 0);
    return layout;
}

std::vector<std::int64_t> CqzViewTable::GetDrawnRows()
{
    std::vector<std::int64_t> rows;
    const std::int64_t count = m_rows ? m_rows->GetRowCount() : 0;
    for (const SqzViewLine& line : GetLayout())
        if (line.row < count && (rows.empty() || rows.back() != line.row))
            rows.push_back(line.row);
    return rows;
}

void CqzViewTable::ScrollTo(std::int64_t top)
{
    if (!m_rows)
        return;
    m_top = std::clamp<std::int64_t>(top, 0, std::max<std::int64_t>(m_rows->GetRowCount() - 1, 0));
    // Below the last screenful the table would end half empty: keep the last rows in view.
    if (ShowsEnd())
    {
        const std::int64_t wanted = m_top;
        m_top = m_rows->LastTop(GetLinesPerPage());
        FitEnd();
        m_top = std::min(m_top, wanted);
    }
    UpdateScrollBar();
    viewport()->update();
}

void CqzViewTable::ScrollLines(std::int64_t lines)
{
    if (m_rows)
        ScrollTo(m_rows->Step(m_top, lines));
}

void CqzViewTable::UpdateScrollBar()
{
    m_settingBar = true;
    QScrollBar* bar = verticalScrollBar();
    const std::int64_t rows = m_rows ? m_rows->GetRowCount() : 0;
    bar->setRange(0, int(std::clamp<std::int64_t>(rows - 1, 0, INT_MAX)));
    bar->setPageStep(GetLinesPerPage());
    bar->setValue(int(std::min<std::int64_t>(m_top, INT_MAX)));
    horizontalScrollBar()->setRange(0, std::max(0, GetTotalWidth() - viewport()->width()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    m_settingBar = false;
}

void CqzViewTable::MeasureColumns()
{
    if (!m_rows)
        return;
    const QFontMetrics metrics(font());
    const int digit = metrics.horizontalAdvance(QLatin1Char('0'));
    const CqzTableText& text = m_rows->GetText();
    std::vector<std::string> names{"Row", text.GetTimeHeading()};
    for (int i = 0; i < text.GetColumnCount(); ++i)
        names.push_back(text.GetName(i));
    const CqzDataTable& table = text.GetTable();
    std::vector<std::size_t> chars{
        std::to_string(m_rows->GetRowCount()).size() + (table.HasSubrows() ? 4 : 0),
        text.TimeOfLine(text.GetTable().GetLine(m_rows->GetRowCount() - 1)).size() + 1};
    for (int i = 0; i < text.GetColumnCount(); ++i)
        chars.push_back(text.GuessWidth(i));
    // A run of the tool with the same columns keeps the person's arrangement.
    bool same = int(names.size()) == m_columns.GetListedCount();
    for (std::size_t i = 0; same && i < names.size(); ++i)
        same = names[i] == m_columns.GetName(int(i));
    if (same)
        return;
    std::vector<int> widths;
    for (std::size_t i = 0; i < names.size(); ++i)
        widths.push_back(std::max(metrics.horizontalAdvance(QString::fromStdString(names[i])),
                                  int(chars[i]) * digit) +
                         2 * Padding);
    m_columns.Reset(std::move(names), widths);
    if (m_recall)
        m_columns.Restore(m_recall(m_columns.GetLayoutKey()));
}

void CqzViewTable::SetColumnMemory(ColumnsRecall recall, ColumnsKeep keep)
{
    m_recall = std::move(recall);
    m_keep = std::move(keep);
    if (m_recall && m_columns.GetListedCount() > 0)
        m_columns.Restore(m_recall(m_columns.GetLayoutKey()));
    ColumnsChanged();
}

void CqzViewTable::ColumnsChanged()
{
    if (m_keep && m_columns.GetListedCount() > 0)
        m_keep(m_columns.GetLayoutKey(), m_columns.Save());
    UpdateScrollBar();
    viewport()->update();
}

std::string CqzViewTable::CellText(int listed, std::int64_t row, int subrow) const
{
    const CqzTableText& text = m_rows->GetText();
    const std::int64_t line = text.GetTable().GetLine(row, subrow);
    return listed == 0   ? CqzTableText::LineName(row, subrow)
           : listed == 1 ? text.TimeOfLine(line)
                         : text.ValueOfLine(line, listed - 2);
}

void CqzViewTable::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.fillRect(viewport()->rect(), palette().base());
    painter.translate(-horizontalScrollBar()->value(), 0);
    if (m_rows)
    {
        const std::vector<SqzViewLine> layout = GetLayout();
        for (const SqzViewLine& line : layout)
            if (line.row < m_rows->GetRowCount())
                DrawRow(painter, line);
        DrawHeader(painter);
        // The markers go over the column lines the header draws down the table.
        for (const SqzViewLine& line : layout)
            if (line.hiddenBefore > 0)
                DrawGap(painter, line.y - m_gapHeight, line.hiddenBefore);
    }
    painter.end();
    if (m_painted)
        m_painted();
}

void CqzViewTable::DrawGap(QPainter& painter, int y, std::int64_t count) const
{
    const int width = std::max(GetTotalWidth(), viewport()->width());
    painter.fillRect(0, y, width, m_gapHeight, GapBack);
    painter.setPen(QPen(Grid, 1, Qt::DashLine));
    painter.drawLine(0, y + m_gapHeight - 1, width, y + m_gapHeight - 1);
    painter.setFont(GapFont(font()));
    painter.setPen(GapInk);
    painter.drawText(QRect(Padding, y, width - 2 * Padding, m_gapHeight),
                     Qt::AlignVCenter | Qt::AlignLeft,
                     QString::fromStdString(CqzTableText::HiddenRun(count)));
    painter.setFont(font());
}

void CqzViewTable::DrawHeader(QPainter& painter) const
{
    const int total = GetTotalWidth();
    painter.fillRect(0, 0, std::max(total, viewport()->width()), m_lineHeight, HeaderBack);
    QFont bold = font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(Qt::black);
    int x = 0;
    for (int shown = 0; shown < m_columns.GetCount(); ++shown)
    {
        const int width = m_columns.GetWidth(shown);
        painter.drawText(QRect(x + Padding, 0, width - 2 * Padding, m_lineHeight),
                         Qt::AlignVCenter | Qt::AlignLeft,
                         QString::fromStdString(m_columns.GetName(m_columns.GetListed(shown))));
        x += width;
        painter.setPen(Grid);
        painter.drawLine(x - 1, 0, x - 1, viewport()->height());
        painter.setPen(Qt::black);
    }
    painter.setFont(font());
}

void CqzViewTable::DrawRow(QPainter& painter, const SqzViewLine& line)
{
    const std::int64_t row = line.row;
    const int y = line.y;
    const CqzSampleAttributes record = m_rows->GetRecords().Get(row, line.subrow);
    // A line of a row with subrows is hidden on its own; a row without is hidden as a whole.
    const bool hidden = line.subrow >= 0 || m_rows->GetText().GetTable().GetSubrowCount(row) > 0
                            ? record.IsHidden()
                            : m_rows->GetRecords().IsRowHidden(row);
    QColor back = palette().base().color();
    QColor ink = Qt::black;
    if (hidden)
        ink = Dimmed;
    else if (record.IsColored())
    {
        back = FromColorRef(record.GetColor());
        ink = TextOn(back);
    }
    const int total = GetTotalWidth();
    painter.fillRect(0, y, std::max(total, viewport()->width()), m_lineHeight, back);
    // A selected row keeps its colour; its number cell takes the selection's.
    const bool selected = IsSelected(row);
    if (selected && m_columns.GetCount() > 0)
        painter.fillRect(0, y, m_columns.GetWidth(0), m_lineHeight, palette().highlight().color());
    if (row == m_current)
    {
        painter.setPen(QPen(palette().highlight().color(), 2));
        painter.drawRect(1, y + 1, std::max(total, viewport()->width()) - 2, m_lineHeight - 2);
    }
    painter.setPen(ink);
    int x = 0;
    for (int shown = 0; shown < m_columns.GetCount(); ++shown)
    {
        const int listed = m_columns.GetListed(shown);
        const int width = m_columns.GetWidth(shown);
        painter.setPen(selected && shown == 0 ? palette().highlightedText().color() : ink);
        painter.drawText(QRect(x + Padding, y, width - 2 * Padding, m_lineHeight),
                         Qt::AlignVCenter | (listed < 2 ? Qt::AlignRight : Qt::AlignLeft),
                         QString::fromStdString(CellText(listed, row, line.subrow)));
        x += width;
    }
    painter.setPen(Grid);
    painter.drawLine(0, y + m_lineHeight - 1, total, y + m_lineHeight - 1);
}

void CqzViewTable::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBar();
}

void CqzViewTable::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy))
    {
        QApplication::clipboard()->setText(QString::fromStdString(GetSelectionText()));
        return;
    }
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    if (extend && m_rows && (event->key() == Qt::Key_Down || event->key() == Qt::Key_Up))
    {
        const std::int64_t from = m_rangeEnd >= 0 ? m_rangeEnd : m_top;
        const std::int64_t to = m_rows->Step(from, event->key() == Qt::Key_Down ? 1 : -1);
        Select(to, Qt::ShiftModifier);
        const std::vector<std::int64_t> drawn = GetDrawnRows();
        if (drawn.empty() || to < drawn.front() || to > drawn.back())
            ScrollLines(event->key() == Qt::Key_Down ? 1 : -1);
        return;
    }
    switch (event->key())
    {
    case Qt::Key_Down:
        return ScrollLines(1);
    case Qt::Key_Up:
        return ScrollLines(-1);
    case Qt::Key_PageDown:
        return ScrollLines(GetLinesPerPage());
    case Qt::Key_PageUp:
        return ScrollLines(-GetLinesPerPage());
    case Qt::Key_Home:
        return ScrollTo(0);
    case Qt::Key_End:
        return GoToEnd();
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void CqzViewTable::wheelEvent(QWheelEvent* event)
{
    const int steps = event->angleDelta().y() / 40;
    if (steps != 0)
        ScrollLines(-steps);
}

void CqzViewTable::mousePressEvent(QMouseEvent* event)
{
    setFocus();
    if (!m_rows)
        return;
    const int y = int(event->position().y());
    const int x = int(event->position().x()) + horizontalScrollBar()->value();
    if (y < m_lineHeight)
    {
        if (event->button() != Qt::LeftButton)
            return;
        m_dragFrom = x;
        m_resizing = EdgeNear(x);
        m_moving = m_resizing < 0 ? m_columns.At(x) : -1;
        if (m_resizing >= 0)
            m_dragWidth = m_columns.GetWidth(m_resizing);
        return;
    }
    for (const SqzViewLine& line : GetLayout())
        if (y >= line.y && y < line.y + m_lineHeight && line.row < m_rows->GetRowCount())
            Select(line.row, event->modifiers());
}

void CqzViewTable::mouseMoveEvent(QMouseEvent* event)
{
    const int x = int(event->position().x()) + horizontalScrollBar()->value();
    if (m_resizing >= 0)
    {
        m_columns.SetWidth(m_resizing, m_dragWidth + x - m_dragFrom);
        UpdateScrollBar();
        viewport()->update();
        return;
    }
    const bool header = event->position().y() < m_lineHeight;
    viewport()->setCursor(header && m_moving < 0 && EdgeNear(x) >= 0 ? Qt::SplitHCursor
                                                                      : Qt::ArrowCursor);
}

void CqzViewTable::mouseReleaseEvent(QMouseEvent* event)
{
    const int x = int(event->position().x()) + horizontalScrollBar()->value();
    const bool resized = m_resizing >= 0;
    const int moving = m_moving;
    m_resizing = m_moving = -1;
    if (moving >= 0 && std::abs(x - m_dragFrom) > 4)
    {
        const int to = m_columns.At(x);
        m_columns.Move(moving, to < 0 ? m_columns.GetCount() - 1 : to);
    }
    else if (!resized)
        return;
    ColumnsChanged();
}

int CqzViewTable::EdgeNear(int x) const
{
    for (int shown = 0; shown < m_columns.GetCount(); ++shown)
        if (std::abs(m_columns.RightOf(shown) - x) <= 4)
            return shown;
    return -1;
}

void CqzViewTable::contextMenuEvent(QContextMenuEvent* event)
{
    if (event->pos().y() < m_lineHeight)
        ShowColumnMenu(event->globalPos());
}

void CqzViewTable::ShowColumnMenu(const QPoint& at)
{
    QMenu menu(this);
    for (int listed = 0; listed < m_columns.GetListedCount(); ++listed)
    {
        QAction* action = menu.addAction(QString::fromStdString(m_columns.GetName(listed)));
        action->setCheckable(true);
        action->setChecked(m_columns.IsShown(listed));
        connect(action, &QAction::toggled, this,
                [this, listed](bool on)
                {
                    if (m_columns.SetShown(listed, on))
                        ColumnsChanged();
                });
    }
    menu.exec(at);
}

void CqzViewTable::Select(std::int64_t row, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::ControlModifier)
    {
        if (!m_picked.erase(row))
            m_picked.insert(row);
    }
    else
    {
        if (!(modifiers & Qt::ShiftModifier) || m_anchor < 0)
        {
            m_picked.clear();
            m_anchor = row;
        }
        m_rangeEnd = row;
    }
    m_current = row;
    viewport()->update();
}

bool CqzViewTable::IsSelected(std::int64_t row) const
{
    const bool inRange = m_anchor >= 0 && row >= std::min(m_anchor, m_rangeEnd) &&
                         row <= std::max(m_anchor, m_rangeEnd);
    return inRange || m_picked.count(row) > 0;
}

std::vector<std::int64_t> CqzViewTable::GetSelectedRows()
{
    std::vector<std::int64_t> rows;
    if (!m_rows)
        return rows;
    if (m_anchor >= 0)
        for (std::int64_t row = m_rows->Next(std::min(m_anchor, m_rangeEnd));
             row <= std::max(m_anchor, m_rangeEnd) && row < m_rows->GetRowCount() &&
             std::int64_t(rows.size()) < MaxCopiedRows;
             row = m_rows->Next(row + 1))
            rows.push_back(row);
    for (const std::int64_t row : m_picked)
        if (row < m_rows->GetRowCount())
            rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (std::int64_t(rows.size()) > MaxCopiedRows)
        rows.resize(std::size_t(MaxCopiedRows));
    return rows;
}

std::string CqzViewTable::GetSelectionText()
{
    if (!m_rows)
        return {};
    std::string out;
    for (int shown = 0; shown < m_columns.GetCount(); ++shown)
        out += (shown > 0 ? "\t" : "") + m_columns.GetName(m_columns.GetListed(shown));
    out += "\n";
    for (const std::int64_t row : GetSelectedRows())
        for (const int subrow : m_rows->DrawnLines(row))
        {
            for (int shown = 0; shown < m_columns.GetCount(); ++shown)
                out += (shown > 0 ? "\t" : "") + CellText(m_columns.GetListed(shown), row, subrow);
            out += "\n";
        }
    return out;
}
