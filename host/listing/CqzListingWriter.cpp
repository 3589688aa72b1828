#include "CqzListingWriter.h"

#include "CqzListedTables.h"

#include "CqzColorName.h"
#include "CqzRowAttributes.h"
#include "CqzTableText.h"
#include "CqzTerminalText.h"
#include "win/WinTypes.h"

#include <algorithm>
#include <deque>
#include <map>
#include <iomanip>
#include <string>
#include <vector>

namespace
{

// Pads (or cuts) a cell to its column width.
std::string Cell(const std::string& text, std::size_t width)
{
    if (text.size() > width)
        return text.substr(0, width - 1) + "~";
    return text + std::string(width - text.size(), ' ');
}

// Lines end at their last character: the last column is not padded.
std::string TrimEnd(std::string text)
{
    text.erase(text.find_last_not_of(' ') + 1);
    return text;
}

// A marker column that tells a row's fate without colour: 'h' hidden, 'c' coloured.
char Marker(const CqzSampleAttributes& record)
{
    return record.IsHidden() ? 'h' : record.IsColored() ? 'c' : ' ';
}

std::string Escape(const CqzSampleAttributes& record)
{
    if (record.IsHidden())
        return "\033[2m";
    if (!record.IsColored())
        return "";
    return CqzColorName::TerminalEscape(record.GetColor());
}

class CqzTableLayout
{
public:
    explicit CqzTableLayout(const CqzTableText& text) : m_text(text)
    {
        m_widths.push_back(std::max<std::size_t>(text.GetTimeHeading().size(), 12));
        for (int i = 0; i < text.GetColumnCount(); ++i)
            m_widths.push_back(text.GuessWidth(i));
    }

    std::string Heading(std::size_t rowWidth) const
    {
        std::string line =
            "  " + Cell("Row", rowWidth) + "  " + Cell(m_text.GetTimeHeading(), m_widths[0]);
        for (int i = 0; i < m_text.GetColumnCount(); ++i)
            line += "  " + Cell(CqzTerminalText::Sanitize(m_text.GetName(i)), m_widths[i + 1]);
        return TrimEnd(line);
    }

    // One line of the table under its number ("12" for a row, "12.1" for its first subrow).
    std::string Line(const std::string& number, std::int64_t line, std::size_t rowWidth) const
    {
        std::string text = std::string(rowWidth - std::min(rowWidth, number.size()), ' ') + number;
        const std::string time = m_text.TimeOfLine(line);
        text += "  " + std::string(m_widths[0] - std::min(m_widths[0], time.size()), ' ') + time;
        for (int i = 0; i < m_text.GetColumnCount(); ++i)
            text += "  " +
                    Cell(CqzTerminalText::Sanitize(m_text.ValueOfLine(line, i)), m_widths[i + 1]);
        return TrimEnd(text);
    }

private:
    const CqzTableText& m_text;
    std::vector<std::size_t> m_widths;
};

// A row's lines: the main line, then its subrows; hidden lines only with showHidden.
void WriteRow(std::ostream& out, const SqzListingOptions& options, const CqzTableLayout& layout,
              CqzRowAttributes& records, const CqzDataTable& table, std::int64_t row,
              std::size_t rowWidth)
{
    const int subrows = table.GetSubrowCount(row);
    for (int subrow = -1; subrow < subrows; ++subrow)
    {
        const CqzSampleAttributes record = records.Get(row, subrow);
        if (record.IsHidden() && !options.showHidden)
            continue;
        const std::string number = CqzTableText::LineName(row, subrow);
        const std::string escape = options.color ? Escape(record) : "";
        out << escape << Marker(record) << ' '
            << layout.Line(number, table.GetLine(row, subrow), rowWidth)
            << (escape.empty() ? "" : "\033[0m") << "\n";
    }
}

// Where a listing that should show colour on its first screen starts: the first of `screen`
// consecutive shown rows holding the most distinct colours, then the most coloured rows,
// among the first 100000 shown rows (the earliest such window; `from` when none is coloured).
std::int64_t StartNearColor(CqzRowAttributes& records, std::int64_t from, std::int64_t end)
{
    constexpr std::size_t screen = 20;
    std::deque<std::pair<std::int64_t, COLORREF>> window; // shown rows; colour or ~0 for none
    std::map<COLORREF, int> colours;
    std::int64_t best = from, bestScore = 0, colored = 0;
    std::int64_t row = records.NextShown(from);
    for (int seen = 0; row < end && seen < 100000; ++seen, row = records.NextShown(row + 1))
    {
        const bool isColored = records.IsRowColored(row);
        const COLORREF color = isColored ? records.Get(row).GetColor() : ~COLORREF{0};
        window.emplace_back(row, color);
        if (isColored)
            ++colours[color], ++colored;
        if (window.size() > screen)
        {
            const COLORREF gone = window.front().second;
            if (gone != ~COLORREF{0} && --colours[gone] == 0)
                colours.erase(gone);
            colored -= gone != ~COLORREF{0};
            window.pop_front();
        }
        const std::int64_t score = static_cast<std::int64_t>(colours.size()) * 1000 + colored;
        if (score > bestScore)
        {
            bestScore = score;
            best = window.front().first;
        }
    }
    return best;
}

} // namespace

