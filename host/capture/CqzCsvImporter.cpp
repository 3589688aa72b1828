#include "capture/CqzCsvImporter.h"

#include "capture/CqzCaptureError.h"
#include "capture/CqzCaptureFile.h"
#include "capture/CqzCaptureNumber.h"
#include "capture/CqzCaptureTable.h"
#include "capture/CqzCsvColumn.h"

#include <algorithm>
#include <deque>
#include <limits>
#include <vector>

struct CqzCsvImporter::SqzImp
{
    SqzCaptureOptions options;
};

namespace
{
// The lines of a text with their numbers; LF or CR LF endings.
class LineCursor
{
public:
    explicit LineCursor(std::string_view text) : m_text(text) {}

    bool Next(std::string_view& line, std::int64_t& number)
    {
        if (m_pos >= m_text.size())
            return false;
        std::size_t end = m_text.find('\n', m_pos);
        if (end == std::string_view::npos)
            end = m_text.size();
        line = m_text.substr(m_pos, end - m_pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        m_pos = end + 1;
        number = ++m_line;
        return true;
    }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
    std::int64_t m_line = 0;
};

std::string Lower(std::string_view text)
{
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
    return lower;
}

std::string Quote(std::string_view text)
{
    constexpr std::size_t kShown = 40;
    std::string shown(text.substr(0, kShown));
    for (char& c : shown)
        if (static_cast<unsigned char>(c) < ' ')
            c = '?';
    return "'" + shown + (text.size() > kShown ? "...'" : "'");
}

bool IsBlank(std::string_view line)
{
    return line.find_first_not_of(" \t") == std::string_view::npos;
}

// One import of one file.
class CsvReader
{
public:
    CsvReader(std::string_view text, const std::string& file, const SqzCaptureOptions& options)
        : m_lines(text), m_file(file), m_out(options.sourceID)
    {
    }

    std::unique_ptr<CqzData> Run()
    {
        ReadHeader();
        const LineCursor data = m_lines;
        Learn();
        MakeColumns();
        m_lines = data;
        Fill();
        return m_out.Release();
    }

private:
    [[noreturn]] void Fail(std::int64_t line, const std::string& what) const
    {
        throw CqzCaptureError(m_file, line, what);
    }
    std::string ColumnName(std::size_t column) const
    {
        return "column " + std::to_string(column + 1) + " (" + m_names[column] + ")";
    }

    // Header ------------------------------------------------------------------------------
    void ReadHeader()
    {
        std::string_view line;
        std::int64_t number = 0;
        bool found = false;
        while (!found && m_lines.Next(line, number))
        {
            if (!IsBlank(line) && line[0] == ';')
                ReadComment(line, number);
            found = !IsBlank(line) && line[0] != ';';
        }
        if (!found)
            Fail(number, "no header line naming the columns");
        m_headerLine = number;
        m_separator = DetectSeparator(line);
        Split(line, number);
        for (std::size_t i = 0; i < m_fields.size(); ++i)
            m_names.push_back(m_fields[i].empty() ? "Column" + std::to_string(i + 1)
                                                  : std::string(m_fields[i]));
        for (std::size_t i = 0; i < m_names.size() && m_time < 0; ++i)
            if (Lower(m_names[i]).starts_with("time"))
                m_time = static_cast<int>(i);
        if (m_time >= 0)
            m_headerExponent = HeaderUnit(m_names[static_cast<std::size_t>(m_time)], number);
        else if (m_rate == 0)
            Fail(number, "no time column (a column named Time...) and no '; Samplerate:' "
                         "comment");
        m_columns.resize(m_names.size());
    }

    void ReadComment(std::string_view line, std::int64_t number)
    {
        const std::string lower = Lower(line);
        const std::size_t at = lower.find("samplerate");
        if (at == std::string::npos)
            return;
        const std::size_t colon = lower.find_first_of(":=", at);
        if (colon == std::string::npos ||
            !CqzCaptureNumber::ParseRate(line.substr(colon + 1), m_rate))
            Fail(number, "sample rate " + Quote(line) + " is not a rate such as '1 MHz'");
    }

    static char DetectSeparator(std::string_view header)
    {
        char best = ',';
        std::ptrdiff_t most = 0;
        for (char c : {',', ';', '\t'})
        {
            const std::ptrdiff_t n = std::count(header.begin(), header.end(), c);
            if (n > most)
            {
                most = n;
                best = c;
            }
        }
        return best;
    }

