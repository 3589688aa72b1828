#include "CqzCsvExporter.h"

#include "CqzColorName.h"
#include "CqzListedTables.h"
#include "CqzOutputFile.h"
#include "CqzProgress.h"
#include "CqzRowAttributes.h"
#include "CqzTableText.h"

#include <ostream>

namespace
{

std::string TimePs(const CqzDataTable& table, std::int64_t line)
{
    const CqzPosition time = table.GetTimeAt(line);
    return time.IsValid() ? std::to_string(time.GetTime()) : "";
}

// A table with subrows gets a Row column ("12", "12.1", ...) ahead of the time.
void WriteHeading(std::ostream& out, const CqzTableText& text, bool tables)
{
    out << (tables ? "Table," : "") << (text.GetTable().HasSubrows() ? "Row," : "") << "Time (ps)";
    for (int i = 0; i < text.GetColumnCount(); ++i)
        out << ',' << CqzCsvExporter::Field(text.GetName(i));
    out << ",Hidden,Color\n";
}

void WriteLine(std::ostream& out, const std::string& prefix, const CqzTableText& text,
               const CqzSampleAttributes& record, std::int64_t row, int subrow)
{
    const CqzDataTable& table = text.GetTable();
    const std::int64_t line = table.GetLine(row, subrow);
    out << prefix << (table.HasSubrows() ? CqzTableText::LineName(row, subrow) + "," : "")
        << TimePs(table, line);
    for (int i = 0; i < text.GetColumnCount(); ++i)
        out << ',' << CqzCsvExporter::Field(text.ValueOfLine(line, i));
    out << ',' << (record.IsHidden() ? 1 : 0) << ','
        << (record.IsColored() ? CqzColorName::Format(record.GetColor()) : "") << '\n';
}

} // namespace

std::string CqzCsvExporter::Field(const std::string& text)
{
    const bool quote = text.find_first_of(",\"\r\n") != std::string::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote)
        return text;
    std::string out = "\"";
    for (char c : text)
        out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

void CqzCsvExporter::Export(const std::string& path, const CqzData& data, const CqzID& instanceID,
                            bool progress, int table)
{
    CqzOutputFile file(path, "CSV file");
    std::ostream& out = file.Stream();
    const std::vector<int> listed = CqzListedTables::Of(data, table);
    const bool tables = listed.size() > 1;
    std::int64_t total = 0, done = 0;
    for (int t : listed)
        total += data.GetTable(t)->GetRowCount();
    CqzProgress bar("CSV", total, progress);
    for (int t : listed)
    {
        const CqzDataTable& table = *data.GetTable(t);
        const CqzTableText text(table);
        WriteHeading(out, text, tables);
        CqzRowAttributes records(table, instanceID);
        const std::string prefix = tables ? std::to_string(t + 1) + "," : "";
        for (std::int64_t row = 0; row < table.GetRowCount(); ++row)
        {
            for (int subrow = -1; subrow < table.GetSubrowCount(row); ++subrow)
                WriteLine(out, prefix, text, records.Get(row, subrow), row, subrow);
            bar.Update(++done);
        }
    }
    file.Commit();
}
