#include "capture/CqzVcdImporter.h"

#include "capture/CqzCaptureError.h"
#include "capture/CqzCaptureInput.h"
#include "capture/CqzCaptureNumber.h"
#include "capture/CqzCaptureTable.h"
#include "capture/CqzCaptureText.h"
#include "capture/CqzCaptureVars.h"

#include <array>
#include <cstring>
#include <limits>
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

struct Token
{
    std::string_view text;
    std::int64_t line = 0;
};

bool IsSpace(unsigned char c)
{
    return c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Splits the dump into whitespace-separated words, counting lines, reading the input block by
// block. A word is valid until the next call of Next.
class Scanner
{
public:
    Scanner(CqzCaptureInput& input, std::size_t maxWord)
        : m_in(input), m_p(input.Begin()), m_end(input.End()), m_maxWord(maxWord)
    {
    }

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
            if (q == m_end && !m_in.AtEnd())
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
        throw CqzCaptureError(m_in.GetName(), line, what);
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
        while (p<end&& static_cast<unsigned char>(*p)> ' ')
            ++p;
        return p;
    }

    bool Refill(const char* keep)
    {
        const bool more = m_in.Refill(keep);
        m_p = m_in.Begin();
        m_end = m_in.End();
        return more;
    }

    CqzCaptureInput& m_in;
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

// Hash and equality that look up std::string keys by std::string_view.
struct CodeHash
{
    using is_transparent = void;
    std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
};

// One import of one dump.
class VcdReader
{
public:
    VcdReader(CqzCaptureInput& input, const SqzCaptureOptions& options)
        : m_scan(input, options.maxFieldBytes), m_file(input.GetName()),
          m_out(options, input.GetName())
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
        if (!m_scan.Next(token))
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
    void ReadBody()
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
        const std::int64_t row = m_out.GetTable().AppendRow(time);
        m_lastRow = row;
        if ((row + 1) % kMemoryCheckRows == 0)
            m_out.CheckMemory(row + kMemoryCheckRows);
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

    Scanner m_scan;
    std::string m_file;
    CqzCaptureTable m_out;
    CqzCaptureVars m_vars;
    std::unordered_map<std::string, int, CodeHash, std::equal_to<>> m_codes;
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
