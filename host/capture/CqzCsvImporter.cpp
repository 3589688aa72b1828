#include "capture/CqzCsvImporter.h"

#include "capture/CqzCaptureError.h"
#include "capture/CqzCaptureInput.h"
#include "capture/CqzCaptureNumber.h"
#include "capture/CqzCapturePieceWindow.h"
#include "capture/CqzCaptureTable.h"
#include "capture/CqzCaptureText.h"
#include "capture/CqzCaptureWorkers.h"
#include "capture/CqzCsvColumn.h"
#include "capture/CqzCsvPieceReader.h"
#include "capture/CqzCsvScan.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <functional>
#include <future>
#include <limits>
#include <vector>

struct CqzCsvImporter::SqzImp
{
    SqzCaptureOptions options;
};

namespace
{
// The longest piece of rows a worker reads, and the pieces read ahead per worker thread.
constexpr std::size_t kMaxPieceBytes = std::size_t{512} << 10;
constexpr std::size_t kPiecesAhead = 2;

// The first byte c at or after p, or end. Eight bytes at a time (fields are short, where
// memchr's set-up costs more than the search).
const char* FindByte(const char* p, const char* end, char c)
{
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    const std::uint64_t pattern = kOnes * static_cast<unsigned char>(c);
    for (; end - p >= 8; p += 8)
    {
        std::uint64_t x;
        std::memcpy(&x, p, 8);
        x ^= pattern;
        const std::uint64_t zero = (x - kOnes) & ~x & kOnes * 0x80;
        if (zero != 0)
            return p + (__builtin_ctzll(zero) >> 3);
    }
    while (p < end && *p != c)
        ++p;
    return p;
}

// The lines of the input with their numbers; LF or CR LF endings. A line is valid until the
// next call of Next.
class LineReader
{
public:
    LineReader(CqzCaptureInput& input, std::size_t maxLine) : m_in(input), m_maxLine(maxLine)
    {
        Rewind();
    }

    // Where the next line starts, inside the input's window.
    const char* GetPosition() const { return m_p; }

    void Rewind()
    {
        if (m_line > 0)
            m_in.Rewind();
        m_p = m_in.Begin();
        m_end = m_in.End();
        m_line = 0;
    }

    bool Next(std::string_view& line, std::int64_t& number)
    {
        while (true)
        {
            const char* stop = FindByte(m_p, m_end, '\n');
            const char* nl = stop < m_end ? stop : nullptr;
            if (static_cast<std::size_t>(stop - m_p) > m_maxLine)
                throw CqzCaptureError(m_in.GetName(), m_line + 1,
                                      "the line is longer than " + std::to_string(m_maxLine) +
                                          " bytes");
            if (!nl && !m_in.AtEnd())
            {
                m_in.Refill(m_p);
                m_p = m_in.Begin();
                m_end = m_in.End();
                continue;
            }
            if (m_p == m_end)
                return false;
            line = std::string_view(m_p, static_cast<std::size_t>(stop - m_p));
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            m_p = nl ? nl + 1 : m_end;
            number = ++m_line;
            return true;
        }
    }

private:
    CqzCaptureInput& m_in;
    std::size_t m_maxLine;
    const char* m_p = nullptr;
    const char* m_end = nullptr;
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
    return CqzCaptureText::Quote(text);
}

bool IsBlank(std::string_view line)
{
    for (char c : line)
        if (c != ' ' && c != '\t')
            return false;
    return true;
}

// The first control byte of a line other than tab, or -1.
int ControlByte(std::string_view line)
{
    // Eight bytes at a time: a byte below 0x20 sets its high bit in (x - 0x20..) & ~x; only
    // such words (tabs among them) are looked at byte by byte.
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    const char* p = line.data();
    const char* end = p + line.size();
    std::uint64_t below = 0;
    for (; end - p >= 8 && below == 0; p += 8)
    {
        std::uint64_t x;
        std::memcpy(&x, p, 8);
        below = (x - kOnes * 0x20) & ~x & kOnes * 0x80;
    }
    if (below == 0)
        for (; p < end; ++p)
            below |= static_cast<unsigned char>(*p) < 0x20;
    if (below == 0)
        return -1;
    for (char c : line)
        if (static_cast<unsigned char>(c) < 0x20 && c != '\t')
            return static_cast<unsigned char>(c);
    return -1;
}

// The fields of one line: views into the line, or into the texts of quoted fields.
struct Fields
{
    std::vector<std::string_view> cells;
    std::deque<std::string> unquoted;
};

// One import of one file.
class CsvReader
{
public:
    CsvReader(CqzCaptureInput& input, const SqzCaptureOptions& options)
        : m_input(input), m_lines(input, options.maxLineBytes), m_file(input.GetName()),
          m_maxLine(options.maxLineBytes), m_maxField(options.maxFieldBytes),
          m_pieceBytes(std::clamp<std::size_t>(options.readBlockBytes * 4, 64, kMaxPieceBytes)),
          m_out(options, input.GetName())
    {
    }

