#include "capture/CqzVcdImporter.h"

#include "capture/CqzCaptureError.h"
#include "capture/CqzCaptureInput.h"
#include "capture/CqzCaptureNumber.h"
#include "capture/CqzCaptureTable.h"
#include "capture/CqzCaptureText.h"
#include "capture/CqzCaptureVars.h"
#include "capture/CqzCaptureWorkers.h"
#include "capture/CqzVcdPieceParser.h"
#include "capture/CqzVcdPieceReader.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <deque>
#include <functional>
#include <utility>
#include <cstring>
#include <limits>
#include <new>
#include <unordered_map>
#include <vector>

struct CqzVcdImporter::SqzImp
{
    SqzCaptureOptions options;
};

namespace
{
// Words of a declaration section ($var, $scope, $timescale) before its $end.
constexpr std::size_t kMaxSectionWords = 64;
// Rows between checks of the memory the table takes.
constexpr std::int64_t kMemoryCheckRows = 1 << 16;
// The longest piece of value changes a worker reads (a few are in flight): a piece and what
// is read from it stay within a core's cache (the narrow dump read 4 % faster than with 512 KiB,
// 128 KiB no faster).
constexpr std::size_t kMaxPieceBytes = std::size_t{256} << 10;

struct Token
{
    std::string_view text;
    std::int64_t line = 0;
};

bool IsSpace(unsigned char c)
{
    return c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Where the scanner reads: the file's window (the declarations) or the pieces of the value
// changes (PieceFeed).
class ScanSource
{
public:
    virtual ~ScanSource() = default;
    virtual const char* Begin() const = 0;
    virtual const char* End() const = 0;
    // True when a word that reaches End() is whole.
    virtual bool AtEnd() const = 0;
    // Gives up the bytes before `keep` and reads more; false when nothing more was read.
    virtual bool Refill(const char* keep) = 0;
};

class InputSource : public ScanSource
{
public:
    explicit InputSource(CqzCaptureInput& input) : m_in(input) {}
    const char* Begin() const override { return m_in.Begin(); }
    const char* End() const override { return m_in.End(); }
    bool AtEnd() const override { return m_in.AtEnd(); }
    bool Refill(const char* keep) override { return m_in.Refill(keep); }

private:
    CqzCaptureInput& m_in;
};

// Splits the dump into whitespace-separated words, counting lines, reading its source block by
// block. A word is valid until the next call of Next.
class Scanner
{
public:
    Scanner(ScanSource& source, const std::string& name, std::size_t maxWord)
        : m_in(&source), m_name(name), m_p(source.Begin()), m_end(source.End()), m_maxWord(maxWord)
    {
    }

    // Goes on reading from another source, whose first byte is on `line`.
    void Restart(ScanSource& source, std::int64_t line)
    {
        m_in = &source;
        m_p = source.Begin();
        m_end = source.End();
        m_line = line;
    }
    // Where the next word is looked for, and its line.
    const char* GetPosition() const { return m_p; }
    std::int64_t GetPositionLine() const { return m_line; }

    bool Next(Token& token)
    {
        while (true)
        {
            while (m_p < m_end && static_cast<unsigned char>(*m_p) <= ' ')
            {
                const auto c = static_cast<unsigned char>(*m_p++);
                if (!IsSpace(c))
                    Fail(m_line, "control byte " + CqzCaptureText::ByteName(c) +
                                     ": a value change dump is text");
                m_line += c == '\n';
            }
            if (m_p == m_end)
            {
                if (!Refill(m_p))
                    return false;
                continue;
            }
            const char* start = m_p;
            const char* q = WordEnd(m_p, m_end);
            const auto length = static_cast<std::size_t>(q - start);
            if (length > m_maxWord)
                Fail(m_line, "a word longer than " + std::to_string(m_maxWord) + " bytes (" +
                                 CqzCaptureText::Quote(std::string_view(start, length), 20) + ")");
            if (q == m_end && !m_in->AtEnd())
            {
                Refill(start);
                continue;
            }
            token.text = std::string_view(start, static_cast<std::size_t>(q - start));
            token.line = m_line;
            m_lastLine = m_line;
            m_p = q;
            return true;
        }
    }
    // The line of the last word read (1 before any).
    std::int64_t GetLine() const { return m_lastLine; }
    [[noreturn]] void Fail(std::int64_t line, const std::string& what) const
    {
        throw CqzCaptureError(m_name, line, what);
    }

private:
    // The first byte at or after p that is a blank or a control byte (at most 0x20), or end.
    // Eight bytes at a time: a byte below 0x21 sets its high bit in (x - 0x21..) & ~x.
    static const char* WordEnd(const char* p, const char* end)
    {
        constexpr std::uint64_t kOnes = 0x0101010101010101ull;
        for (; end - p >= 8; p += 8)
        {
            std::uint64_t x;
            std::memcpy(&x, p, 8);
            const std::uint64_t low = (x - kOnes * 0x21) & ~x & kOnes * 0x80;
            if (low != 0)
                return p + (__builtin_ctzll(low) >> 3);
        }
        while (p < end && static_cast<unsigned char>(*p) > ' ')
            ++p;
        return p;
    }

    bool Refill(const char* keep)
    {
        const bool more = m_in->Refill(keep);
        m_p = m_in->Begin();
        m_end = m_in->End();
        return more;
    }

    ScanSource* m_in;
    std::string m_name;
    const char* m_p;
    const char* m_end;
    std::size_t m_maxWord;
    std::int64_t m_line = 1;
    std::int64_t m_lastLine = 1;
};

using Var = CqzCaptureVars::SqzVar;
constexpr auto eBits = CqzCaptureVars::eBits;
constexpr auto eInteger = CqzCaptureVars::eInteger;
constexpr auto eText = CqzCaptureVars::eText;

// The pieces of the value changes as the plain path reads them: one piece, and when a word or
// a change goes on past its end (or Unstop), the next pieces after it.
class PieceFeed : public ScanSource
{
public:
    using Pull = std::function<std::unique_ptr<SqzVcdPiece>()>;
    using Recycle = std::function<void(std::unique_ptr<SqzVcdPiece>)>;
    PieceFeed(Pull pull, Recycle recycle) : m_pull(std::move(pull)), m_recycle(std::move(recycle))
    {
    }

    void Start(const SqzVcdPiece& piece)
    {
        m_text.assign(piece.Begin(), piece.End());
        m_whole = piece.endsAtLine;
    }
    // Whether the end of a piece ends the reading (between changes) or the next piece follows
    // (inside a change or a section).
    bool SetStop(bool stop) { return std::exchange(m_stop, stop); }

    const char* Begin() const override { return m_text.data(); }
    const char* End() const override { return m_text.data() + m_text.size(); }
    bool AtEnd() const override { return m_whole; }
    bool Refill(const char* keep) override
    {
        if (m_stop && m_whole && keep == End())
            return false;
        std::unique_ptr<SqzVcdPiece> next = m_pull();
        if (!next)
        {
            m_whole = true;
            return false;
        }
        m_text.erase(m_text.begin(), m_text.begin() + (keep - Begin()));
        m_text.insert(m_text.end(), next->Begin(), next->End());
        m_whole = next->endsAtLine;
        m_recycle(std::move(next));
        return true;
    }

private:
    Pull m_pull;
    Recycle m_recycle;
    std::vector<char> m_text;
    bool m_whole = true;
    bool m_stop = true;
};

// Pieces a worker reads ahead of the join, per worker thread.
constexpr std::size_t kPiecesAhead = 2;
// Pieces of rows whose table memory a worker makes present ahead of the join; and the rows
// it makes present at once, where the table has room for them (64 KiB of a one-bit column,
// as each column's memory costs a call).
constexpr std::int64_t kPrefaultPieces = 4;
constexpr std::int64_t kPrefaultRows = std::int64_t{1} << 19;

// One import of one dump.
class VcdReader
{
public:
    VcdReader(CqzCaptureInput& input, const SqzCaptureOptions& options)
        : m_input(input), m_inputSource(input), m_scan(m_inputSource, input.GetName(), options.maxFieldBytes),
          m_file(input.GetName()), m_out(options, input.GetName()),
          m_feed([this] { return PullPiece(); },
                 [this](std::unique_ptr<SqzVcdPiece> piece) { m_free.push_back(std::move(piece)); }),
          m_pieceBytes(std::clamp<std::size_t>(options.readBlockBytes * 4, 64, kMaxPieceBytes)),
          m_maxWord(options.maxFieldBytes)
    {
        m_fastCode.fill(-1);
    }

    std::unique_ptr<CqzData> Run()
    {
        ReadHeader();
        MakeColumns();
        ReadBody();
        return m_out.Release();
    }

private:
    [[noreturn]] void Fail(std::int64_t line, const std::string& what) const
    {
        m_scan.Fail(line, what);
    }
    static std::string Quote(std::string_view text) { return CqzCaptureText::Quote(text); }
    Token Expect(const std::string& what)
    {
        Token token;
        const bool stop = m_feed.SetStop(false);
        const bool read = m_scan.Next(token);
        m_feed.SetStop(stop);
        if (!read)
            Fail(m_scan.GetLine(), "the file ends inside " + what);
        return token;
    }
    // The words up to the $end closing a declaration.
    std::vector<std::string> Section(const Token& start)
    {
        const std::string what = std::string(start.text);
        const std::int64_t line = start.line;
        std::vector<std::string> words;
        for (Token t = Expect(what); t.text != "$end"; t = Expect(what))
        {
            if (words.size() == kMaxSectionWords)
                Fail(line,
                     what + " has no $end within " + std::to_string(kMaxSectionWords) + " words");
            words.emplace_back(t.text);
        }
        return words;
    }
    void SkipSection(const Token& start)
    {
        const std::string what =
            std::string(start.text) + " (from line " + std::to_string(start.line) + ")";
        for (Token t = Expect(what); t.text != "$end"; t = Expect(what))
        {
        }
    }

    // Header ------------------------------------------------------------------------------
    void ReadHeader()
    {
        Token t;
        while (m_scan.Next(t))
        {
            if (t.text == "$enddefinitions")
            {
                SkipSection(t);
                return;
            }
            if (t.text == "$timescale")
                ReadTimescale(t);
            else if (t.text == "$scope")
                ReadScope(t);
            else if (t.text == "$upscope")
                ReadUpscope(t);
            else if (t.text == "$var")
                ReadVar(t);
            else if (t.text.size() > 1 && t.text[0] == '$')
                SkipSection(t);
            else
                Fail(t.line, "unexpected " + Quote(t.text) + " among the declarations");
        }
        Fail(m_scan.GetLine(), "the file ends before $enddefinitions");
    }

    void ReadTimescale(const Token& start)
    {
        const std::int64_t line = start.line;
        std::string text;
        for (const std::string& word : Section(start))
            text += word;
        std::size_t digits = 0;
        while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9')
            ++digits;
        const std::string number = text.substr(0, digits);
        int exponent = 0;
        if ((number != "1" && number != "10" && number != "100") ||
            !CqzCaptureNumber::TimeUnitExponent(std::string_view(text).substr(digits), exponent) ||
            text.size() - digits > 2)
            Fail(line, "timescale " + Quote(text) +
                           " is not 1, 10 or 100 followed by s, ms, us, ns, ps or fs");
        std::int64_t factor = number == "1" ? 1 : number == "10" ? 10 : 100;
        for (int e = exponent; e > 0; --e)
            factor *= 10;
        m_timeFactor = factor;
        m_timeDivisor = exponent < 0 ? 1000 : 1;
    }

    void ReadScope(const Token& start)
    {
        const std::int64_t line = start.line;
        const std::vector<std::string> words = Section(start);
        if (words.empty())
            Fail(line, "$scope without a name");
        m_vars.OpenScope(words.back());
    }

    void ReadUpscope(const Token& start)
    {
        if (!m_vars.CloseScope())
            Fail(start.line, "$upscope without an open $scope");
        SkipSection(start);
    }

    void ReadVar(const Token& start)
    {
        const std::int64_t line = start.line;
        const std::vector<std::string> t = Section(start);
        if (t.size() < 4 || t.size() > 5 || (t.size() == 5 && t[4][0] != '['))
            Fail(line, "$var needs a type, a width, an identifier code and a name");
        Var var;
        var.name = CqzCaptureVars::SelectName(t[3], t.size() == 5 ? t[4] : std::string());
        var.line = line;
        const std::string& type = t[0];
        var.kind = type == "real" || type == "realtime" || type == "shortreal" || type == "string"
                       ? eText
                   : type == "integer" ? eInteger
                                       : eBits;
        std::uint64_t width = 0;
        if (!CqzCaptureNumber::ParseUnsigned(t[1], std::numeric_limits<int>::max(), width))
            Fail(line, "$var " + CqzCaptureText::Printable(var.name) + ": width " + Quote(t[1]) +
                           " is not a number of bits");
        if (var.kind != eText && width == 0)
            Fail(line, "$var " + CqzCaptureText::Printable(var.name) + " is 0 bits wide");
        var.width = static_cast<int>(width);
        AddCode(t[2], static_cast<int>(m_vars.GetCount()));
        m_vars.Add(std::move(var));
    }

    void AddCode(const std::string& code, int var)
    {
        auto [it, added] = m_codes.try_emplace(code, static_cast<int>(m_varsOfCode.size()));
        if (added)
        {
            m_varsOfCode.emplace_back();
            if (code.size() == 1 && static_cast<unsigned char>(code[0]) < m_fastCode.size())
                m_fastCode[static_cast<unsigned char>(code[0])] = it->second;
        }
        m_varsOfCode[it->second].push_back(var);
    }

    void MakeColumns() { m_vars.MakeColumns(m_out, m_file, m_scan.GetLine()); }

    // Changes -----------------------------------------------------------------------------
    // The value changes, cut into pieces that the workers read ahead while this thread joins
    // the pieces before them into the table. A piece the workers could not read (and the
    // first, which may hold changes before any timestamp) is read here, on the plain path.
    void ReadBody()
    {
        MakeParser();
        const int threads = CqzCaptureWorkers::Count();
        m_plain = threads == 0;
        CqzCaptureWorkers workers(threads);
        CqzVcdPieceReader pieces(m_input, m_scan.GetPosition(), m_pieceBytes);
        m_workers = &workers;
        m_pieces = &pieces;
        m_ahead = kPiecesAhead * static_cast<std::size_t>(std::max(threads, 1));
        std::int64_t line = m_scan.GetPositionLine();
        try
        {
            while (std::unique_ptr<SqzVcdPiece> piece = PullPiece())
                if (piece->parsed && m_timed && piece->times.front() > m_lastTime)
                {
                    JoinPiece(*piece);
                    Prefault(static_cast<std::int64_t>(piece->times.size()));
                    line += piece->newlines;
                    m_free.push_back(std::move(piece));
                }
                else
                {
                    WaitPrefaults();
                    m_feed.Start(*piece);
                    m_free.push_back(std::move(piece));
                    m_scan.Restart(m_feed, line);
                    ReadChanges();
                    line = m_scan.GetPositionLine();
                }
        }
        catch (...)
        {
            DropWindow();
            throw;
        }
        WaitPrefaults();
    }

    // The code lookup and the columns of each code, for the workers.
    void MakeParser()
    {
        std::vector<std::vector<CqzVcdPieceParser::SqzTarget>> targets(m_varsOfCode.size());
        for (std::size_t code = 0; code < m_varsOfCode.size(); ++code)
            for (int index : m_varsOfCode[code])
                if (const Var& v = VarOf(index); v.column >= 0)
                    targets[code].push_back({v.column, v.kind == eText ? 0 : v.width});
        m_parser.SetTime(m_timeFactor, m_timeDivisor);
        m_parser.SetCodes(m_codes, m_fastCode, std::move(targets),
                          m_out.GetTable().GetColumnCount());
        m_parser.SetMaxWord(m_maxWord);
    }

    // The next piece once its worker is done, with more pieces handed to the workers; null at
    // the end of the file.
    std::unique_ptr<SqzVcdPiece> PullPiece()
    {
        while (m_window.size() < m_ahead)
        {
            std::unique_ptr<SqzVcdPiece> piece;
            if (m_free.empty())
                piece = std::make_unique<SqzVcdPiece>();
            else
            {
                piece = std::move(m_free.back());
                m_free.pop_back();
            }
            if (!m_pieces->Next(*piece))
            {
                m_free.push_back(std::move(piece));
                break;
            }
            SqzVcdPiece* p = piece.get();
            p->done = m_workers->Run(
                [this, p]
                {
                    if (!m_plain)
                        m_parser.Parse(*p);
                });
            m_window.push_back(std::move(piece));
        }
        if (m_window.empty())
            return nullptr;
        std::unique_ptr<SqzVcdPiece> piece = std::move(m_window.front());
        m_window.pop_front();
        m_workers->Wait(piece->done);
        piece->done.get();
        m_bytesPulled += piece->size;
        return piece;
    }

    // Waits for the pieces the workers still read (their memory goes with this reader) and
    // for their prefault jobs.
    void DropWindow()
    {
        for (auto& piece : m_window)
            if (piece->done.valid())
                piece->done.wait();
        m_window.clear();
        WaitPrefaults();
    }

    // Table memory: room for `rows` rows, grown at most twofold at a time towards the rows the
    // file's size promises at the rows per byte so far (room costs address space only); the
    // prefault jobs end first, as the columns' memory may move. Where the system refuses the
    // room, the columns grow as rows come and nothing is prefaulted any more.
    void Reserve(std::int64_t rows)
    {
        if (rows <= m_reserved)
            return;
        WaitPrefaults();
        const double perByte =
            m_bytesPulled == 0 ? 0.0
                               : static_cast<double>(m_out.GetTable().GetRowCount()) /
                                     static_cast<double>(m_bytesPulled);
        const auto promised =
            static_cast<std::int64_t>(perByte * static_cast<double>(m_input.GetSize()) * 1.02);
        m_reserved = std::max(rows, std::min(2 * std::max(m_reserved, kMemoryCheckRows), promised));
        try
        {
            m_out.GetTable().Reserve(m_reserved);
        }
        catch (const std::bad_alloc&)
        {
            m_reserved = std::numeric_limits<std::int64_t>::max();
            m_prefaulted = m_reserved;
        }
    }

    // Has a worker make the memory of the next few pieces' rows present, so that the join
    // does not wait for fresh pages to be zeroed.
    void Prefault(std::int64_t pieceRows)
    {
        const std::int64_t rows = m_out.GetTable().GetRowCount();
        const std::int64_t needed = rows + kPrefaultPieces * pieceRows;
        Reserve(needed);
        if (needed <= m_prefaulted)
            return;
        const std::int64_t ahead = std::max(needed, std::min(rows + kPrefaultRows, m_reserved));
        std::erase_if(m_prefaults, [](const std::future<void>& job)
                      { return job.wait_for(std::chrono::seconds(0)) == std::future_status::ready; });
        const std::int64_t from = std::max(m_prefaulted, rows);
        m_prefaults.push_back(m_workers->Run(m_out.GetTable().PrefaultJob(from, ahead - from)));
        m_prefaulted = ahead;
    }

    void WaitPrefaults()
    {
        for (std::future<void>& job : m_prefaults)
            job.wait();
        m_prefaults.clear();
    }

    // A piece a worker read: its rows appended at once with their times, each column holding
    // the value before the piece up to its first change, then each changed column and each
    // text column written in bulk.
    void JoinPiece(const SqzVcdPiece& piece)
    {
        CqzDataTable& table = m_out.GetTable();
        const auto rows = static_cast<std::int64_t>(piece.times.size());
        Reserve(table.GetRowCount() + rows);
        m_held.assign(static_cast<std::size_t>(table.GetColumnCount()), rows);
        for (int column : piece.changed)
        {
            const auto c = static_cast<std::size_t>(column);
            m_held[c] = piece.columns[c].first;
        }
        const std::int64_t first = table.AppendRowsToWrite(rows, piece.times.data(), m_held.data());
        for (int column : piece.changed)
            JoinColumn(piece.columns[static_cast<std::size_t>(column)], first, rows);
        JoinTexts(piece, first);
        m_out.CheckAppend(first, rows);
        m_lastTime = piece.times.back();
        m_lastRow = first + rows - 1;
    }

    // Each text change holds until the next change of its column (or the piece's end): the
    // changes are written backwards, each up to where the later one starts. A text is pooled
    // once per column and piece.
    void JoinTexts(const SqzVcdPiece& piece, std::int64_t first)
    {
        if (piece.texts.empty())
            return;
        CqzDataTable& table = m_out.GetTable();
        const auto end = first + static_cast<std::int64_t>(piece.times.size());
        m_textEnd.assign(static_cast<std::size_t>(table.GetColumnCount()), end);
        m_textNumbers.clear();
        for (auto it = piece.texts.rbegin(); it != piece.texts.rend(); ++it)
        {
            std::int64_t& until = m_textEnd[static_cast<std::size_t>(it->column)];
            const std::int64_t row = first + it->row;
            if (row < until)
                table.FillText(it->column, row, until - row, TextNumber(piece, *it));
            until = row;
        }
    }

    std::uint32_t TextNumber(const SqzVcdPiece& piece, const SqzVcdPiece::SqzText& text)
    {
        const auto [it, added] = m_textNumbers.try_emplace(
            static_cast<std::uint64_t>(text.column) << 32 | text.text, 0);
        if (added)
        {
            const CString& value = piece.textValues[text.text];
            it->second = static_cast<std::uint32_t>(m_out.GetTable().AddText(
                text.column, value.GetString(), static_cast<std::size_t>(value.GetLength())));
        }
        return it->second;
    }

    void JoinColumn(const SqzVcdPiece::SqzColumn& c, std::int64_t first, std::int64_t rows)
    {
        CqzDataTable& table = m_out.GetTable();
        const std::int64_t row = first + c.first;
        if (c.width == 1)
            table.SetPackedBits(c.column, row, c.bits.data(), c.first - c.bitsRow, rows - c.first);
        else if (!c.narrow.empty())
            table.SetValues(c.column, row, c.narrow.data(), static_cast<std::int64_t>(c.narrow.size()));
        else if (!c.values.empty())
            m_out.SetValues(c.column, row, c.values.data(), static_cast<std::int64_t>(c.values.size()));
        else
            table.SetValues(c.column, row, c.wide.data(), static_cast<std::int64_t>(c.wide.size()));
    }

    // The plain path: changes word by word until the end of the feed's pieces.
    void ReadChanges()
    {
        Token t;
        while (m_scan.Next(t))
        {
            const char c = t.text[0];
            if (c == '#')
                SetTime(t);
            else if (c == '$')
                ReadKeyword(t);
            else if (c == '0' || c == '1' || c == 'x' || c == 'X' || c == 'z' || c == 'Z')
                ChangeScalar(t);
            else if (c == 'b' || c == 'B')
                ChangeVector(t);
            else if (c == 'r' || c == 'R' || c == 's' || c == 'S')
                ChangeText(t);
            else
                Fail(t.line, "unexpected " + Quote(t.text) + " among the value changes");
        }
    }

    void ReadKeyword(const Token& t)
    {
        if (t.text == "$end" || t.text == "$dumpvars" || t.text == "$dumpall" ||
            t.text == "$dumpon" || t.text == "$dumpoff")
            return;
        if (t.text == "$var" || t.text == "$scope" || t.text == "$upscope")
            Fail(t.line, std::string(t.text) + " after $enddefinitions");
        SkipSection(t);
    }

    // The variables of an identifier code.
    const std::vector<int>& Code(std::int64_t line, std::string_view code) const
    {
        int index = -1;
        if (code.size() == 1 && static_cast<unsigned char>(code[0]) < m_fastCode.size())
            index = m_fastCode[static_cast<unsigned char>(code[0])];
        else if (auto it = m_codes.find(code); it != m_codes.end())
            index = it->second;
        if (index < 0)
            Fail(line, "unknown identifier code " + Quote(code));
        return m_varsOfCode[static_cast<std::size_t>(index)];
    }

    void SetTime(const Token& t)
    {
        std::uint64_t ticks = 0;
        if (!CqzCaptureNumber::ParseUnsigned(t.text.substr(1), ~std::uint64_t{0}, ticks))
            Fail(t.line, "timestamp " + Quote(t.text) + " is not a number");
        const unsigned __int128 scaled =
            static_cast<unsigned __int128>(ticks) * static_cast<std::uint64_t>(m_timeFactor);
        if (m_timeDivisor != 1 && scaled % static_cast<std::uint64_t>(m_timeDivisor) != 0)
            Fail(t.line, "timestamp " + Quote(t.text) + " is " +
                             std::to_string(static_cast<std::uint64_t>(scaled)) +
                             " fs, not a whole number of picoseconds (times are kept in "
                             "picoseconds; a finer time would merge with its neighbour)");
        const unsigned __int128 ps =
            m_timeDivisor == 1 ? scaled : scaled / static_cast<std::uint64_t>(m_timeDivisor);
        if (ps > static_cast<unsigned __int128>(std::numeric_limits<std::int64_t>::max()))
            Fail(t.line, "timestamp " + Quote(t.text) + " is beyond the time range");
        const auto time = static_cast<std::int64_t>(ps);
        CqzDataTable& table = m_out.GetTable();
        if (m_rows && time < m_lastTime)
            Fail(t.line, "timestamp " + Quote(t.text) + " goes back in time");
        if (!m_rows || (m_timed && time != m_lastTime))
            AppendRow(time);
        else if (!m_timed)
            table.SetTimeAt(0, time);
        m_rows = true;
        m_timed = true;
        m_lastTime = time;
    }

    void AppendRow(std::int64_t time)
    {
        m_lastRow = m_out.AppendRow(time);
    }

    void EnsureRow()
    {
        if (m_rows)
            return;
        AppendRow(0);
        m_rows = true;
    }

    const Var& VarOf(int index) const { return m_vars.Get(index); }

    void ChangeScalar(const Token& t)
    {
        const std::int64_t line = t.line;
        const char digit = t.text[0];
        ChangeBits(line, std::string_view(&digit, 1), Code(line, t.text.substr(1)), "");
    }

    void ChangeVector(const Token& t)
    {
        // The digits go before the word holding the code is read (it may move the buffer).
        const std::int64_t line = t.line;
        std::string_view digits = t.text.substr(1);
        if (digits.size() <= m_shortDigits.size())
            digits = std::string_view(m_shortDigits.data(),
                                      digits.copy(m_shortDigits.data(), digits.size()));
        else
            digits = m_digits.assign(digits);
        const Token code = Expect("a vector change");
        ChangeBits(line, digits, Code(line, code.text), "b");
    }

    void ChangeBits(std::int64_t line, std::string_view digits, const std::vector<int>& vars,
                    const char* prefix)
    {
        EnsureRow();
        for (int index : vars)
        {
            const Var& v = VarOf(index);
            if (v.column < 0)
                continue;
            if (v.kind == eText)
                Fail(line, "a bit value for " + CqzCaptureText::Printable(v.name) +
                               ", which holds reals or strings");
            CqzUInt value, unknown, floating;
            if (!CqzCaptureNumber::ParseBits(digits, 1, v.width, true, value, unknown, floating))
                Fail(line, "value " + Quote(prefix + std::string(digits)) + " is not a " +
                               std::to_string(v.width) + "-bit binary value for " +
                               CqzCaptureText::Printable(v.name));
            m_out.SetBits(v.column, m_lastRow, value, unknown, floating);
        }
    }

    void ChangeText(const Token& t)
    {
        const std::int64_t line = t.line;
        const CString value = CqzCaptureText::Value(t.text.substr(1));
        const Token code = Expect("a value change");
        EnsureRow();
        for (int index : Code(line, code.text))
        {
            const Var& v = VarOf(index);
            if (v.column < 0)
                continue;
            if (v.kind != eText)
                Fail(line, "a real or string value for " + CqzCaptureText::Printable(v.name) +
                               ", which holds bits");
            m_out.GetTable().SetText(v.column, value);
        }
    }

    CqzCaptureInput& m_input;
    InputSource m_inputSource;
    Scanner m_scan;
    std::string m_file;
    CqzCaptureTable m_out;
    CqzCaptureVars m_vars;
    CqzVcdPieceParser::CodeMap m_codes;
    std::vector<std::vector<int>> m_varsOfCode;
    std::array<int, 128> m_fastCode;
    std::int64_t m_timeFactor = 1000; // 1 ns unless the file says otherwise
    std::int64_t m_timeDivisor = 1;
    bool m_rows = false;  // the table has its first row
    bool m_timed = false; // the first row has its time from a timestamp
    std::int64_t m_lastTime = 0;
    std::int64_t m_lastRow = -1;
    std::string m_digits;
    std::array<char, 256> m_shortDigits;
    // The pieces of the value changes.
    PieceFeed m_feed;
    std::size_t m_pieceBytes;
    std::size_t m_maxWord = 0;
    CqzVcdPieceParser m_parser;
    bool m_plain = false;
    CqzCaptureWorkers* m_workers = nullptr;
    CqzVcdPieceReader* m_pieces = nullptr;
    std::size_t m_ahead = 1;
    std::deque<std::unique_ptr<SqzVcdPiece>> m_window;
    // Per column, the rows of the piece being joined that hold the value before it.
    std::vector<std::int64_t> m_held;
    // Pieces joined, kept for their buffers.
    std::vector<std::unique_ptr<SqzVcdPiece>> m_free;
    // While a piece's texts are joined: per column the row its later change starts at, and
    // the pool number of each (column, text of the piece).
    std::vector<std::int64_t> m_textEnd;
    std::unordered_map<std::uint64_t, std::uint32_t> m_textNumbers;
    // Bytes of the pieces taken from the window, rows the table has room for, rows whose
    // memory a worker made present (or is making), and those jobs.
    std::uint64_t m_bytesPulled = 0;
    std::int64_t m_reserved = 0;
    std::int64_t m_prefaulted = 0;
    std::vector<std::future<void>> m_prefaults;
};
} // namespace

CqzVcdImporter::CqzVcdImporter(const SqzCaptureOptions& options) : m_imp(std::make_unique<SqzImp>())
{
    m_imp->options = options;
}

CqzVcdImporter::~CqzVcdImporter() = default;

std::unique_ptr<CqzData> CqzVcdImporter::ImportFile(const std::string& path) const
{
    CqzCaptureInput input(path, m_imp->options);
    return VcdReader(input, m_imp->options).Run();
}

std::unique_ptr<CqzData> CqzVcdImporter::ImportText(std::string_view text,
                                                    const std::string& name) const
{
    CqzCaptureInput input(text, name, m_imp->options);
    return VcdReader(input, m_imp->options).Run();
}
