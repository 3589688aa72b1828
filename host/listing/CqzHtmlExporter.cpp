#include "CqzHtmlExporter.h"

#include "CqzColorName.h"
#include "CqzListedTables.h"
#include "CqzOutputFile.h"
#include "CqzProgress.h"
#include "CqzRowAttributes.h"
#include "CqzTableText.h"

#include <ostream>

namespace
{

const char* const Style = R"(body{font-family:sans-serif;margin:1.5em;color:#222}
table{border-collapse:collapse;font-family:monospace;font-size:13px}
th,td{padding:2px 10px;text-align:left;white-space:pre}
th{background:#333;color:#fff;position:sticky;top:0}
tr:nth-child(even):not([style]) td{background-color:#f4f4f4}
tr.hidden td{color:#aaa;background:#fafafa}
td.n{text-align:right;color:#777}
tr.gap td{color:#888;background:#fff;font-style:italic;font-size:11px;padding:0 10px;border-top:1px dashed #ccc;border-bottom:1px dashed #ccc}
code{background:#eee;padding:1px 4px})";

// Dark text on light colours, white text on dark ones.
std::string RowStyle(COLORREF color)
{
    const int luma =
        (299 * GetRValue(color) + 587 * GetGValue(color) + 114 * GetBValue(color)) / 1000;
    return " style=\"background:" + CqzColorName::Format(color) +
           (luma < 128 ? ";color:#fff\"" : "\"");
}

void WriteHead(std::ostream& out, const SqzHtmlPage& page)
{
    const std::string title = CqzHtmlExporter::Escape(page.title);
    out << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>" << title
        << "</title>\n<style>" << Style << "</style></head><body>\n<h1>" << title << "</h1>\n<p>"
        << CqzHtmlExporter::Escape(CqzFilterSummary::Describe(page.counts)) << "</p>\n";
    if (!page.terms.empty())
    {
        out << "<ol>\n";
        for (const std::string& term : page.terms)
            out << "<li><code>" << CqzHtmlExporter::Escape(term) << "</code></li>\n";
        out << "</ol>\n";
    }
}

// One table line (a row's main line, subrow -1, or one of its subrows); hidden lines only with
// showHidden.
void WriteLine(std::ostream& out, const CqzTableText& text, const CqzSampleAttributes& record,
               std::int64_t row, int subrow, bool showHidden)
{
    if (record.IsHidden() && !showHidden)
        return;
    const std::int64_t line = text.GetTable().GetLine(row, subrow);
    out << "<tr"
        << (record.IsHidden()    ? std::string(" class=\"hidden\"")
            : record.IsColored() ? RowStyle(record.GetColor())
                                 : std::string())
        << "><td class=\"n\">" << CqzTableText::LineName(row, subrow) << "</td><td class=\"n\">"
        << text.TimeOfLine(line) << "</td>";
    for (int i = 0; i < text.GetColumnCount(); ++i)
        out << "<td>" << CqzHtmlExporter::Escape(text.ValueOfLine(line, i)) << "</td>";
    out << "</tr>\n";
}

void WriteTable(std::ostream& out, const CqzDataTable& table, const CqzID& instanceID,
                const SqzHtmlPage& page, CqzProgress& bar, std::int64_t& done)
{
    const CqzTableText text(table);
    out << "<table>\n<tr><th>Row</th><th>" << CqzHtmlExporter::Escape(text.GetTimeHeading())
        << "</th>";
    for (int i = 0; i < text.GetColumnCount(); ++i)
        out << "<th>" << CqzHtmlExporter::Escape(text.GetName(i)) << "</th>";
    out << "</tr>\n";
    CqzRowAttributes records(table, instanceID);
    const std::int64_t rows = table.GetRowCount();
    for (std::int64_t row = 0; row < rows; ++row)
    {
        const std::int64_t next = page.showHidden ? row : records.NextShown(row);
        if (next > row)
            out << "<tr class=\"gap\"><td colspan=\"" << text.GetColumnCount() + 2 << "\">"
                << CqzTableText::HiddenRun(next - row) << "</td></tr>\n";
        done += next - row;
        if ((row = next) >= rows)
            break;
        for (int subrow = -1; subrow < table.GetSubrowCount(row); ++subrow)
            WriteLine(out, text, records.Get(row, subrow), row, subrow, page.showHidden);
        bar.Update(++done);
    }
    out << "</table>\n";
}

} // namespace

std::string CqzHtmlExporter::Escape(const std::string& text)
{
    std::string out;
    for (char c : text)
        switch (c)
        {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    return out;
}

void CqzHtmlExporter::Export(const std::string& path, const CqzData& data, const CqzID& instanceID,
                             const SqzHtmlPage& page)
{
    CqzOutputFile file(path, "HTML file");
    std::ostream& out = file.Stream();
    WriteHead(out, page);
    CqzProgress bar("HTML", page.counts.rows, page.progress);
    std::int64_t done = 0;
    const std::vector<int> listed = CqzListedTables::Of(data, page.table);
    for (int t : listed)
    {
        if (listed.size() > 1)
            out << "<h2>Table " << t + 1 << "</h2>\n";
        WriteTable(out, *data.GetTable(t), instanceID, page, bar, done);
    }
    out << "</body></html>\n";
    file.Commit();
}