    std::unique_ptr<CqzData> Run()
    {
        ReadHeader();
        if (const int threads = CqzCaptureWorkers::Count(); threads > 0)
            return RunInPieces(threads);
        Learn();
        MakeColumns();
        m_out.CheckMemory(m_rows);
        m_lines.Rewind();
        SkipHeader();
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
        return "column " + std::to_string(column + 1) + " (" +
               CqzCaptureText::Printable(m_names[column]) + ")";
    }
    void CheckBytes(std::string_view line, std::int64_t number) const
    {
        if (const int c = ControlByte(line); c >= 0)
            Fail(number, "control byte " + CqzCaptureText::ByteName(static_cast<unsigned char>(c)) +
                             ": a CSV file is text");
    }

    // Header ------------------------------------------------------------------------------
    void ReadHeader()
    {
        std::string_view line;
        std::int64_t number = 0;
        bool found = false;
        while (!found && m_lines.Next(line, number))
        {
            CheckBytes(line, number);
            if (!IsBlank(line) && line[0] == ';')
                ReadComment(line, number);
            found = !IsBlank(line) && line[0] != ';';
        }
        if (!found)
            Fail(number, "no header line naming the columns");
        m_headerLine = number;
        m_separator = DetectSeparator(line);
        Split(line, number, m_row);
        for (std::size_t i = 0; i < m_row.cells.size(); ++i)
            m_names.push_back(m_row.cells[i].empty() ? "Column" + std::to_string(i + 1)
                                                  : std::string(m_row.cells[i]));
        for (std::size_t i = 0; i < m_names.size() && m_time < 0; ++i)
            if (Lower(m_names[i]).starts_with("time"))
                m_time = static_cast<int>(i);
        if (m_time >= 0)
            m_headerExponent = HeaderUnit(m_names[static_cast<std::size_t>(m_time)], number);
        else if (m_rate == 0)
            Fail(number, "no time column (a column named Time...) and no '; Samplerate:' "
                         "comment");
        for (int e = 0; e < m_headerExponent; ++e)
            m_timeScale *= 10;
        m_columns.resize(m_names.size());
    }

    void SkipHeader()
    {
        std::string_view line;
        std::int64_t number = 0;
        while (number < m_headerLine && m_lines.Next(line, number))
        {
        }
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
        if (m_rate > CqzCaptureNumber::MaxRate)
            Fail(number, "sample rate " + Quote(line) + CqzCaptureNumber::MaxRateReason);
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
        const char tab = m_separator == '\t' ? ' ' : '\t'; // a tab separates, or is blank
        const char* begin = field.data();
        const char* end = begin + field.size();
        while (begin < end && (*begin == ' ' || *begin == tab))
            ++begin;
        while (end > begin && (end[-1] == ' ' || end[-1] == tab))
            --end;
        return std::string_view(begin, static_cast<std::size_t>(end - begin));
    }

    void AddField(Fields& f, std::string_view field, std::int64_t number) const
    {
        if (field.size() > m_maxField) [[unlikely]]
            FailLongField(f, number);
        f.cells.push_back(field);
    }
    [[noreturn]] void FailLongField(const Fields& f, std::int64_t number) const
    {
        Fail(number, "field " + std::to_string(f.cells.size() + 1) + " is longer than " +
                         std::to_string(m_maxField) + " bytes");
    }