CqzListingWriter::CqzListingWriter(std::ostream& out, const SqzListingOptions& options)
    : m_out(out), m_options(options)
{
}

bool CqzListingWriter::Write(const CqzData& data, const CqzID& instanceID)
{
    m_ranToEnd = false;
    const std::vector<int> listed = CqzListedTables::Of(data, m_options.table);
    for (int t : listed)
    {
        if (listed.size() > 1)
            m_out << "Table " << t + 1 << "\n";
        WriteTable(*data.GetTable(t), instanceID);
    }
    return m_ranToEnd;
}

void CqzListingWriter::WriteHiddenRun(std::int64_t count)
{
    const bool dim = m_options.color;
    m_out << (dim ? "\033[2m" : "") << "  " << CqzTableText::HiddenRun(count)
          << (dim ? "\033[0m" : "") << "\n";
}

void CqzListingWriter::WriteTable(const CqzDataTable& table, const CqzID& instanceID)
{
    const CqzTableText text(table);
    const CqzTableLayout layout(text);
    CqzRowAttributes records(table, instanceID);
    const std::int64_t rows = records.GetRowCount();
    const std::int64_t end = m_options.lastRow < 0 ? rows : std::min(rows, m_options.lastRow + 1);
    // Subrow numbers take ".N" after the row number.
    const std::size_t rowWidth =
        std::max<std::size_t>(3, std::to_string(rows).size()) + (table.HasSubrows() ? 4 : 0);
    m_out << layout.Heading(rowWidth) << "\n";
    if (m_options.firstRow > 0 && m_options.firstRow >= rows)
    {
        m_out << "(no row " << m_options.firstRow << ": the table has " << rows << " rows)\n";
        m_ranToEnd = true;
        return;
    }
    std::int64_t listed = 0, row = m_options.firstRow;
    if (m_options.nearColor)
        row = StartNearColor(records, row, end);
    for (; m_options.limit < 0 || listed < m_options.limit; ++listed, ++row)
    {
        if (!m_options.showHidden)
        {
            const std::int64_t next = std::min(records.NextShown(row), end);
            if (next > row)
                WriteHiddenRun(next - row);
            row = next;
        }
        if (row >= end)
            break;
        WriteRow(m_out, m_options, layout, records, table, row, rowWidth);
    }
    m_ranToEnd = m_ranToEnd || (row >= end && end == rows);
    if (row < end && (m_options.showHidden || records.NextShown(row) < end))
        m_out << "... listing stopped after " << listed << " rows (--limit N or --all for more)\n";
}