    // The power of ten of a unit named in the time column's header, 12 (seconds) without one.
    int HeaderUnit(const std::string& name, std::int64_t line) const
    {
        const std::size_t open = name.find_first_of("([");
        if (open == std::string::npos)
            return 12;
        const std::size_t close = name.find_first_of(")]", open);
        std::string unit =
            name.substr(open + 1, close == std::string::npos ? close : close - open - 1);
        unit.erase(std::remove(unit.begin(), unit.end(), ' '), unit.end());
        int exponent = 0;
        if (!CqzCaptureNumber::TimeUnitExponent(unit, exponent) &&
            !CqzCaptureNumber::TimeUnitExponent(Lower(unit), exponent))
            Fail(line,
                 "time unit " + Quote(unit) + " of the header is not s, ms, us, ns, ps or fs");
        return exponent;
    }

    // Fields ------------------------------------------------------------------------------
    std::string_view Trim(std::string_view field) const
    {
        const char* blanks = m_separator == '\t' ? " " : " \t";
        const std::size_t first = field.find_first_not_of(blanks);
        if (first == std::string_view::npos)
            return {};
        return field.substr(first, field.find_last_not_of(blanks) - first + 1);
    }

    void Split(std::string_view line, std::int64_t number)
    {
        m_fields.clear();
        m_unquoted.clear();
        std::size_t pos = 0;
        while (true)
        {
            const std::size_t start = line.find_first_not_of(" \t", pos);
            if (start != std::string_view::npos && line[start] == '"')
                pos = SplitQuoted(line, start, number);
            else
            {
                const std::size_t end = std::min(line.find(m_separator, pos), line.size());
                m_fields.push_back(Trim(line.substr(pos, end - pos)));
                pos = end;
            }
            if (pos >= line.size())
                return;
            ++pos; // the separator
        }
    }

    // A field in quotes starting at `start`; returns the position after it.
    std::size_t SplitQuoted(std::string_view line, std::size_t start, std::int64_t number)
    {
        std::string& text = m_unquoted.emplace_back();
        std::size_t pos = start + 1;
        while (true)
        {
            const std::size_t quote = line.find('"', pos);
            if (quote == std::string_view::npos)
                Fail(number, "a quoted field has no closing quote");
            text.append(line.substr(pos, quote - pos));
            pos = quote + 1;
            if (pos < line.size() && line[pos] == '"')
            {
                text += '"';
                ++pos;
                continue;
            }
            break;
        }
        const std::size_t end = std::min(line.find(m_separator, pos), line.size());
        if (!Trim(line.substr(pos, end - pos)).empty())
            Fail(number,
                 "text after the closing quote of field " + std::to_string(m_fields.size() + 1));
        m_fields.push_back(text);
        return end;
    }

    // Reads the next data line into m_fields; false at the end.
    bool NextRow(std::int64_t& number)
    {
        std::string_view line;
        do
            if (!m_lines.Next(line, number))
                return false;
        while (IsBlank(line));
        Split(line, number);
        if (m_fields.size() > m_names.size())
            Fail(number,
                 "field " + std::to_string(m_names.size() + 1) + " " +
                     Quote(m_fields[m_names.size()]) + " has no column: the line has " +
                     std::to_string(m_fields.size()) + " fields, the header names " +
                     std::to_string(m_names.size()) +
                     (m_separator == ',' ? " (decimal commas in a comma-separated file?)" : ""));
        if (m_fields.size() < m_names.size())
            Fail(number, "the line has " + std::to_string(m_fields.size()) +
                             " fields, the header names " + std::to_string(m_names.size()));
        return true;
    }

    // Types -------------------------------------------------------------------------------
    void Learn()
    {
        std::int64_t number = 0;
        while (NextRow(number))
        {
            ++m_rows;
            for (std::size_t i = 0; i < m_fields.size(); ++i)
                if (static_cast<int>(i) != m_time)
                    m_columns[i].Add(m_fields[i]);
        }
    }

    void MakeColumns()
    {
        m_labelColumn.assign(m_names.size(), -1);
        for (std::size_t i = 0; i < m_names.size(); ++i)
        {
            if (static_cast<int>(i) == m_time)
                continue;
            const EqzCsvColumnType type = m_columns[i].GetType();
            const int width = m_columns[i].GetWidth();
            if (type != eqzCsvText && type != eqzCsvDecimal && width > 128)
                Fail(m_headerLine, ColumnName(i) + " holds values of " + std::to_string(width) +
                                       " bits; buses of at most 128 bits are supported");
            const EqzLabelType label = type == eqzCsvText      ? eqzLabelString
                                       : type == eqzCsvDecimal ? eqzLabelIntegral
                                                               : eqzLabelDigital;
            m_labelColumn[i] = m_out.AddLabel(label, m_names[i], type == eqzCsvText ? 0 : width);
            if (m_labelColumn[i] < 0)
                Fail(m_headerLine, ColumnName(i) + " cannot be stored");
        }
    }