    void Split(std::string_view line, std::int64_t number, Fields& f) const
    {
        f.cells.clear();
        if (!f.unquoted.empty())
            f.unquoted.clear();
        const char* p = line.data();
        const char* end = p + line.size();
        while (true)
        {
            const char* start = p;
            while (start < end && (*start == ' ' || *start == '\t') && *start != m_separator)
                ++start;
            if (start < end && *start == '"')
                p = SplitQuoted(line, static_cast<std::size_t>(start - line.data()), number, f);
            else
            {
                const char* stop = FindByte(p, end, m_separator);
                AddField(f, Trim(std::string_view(p, static_cast<std::size_t>(stop - p))), number);
                p = stop;
            }
            if (p >= end)
                return;
            ++p; // the separator
        }
    }

    // A field in quotes starting at `start`; returns the position after it.
    const char* SplitQuoted(std::string_view line, std::size_t start, std::int64_t number,
                            Fields& f) const
    {
        std::string& text = f.unquoted.emplace_back();
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
                 "text after the closing quote of field " + std::to_string(f.cells.size() + 1));
        AddField(f, text, number);
        return line.data() + end;
    }

    // Reads the next data line into m_row; false at the end.
    bool NextRow(std::int64_t& number, bool check)
    {
        std::string_view line;
        do
            if (!m_lines.Next(line, number))
                return false;
        while (IsBlank(line));
        ReadRow(line, number, check, m_row);
        return true;
    }

    // A data line into fields, checked; `marks`, when given, are those of the line's bytes.
    void ReadRow(std::string_view line, std::int64_t number, bool check, Fields& f,
                 const CqzCsvScan::SqzMarks* marks = nullptr) const
    {
        const std::uint64_t in = CqzCsvScan::LowBits(line.size());
        if (check && !marks)
            CheckBytes(line, number);
        else if (check && (marks->controls & in) != 0) [[unlikely]]
            CheckBytes(line, number);
        if (marks && (marks->quotes & in) == 0)
            SplitAt(line, marks->separators & in, (marks->blanks & in) != 0, number, f);
        else
            Split(line, number, f);
        if (f.cells.size() != m_names.size()) [[unlikely]]
            FailFieldCount(f, number);
    }

    // A line without quotes into fields at the separators, bit i standing for byte i: what
    // Split makes of it. Fields are trimmed only when the line has blanks.
    void SplitAt(std::string_view line, std::uint64_t separators, bool blanks,
                 std::int64_t number, Fields& f) const
    {
        f.cells.clear();
        if (!f.unquoted.empty())
            f.unquoted.clear();
        std::size_t start = 0;
        for (; separators != 0; separators &= separators - 1)
        {
            const auto stop = static_cast<std::size_t>(__builtin_ctzll(separators));
            const std::string_view field = line.substr(start, stop - start);
            AddField(f, blanks ? Trim(field) : field, number);
            start = stop + 1;
        }
        AddField(f, blanks ? Trim(line.substr(start)) : line.substr(start), number);
    }

    [[noreturn]] void FailFieldCount(const Fields& f, std::int64_t number) const
    {
        if (f.cells.size() > m_names.size())
            Fail(number,
                 "field " + std::to_string(m_names.size() + 1) + " " +
                     Quote(f.cells[m_names.size()]) + " has no column: the line has " +
                     std::to_string(f.cells.size()) + " fields, the header names " +
                     std::to_string(m_names.size()) +
                     (m_separator == ',' ? " (decimal commas in a comma-separated file?)" : ""));
        Fail(number, "the line has " + std::to_string(f.cells.size()) +
                         " fields, the header names " + std::to_string(m_names.size()));
    }

    // Types -------------------------------------------------------------------------------
    void Learn()
    {
        std::int64_t number = 0;
        while (NextRow(number, true))
        {
            ++m_rows;
            for (std::size_t i = 0; i < m_row.cells.size(); ++i)
                if (static_cast<int>(i) != m_time)
                    m_columns[i].Add(m_row.cells[i]);
        }
    }

