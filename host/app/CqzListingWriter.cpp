#include "CqzListingWriter.h"

#include "CqzRowAttributes.h"
#include "CqzTableText.h"
#include "win/WinTypes.h"

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
    const COLORREF color = record.GetColor();
    return "\033[38;2;" + std::to_string(GetRValue(color)) + ";" +
           std::to_string(GetGValue(color)) + ";" + std::to_string(GetBValue(color)) + "m";
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
            line += "  " + Cell(m_text.GetName(i), m_widths[i + 1]);
        return line;
    }

    std::string Row(std::int64_t row, std::size_t rowWidth) const
    {
        std::string number = std::to_string(row);
        std::string line = std::string(rowWidth - std::min(rowWidth, number.size()), ' ') + number;
        const std::string time = m_text.Time(row);
        line += "  " + std::string(m_widths[0] - std::min(m_widths[0], time.size()), ' ') + time;
        for (int i = 0; i < m_text.GetColumnCount(); ++i)
            line += "  " + Cell(m_text.Value(row, i), m_widths[i + 1]);
        return line;
    }

private:
    const CqzTableText& m_text;
    std::vector<std::size_t> m_widths;
};

} // namespace

CqzListingWriter::CqzListingWriter(std::ostream& out, const SqzListingOptions& options)
    : m_out(out), m_options(options)
{
}

void CqzListingWriter::Write(const CqzData& data, const CqzID& instanceID)
{
    for (int t = 0; t < data.GetTableCount(); ++t)
    {
        if (data.GetTableCount() > 1)
            m_out << "Table " << t + 1 << "\n";
        WriteTable(*data.GetTable(t), instanceID);
    }
}

void CqzListingWriter::WriteTable(const CqzDataTable& table, const CqzID& instanceID)
{
    const CqzTableText text(table);
    const CqzTableLayout layout(text);
    CqzRowAttributes records(table, instanceID);
    const std::int64_t rows = records.GetRowCount();
    const std::size_t rowWidth = std::max<std::size_t>(3, std::to_string(rows).size());
    m_out << layout.Heading(rowWidth) << "\n";
    std::int64_t listed = 0, row = 0;
    for (; m_options.limit < 0 || listed < m_options.limit; ++listed, ++row)
    {
        row = m_options.showHidden ? row : records.NextShown(row);
        if (row >= rows)
            break;
        const CqzSampleAttributes record = records.Get(row);
        const std::string escape = m_options.color ? Escape(record) : "";
        m_out << escape << Marker(record) << ' ' << layout.Row(row, rowWidth)
              << (escape.empty() ? "" : "\033[0m") << "\n";
    }
    if (row < rows && (m_options.showHidden || records.NextShown(row) < rows))
        m_out << "... listing stopped after " << listed << " rows (--limit N or --all for more)\n";
}