    // Rows --------------------------------------------------------------------------------
    void Fill()
    {
        CqzDataTable& table = m_out.GetTable();
        table.Reserve(m_rows);
        std::int64_t number = 0;
        for (std::int64_t row = 0; NextRow(number); ++row)
        {
            const std::int64_t time = m_time >= 0 ? Time(number) : RowTime(row, number);
            if (table.AppendRow(time) < 0)
                Fail(number, "time " + Quote(m_fields[static_cast<std::size_t>(m_time)]) +
                                 " is before the time of the line above");
            for (std::size_t i = 0; i < m_fields.size(); ++i)
                if (m_labelColumn[i] >= 0)
                    Store(i, number);
        }
    }

    void Store(std::size_t i, std::int64_t number)
    {
        CqzDataTable& table = m_out.GetTable();
        const std::string_view cell = m_fields[i];
        if (m_columns[i].GetType() == eqzCsvText)
        {
            table.SetText(m_labelColumn[i], CString::FromUtf8(std::string(cell)));
            if (cell.empty())
                table.SetStatus(m_labelColumn[i], 3);
            return;
        }
        CqzUInt value;
        const int status = m_columns[i].Convert(cell, value);
        if (status < 0)
            Fail(number, "value " + Quote(cell) + " does not fit " + ColumnName(i));
        table.SetValue(m_labelColumn[i], value);
        if (status > 0)
            table.SetStatus(m_labelColumn[i], status);
    }

    std::int64_t RowTime(std::int64_t row, std::int64_t number) const
    {
        const unsigned __int128 ps =
            static_cast<unsigned __int128>(row) * 1000000000000ull / m_rate;
        if (ps > static_cast<unsigned __int128>(std::numeric_limits<std::int64_t>::max()))
            Fail(number, "the time of this row is beyond the time range");
        return static_cast<std::int64_t>(ps);
    }

    std::int64_t Time(std::int64_t number) const
    {
        const std::string_view cell = m_fields[static_cast<std::size_t>(m_time)];
        std::string text;
        for (char c : cell)
            if (c != ' ' && c != '\t')
                text += c == ',' && m_separator != ',' ? '.' : c;
        const std::size_t unitAt = text.find_first_not_of("0123456789.+-eE");
        int exponent = m_headerExponent;
        if (unitAt != std::string::npos &&
            !CqzCaptureNumber::TimeUnitExponent(std::string_view(text).substr(unitAt), exponent))
            Fail(number, "time " + Quote(cell) + " has no known unit (s, ms, us, ns, ps, fs)");
        std::int64_t ps = 0;
        if (!CqzCaptureNumber::ParseScaled(std::string_view(text).substr(0, unitAt), exponent, ps))
            Fail(number, "time " + Quote(cell) + " is not a number within the time range");
        return ps;
    }

    LineCursor m_lines;
    std::string m_file;
    CqzCaptureTable m_out;
    char m_separator = ',';
    std::vector<std::string> m_names;
    std::int64_t m_headerLine = 0;
    int m_time = -1;
    int m_headerExponent = 12;
    std::uint64_t m_rate = 0;
    std::vector<CqzCsvColumn> m_columns;
    std::vector<int> m_labelColumn;
    std::int64_t m_rows = 0;
    std::vector<std::string_view> m_fields;
    std::deque<std::string> m_unquoted;
};
} // namespace

CqzCsvImporter::CqzCsvImporter(const SqzCaptureOptions& options) : m_imp(std::make_unique<SqzImp>())
{
    m_imp->options = options;
}

CqzCsvImporter::~CqzCsvImporter() = default;

std::unique_ptr<CqzData> CqzCsvImporter::ImportFile(const std::string& path) const
{
    const std::string text = CqzCaptureFile::ReadAll(path);
    return ImportText(text, path);
}

std::unique_ptr<CqzData> CqzCsvImporter::ImportText(std::string_view text,
                                                    const std::string& name) const
{
    return CsvReader(text, name, m_imp->options).Run();
}