    void MakeColumns()
    {
        m_labelColumn.assign(m_names.size(), -1);
        for (std::size_t i = 0; i < m_names.size(); ++i)
        {
            if (static_cast<int>(i) == m_time)
                continue;
            m_columns[i].Finish();
            const EqzCsvColumnType type = m_columns[i].GetType();
            const int width = m_columns[i].GetWidth();
            if (type != eqzCsvText && type != eqzCsvDecimal && width > 128)
            {
                m_out.Note(ColumnName(i) + " holds values of " + std::to_string(width) +
                           " bits; skipped (labels hold at most 128 bits)");
                continue;
            }
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
        m_out.GetTable().Reserve(m_rows);
        if (CanBatch())
            FillBatches();
        else
            FillRows();
    }

    // Batches of rows fit when every label column holds numbers of up to 64 bits.
    bool CanBatch() const
    {
        for (std::size_t i = 0; i < m_names.size(); ++i)
            if (m_labelColumn[i] >= 0 &&
                (m_columns[i].GetType() == eqzCsvText || m_columns[i].GetWidth() > 64))
                return false;
        return true;
    }

    void FillRows()
    {
        CqzDataTable& table = m_out.GetTable();
        std::int64_t number = 0;
        for (std::int64_t row = 0; row < m_rows && NextRow(number, false); ++row)
        {
            const std::int64_t time = RowTimeChecked(row, number);
            table.AppendRow(time);
            for (std::size_t i = 0; i < m_row.cells.size(); ++i)
                if (m_labelColumn[i] >= 0)
                    Store(i, row, number);
            if ((row & 0xffff) == 0xffff)
                m_out.CheckMemory(m_rows);
        }
    }

    void Store(std::size_t i, std::int64_t row, std::int64_t number)
    {
        CqzDataTable& table = m_out.GetTable();
        const std::string_view cell = m_row.cells[i];
        if (m_columns[i].GetType() == eqzCsvText)
        {
            table.SetText(m_labelColumn[i], CqzCaptureText::Value(cell));
            if (cell.empty())
                table.SetStatus(m_labelColumn[i], 3);
            return;
        }
        CqzUInt value, unknown, floating;
        const int status = Convert(m_row, i, number, value, unknown, floating);
        m_out.SetBits(m_labelColumn[i], row, value, unknown, floating);
        if (status == 3)
            table.SetStatus(m_labelColumn[i], status);
    }

    int Convert(const Fields& f, std::size_t i, std::int64_t number, CqzUInt& value,
                CqzUInt& unknown, CqzUInt& floating) const
    {
        const int status = m_columns[i].Convert(f.cells[i], value, unknown, floating);
        if (status < 0)
            Fail(number, "value " + Quote(f.cells[i]) + " does not fit " + ColumnName(i));
        return status;
    }

    // The time of a row, refused when it is before the time of the row above.
    std::int64_t RowTimeChecked(std::int64_t row, std::int64_t number)
    {
        const std::int64_t time = m_time >= 0 ? Time(m_row, number) : RowTime(row, number);
        if (time < m_lastTime)
            Fail(number, "time " + Quote(m_row.cells[static_cast<std::size_t>(m_time)]) +
                             " is before the time of the line above");
        m_lastTime = time;
        return time;
    }

    // Rows are gathered kBatchRows at a time and written column by column; a batch with an
    // empty, x or z cell is written row by row.
    void FillBatches()
    {
        m_batchTimes.resize(kBatchRows);
        m_batchValues.resize(m_names.size() * kBatchRows);
        std::int64_t number = 0;
        for (std::int64_t row = 0; row < m_rows;)
        {
            std::size_t count = 0;
            m_odd.clear();
            for (; count < kBatchRows && row + static_cast<std::int64_t>(count) < m_rows &&
                   NextRow(number, false);
                 ++count)
                Gather(count, row + static_cast<std::int64_t>(count), number);
            if (count == 0)
                return;
            WriteBatch(row, count);
            const std::int64_t end = row + static_cast<std::int64_t>(count);
            if (end >> 16 != row >> 16)
                m_out.CheckMemory(m_rows);
            row = end;
        }
    }

    void Gather(std::size_t at, std::int64_t row, std::int64_t number)
    {
        m_batchTimes[at] = RowTimeChecked(row, number);
        for (std::size_t i = 0; i < m_row.cells.size(); ++i)
        {
            if (m_labelColumn[i] < 0)
                continue;
            CqzUInt value, unknown, floating;
            const int status = Convert(m_row, i, number, value, unknown, floating);
            m_batchValues[i * kBatchRows + at] = value.GetLow();
            if (status != 0)
                m_odd.push_back({at, i, status, unknown, floating});
        }
    }

    void WriteBatch(std::int64_t first, std::size_t count)
    {
        CqzDataTable& table = m_out.GetTable();
        const auto n = static_cast<std::int64_t>(count);
        if (m_odd.empty())
        {
            table.AppendRows(n);
            table.SetTimes(first, m_batchTimes.data(), n);
            for (std::size_t i = 0; i < m_names.size(); ++i)
                if (m_labelColumn[i] >= 0)
                    m_out.SetValues(m_labelColumn[i], first, &m_batchValues[i * kBatchRows], n);
            return;
        }
        std::size_t odd = 0;
        for (std::size_t at = 0; at < count; ++at)
        {
            table.AppendRow(m_batchTimes[at]);
            for (std::size_t i = 0; i < m_names.size(); ++i)
            {
                if (m_labelColumn[i] < 0)
                    continue;
                SqzOddCell cell{at, i, 0, CqzUInt(), CqzUInt()};
                if (odd < m_odd.size() && m_odd[odd].at == at && m_odd[odd].field == i)
                    cell = m_odd[odd++];
                const std::int64_t row = first + static_cast<std::int64_t>(at);
                m_out.SetBits(m_labelColumn[i], row, CqzUInt(m_batchValues[i * kBatchRows + at]),
                              cell.unknown, cell.floating);
                if (cell.status == 3)
                    table.SetStatus(m_labelColumn[i], 3);
            }
        }
    }

    // In pieces -----------------------------------------------------------------------------
    // Both passes read the rows in pieces on the workers, joined here in order: the first
    // learns the column types, the second the values, appended a piece at a time.
    std::unique_ptr<CqzData> RunInPieces(int threads)
    {
        CqzCaptureWorkers workers(threads);
        const std::size_t ahead = kPiecesAhead * static_cast<std::size_t>(threads);
        ForEachPiece(workers, ahead, [this](SqzCsvPiece& p) { LearnPiece(p); },
                     [this](const SqzCsvPiece& p) { JoinLearnt(p); });
        MakeColumns();
        m_out.CheckMemory(m_rows);
        m_out.GetTable().Reserve(m_rows);
        // The table's pages are made present by a worker while the first pieces are read
        // (the workers end it before the table can go).
        std::future<void> prefault = workers.Run(m_out.GetTable().PrefaultJob(0, m_rows));
        m_lines.Rewind();
        SkipHeader();
        std::size_t pieces = 0;
        ForEachPiece(workers, ahead, [this](SqzCsvPiece& p) { FillPiece(p); },
                     [&](const SqzCsvPiece& p)
                     {
                         JoinFilled(p);
                         ++pieces;
                     });
        if (pieces != m_pieceFirstRow.size())
            FailChanged();
        prefault.get();
        return m_out.Release();
    }

    template <typename Work, typename Join>
    void ForEachPiece(CqzCaptureWorkers& workers, std::size_t ahead, Work&& work, Join&& join)
    {
        CqzCsvPieceReader reader(m_input, m_lines.GetPosition(), m_pieceBytes, m_maxLine);
        CqzCapturePieceWindow<SqzCsvPiece, CqzCsvPieceReader> window(workers, reader, ahead,
                                                                      std::forward<Work>(work));
        m_baseLine = m_headerLine;
        while (const SqzCsvPiece* piece = window.Next())
            join(*piece);
    }

    [[noreturn]] void FailChanged() const
    {
        Fail(0, "the file changed while it was read");
    }

    // The lines of a piece with their numbers in it; a piece's last line may lack its end.
    // A line that fits 64 bytes with its end comes with the marks of its bytes.
    template <typename F> void ForEachLine(SqzCsvPiece& piece, F&& read) const
    {
        const char* p = piece.Begin();
        const char* end = piece.End();
        std::int64_t number = 0;
        while (p < end)
        {
            const std::size_t window = std::min<std::size_t>(64, static_cast<std::size_t>(end - p));
            const CqzCsvScan::SqzMarks marks = CqzCsvScan::Marks(p, window, m_separator);
            const bool fits = marks.lineEnds != 0 || p + window == end;
            const char* stop = marks.lineEnds != 0 ? p + __builtin_ctzll(marks.lineEnds)
                               : fits               ? end
                                                    : FindByte(p + window, end, '\n');
            if (static_cast<std::size_t>(stop - p) > m_maxLine)
                Fail(number + 1, "the line is longer than " + std::to_string(m_maxLine) + " bytes");
            std::string_view line(p, static_cast<std::size_t>(stop - p));
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            p = stop < end ? stop + 1 : end;
            read(line, ++number, fits ? &marks : nullptr);
        }
        piece.lines = number;
    }

    // The lines of a piece that are not blank, as ForEachLine gives them; a refusal is kept
    // in the piece for the join.
    template <typename F> void ForEachRow(SqzCsvPiece& piece, F&& row) const
    {
        Guarded(piece,
                [&]
                {
                    ForEachLine(piece,
                                [&](std::string_view line, std::int64_t number,
                                    const CqzCsvScan::SqzMarks* marks)
                                {
                                    if (!IsBlank(line))
                                        row(line, number, marks);
                                });
                });
    }

    // Runs `read` over a piece; a refusal is kept in the piece for the join.
    template <typename F> static void Guarded(SqzCsvPiece& piece, F&& read)
    {
        piece.errorLine = 0;
        piece.error.clear();
        piece.rows = 0;
        try
        {
            read();
        }
        catch (const CqzCaptureError& e)
        {
            piece.errorLine = std::max<std::int64_t>(e.GetLine(), 1);
            piece.error = e.GetReason();
        }
    }

    void LearnPiece(SqzCsvPiece& piece) const
    {
        piece.columns.assign(m_names.size(), CqzCsvColumn());
        Fields f;
        ForEachRow(piece,
                   [&](std::string_view line, std::int64_t number,
                       const CqzCsvScan::SqzMarks* marks)
                   {
                       ReadRow(line, number, true, f, marks);
                       ++piece.rows;
                       for (std::size_t i = 0; i < f.cells.size(); ++i)
                           if (static_cast<int>(i) != m_time)
                               piece.columns[i].Add(f.cells[i]);
                   });
    }

    void Rethrow(const SqzCsvPiece& piece) const
    {
        if (piece.errorLine > 0)
            Fail(m_baseLine + piece.errorLine, piece.error);
    }

    void JoinLearnt(const SqzCsvPiece& piece)
    {
        Rethrow(piece);
        for (std::size_t i = 0; i < m_columns.size(); ++i)
            m_columns[i].Merge(piece.columns[i]);
        m_pieceFirstRow.push_back(m_rows);
        m_rows += piece.rows;
        m_baseLine += piece.lines;
    }

    void FillPiece(SqzCsvPiece& piece) const
    {
        const std::size_t n = m_names.size();
        piece.times.clear();
        piece.values.resize(n);
        piece.wide.resize(n);
        piece.texts.resize(n);
        for (std::size_t i = 0; i < n; ++i)
        {
            piece.values[i].clear();
            piece.wide[i].clear();
            piece.texts[i].clear();
        }
        piece.odd.clear();
        piece.firstTime.clear();
        if (piece.index >= m_pieceFirstRow.size())
            return;
        piece.firstRow = m_pieceFirstRow[piece.index];
        Fields f;
        ForEachRow(piece,
                   [&](std::string_view line, std::int64_t number,
                       const CqzCsvScan::SqzMarks* marks)
                   { FillRow(piece, line, number, f, marks); });
    }

    void FillRow(SqzCsvPiece& piece, std::string_view line, std::int64_t number, Fields& f,
                 const CqzCsvScan::SqzMarks* marks) const
    {
        ReadRow(line, number, false, f, marks);
        const std::int64_t row = piece.rows;
        if (row == 0)
        {
            piece.firstRowLine = number;
            if (m_time >= 0)
                piece.firstTime = f.cells[static_cast<std::size_t>(m_time)];
        }
        const std::int64_t time = m_time >= 0 ? Time(f, number) : RowTime(piece.firstRow + row, number);
        if (row > 0 && time < piece.times.back())
            Fail(number, "time " + Quote(f.cells[static_cast<std::size_t>(m_time)]) +
                             " is before the time of the line above");
        piece.times.push_back(time);
        for (std::size_t i = 0; i < f.cells.size(); ++i)
            if (m_labelColumn[i] >= 0)
                FillCell(piece, f, i, row, number);
        piece.rows = row + 1;
    }

    void FillCell(SqzCsvPiece& piece, const Fields& f, std::size_t i, std::int64_t row,
                  std::int64_t number) const
    {
        if (m_columns[i].GetType() == eqzCsvText)
        {
            piece.texts[i].push_back(CqzCaptureText::Value(f.cells[i]));
            return;
        }
        const bool wide = m_columns[i].GetWidth() > 64;
        if (std::uint64_t plain = 0; !wide && m_columns[i].ConvertPlain(f.cells[i], plain))
        {
            piece.values[i].push_back(plain);
            return;
        }
        CqzUInt value, unknown, floating;
        const int status = Convert(f, i, number, value, unknown, floating);
        if (wide)
            piece.wide[i].push_back(value);
        else
            piece.values[i].push_back(value.GetLow());
        if (status != 0)
            piece.odd.push_back({row, i, status, unknown, floating});
    }

    void JoinFilled(const SqzCsvPiece& piece)
    {
        if (piece.index >= m_pieceFirstRow.size())
            FailChanged();
        if (!piece.times.empty() && piece.times.front() < m_lastTime)
            Fail(m_baseLine + piece.firstRowLine,
                 "time " + Quote(piece.firstTime) + " is before the time of the line above");
        Rethrow(piece);
        const std::size_t next = piece.index + 1;
        if ((next < m_pieceFirstRow.size() ? m_pieceFirstRow[next] : m_rows) !=
            piece.firstRow + piece.rows)
            FailChanged();
        if (piece.rows > 0)
        {
            if (piece.odd.empty() && CanBatch())
                AppendPiece(piece);
            else
                AppendPieceRows(piece);
            m_lastTime = piece.times.back();
        }
        m_baseLine += piece.lines;
    }

    // A piece of numbers without empty, x or z cells: its times and each column in bulk.
    void AppendPiece(const SqzCsvPiece& piece)
    {
        CqzDataTable& table = m_out.GetTable();
        const std::int64_t first = table.AppendRows(piece.rows);
        table.SetTimes(first, piece.times.data(), piece.rows);
        for (std::size_t i = 0; i < m_names.size(); ++i)
            if (m_labelColumn[i] >= 0)
                m_out.SetValues(m_labelColumn[i], first, piece.values[i].data(), piece.rows);
        if ((first + piece.rows) >> 16 != first >> 16)
            m_out.CheckMemory(m_rows);
    }

    // Any other piece, row by row as on the plain path.
    void AppendPieceRows(const SqzCsvPiece& piece)
    {
        CqzDataTable& table = m_out.GetTable();
        std::size_t odd = 0;
        for (std::int64_t r = 0; r < piece.rows; ++r)
        {
            const std::int64_t row = m_out.AppendRow(piece.times[static_cast<std::size_t>(r)]);
            for (std::size_t i = 0; i < m_names.size(); ++i)
            {
                const int column = m_labelColumn[i];
                if (column < 0)
                    continue;
                const auto at = static_cast<std::size_t>(r);
                if (m_columns[i].GetType() == eqzCsvText)
                {
                    table.SetText(column, piece.texts[i][at]);
                    if (piece.texts[i][at].IsEmpty())
                        table.SetStatus(column, 3);
                    continue;
                }
                SqzCsvPiece::SqzOddCell cell{r, i, 0, CqzUInt(), CqzUInt()};
                if (odd < piece.odd.size() && piece.odd[odd].row == r && piece.odd[odd].field == i)
                    cell = piece.odd[odd++];
                const CqzUInt value =
                    piece.wide[i].empty() ? CqzUInt(piece.values[i][at]) : piece.wide[i][at];
                m_out.SetBits(column, row, value, cell.unknown, cell.floating);
                if (cell.status == 3)
                    table.SetStatus(column, 3);
            }
        }
    }

    std::int64_t RowTime(std::int64_t row, std::int64_t number) const
    {
        const unsigned __int128 ps =
            static_cast<unsigned __int128>(row) * 1000000000000ull / m_rate;
        if (ps > static_cast<unsigned __int128>(std::numeric_limits<std::int64_t>::max()))
            Fail(number, "the time of this row is beyond the time range");
        return static_cast<std::int64_t>(ps);
    }

    // A time of whole units given by the header (the common case): no copy, no rounding.
    bool WholeTime(std::string_view cell, std::int64_t& ps) const
    {
        if (m_headerExponent < 0 || cell.empty() || cell.size() > 18)
            return false;
        std::uint64_t digits = 0;
        bool bad = false; // refused after the loop: no branch per digit
        for (char c : cell)
        {
            const unsigned digit = static_cast<unsigned char>(c) - unsigned('0');
            bad |= digit > 9;
            digits = digits * 10 + digit;
        }
        if (bad)
            return false;
        // At most 18 digits: no overflow before the scaling.
        const auto value = static_cast<std::int64_t>(digits);
        if (value > std::numeric_limits<std::int64_t>::max() / m_timeScale)
            return false;
        ps = value * m_timeScale;
        return true;
    }

    std::int64_t Time(const Fields& f, std::int64_t number) const
    {
        const std::string_view cell = f.cells[static_cast<std::size_t>(m_time)];
        std::int64_t ps = 0;
        if (WholeTime(cell, ps)) [[likely]]
            return ps;
        return ParsedTime(cell, number);
    }

    // A time with a fraction, an exponent or a unit of its own.
    std::int64_t ParsedTime(std::string_view cell, std::int64_t number) const
    {
        std::int64_t ps = 0;
        std::string text;
        for (char c : cell)
            if (c != ' ' && c != '\t')
                text += c == ',' && m_separator != ',' ? '.' : c;
        const std::size_t unitAt = text.find_first_not_of("0123456789.+-eE");
        int exponent = m_headerExponent;
        if (unitAt != std::string::npos &&
            !CqzCaptureNumber::TimeUnitExponent(std::string_view(text).substr(unitAt), exponent))
            Fail(number, "time " + Quote(cell) + " has no known unit (s, ms, us, ns, ps, fs)");
        bool exact = true;
        if (!CqzCaptureNumber::ParseScaled(std::string_view(text).substr(0, unitAt), exponent, ps,
                                           &exact))
            Fail(number, "time " + Quote(cell) + " is not a number within the time range");
        if (!exact)
            Fail(number, "time " + Quote(cell) +
                             " is not a whole number of picoseconds (times are kept in "
                             "picoseconds)");
        return ps;
    }

    CqzCaptureInput& m_input;
    LineReader m_lines;
    std::string m_file;
    std::size_t m_maxLine;
    std::size_t m_maxField;
    std::size_t m_pieceBytes;
    // In pieces: the first row of each piece (from the first pass), the line before the
    // next piece's first line.
    std::vector<std::int64_t> m_pieceFirstRow;
    std::int64_t m_baseLine = 0;
    CqzCaptureTable m_out;
    char m_separator = ',';
    std::vector<std::string> m_names;
    std::int64_t m_headerLine = 0;
    int m_time = -1;
    int m_headerExponent = 12;
    std::int64_t m_timeScale = 1; // 10 to the header's exponent (when it is not negative)
    std::uint64_t m_rate = 0;
    std::vector<CqzCsvColumn> m_columns;
    std::vector<int> m_labelColumn;
    std::int64_t m_rows = 0;
    Fields m_row; // the line being read on the plain path
    // The batch being gathered: times, values column by column, and the cells that are empty
    // or have x or z digits.
    struct SqzOddCell
    {
        std::size_t at;
        std::size_t field;
        int status;
        CqzUInt unknown;
        CqzUInt floating;
    };
    static constexpr std::size_t kBatchRows = 1024;
    std::int64_t m_lastTime = std::numeric_limits<std::int64_t>::min();
    std::vector<std::int64_t> m_batchTimes;
    std::vector<std::uint64_t> m_batchValues;
    std::vector<SqzOddCell> m_odd;
};
} // namespace

CqzCsvImporter::CqzCsvImporter(const SqzCaptureOptions& options) : m_imp(std::make_unique<SqzImp>())
{
    m_imp->options = options;
}

CqzCsvImporter::~CqzCsvImporter() = default;

std::unique_ptr<CqzData> CqzCsvImporter::ImportFile(const std::string& path) const
{
    CqzCaptureInput input(path, m_imp->options);
    input.SetPassCount(2);
    return CsvReader(input, m_imp->options).Run();
}

std::unique_ptr<CqzData> CqzCsvImporter::ImportText(std::string_view text,
                                                    const std::string& name) const
{
    CqzCaptureInput input(text, name, m_imp->options);
    return CsvReader(input, m_imp->options).Run();
}
