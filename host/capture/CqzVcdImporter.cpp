#include "capture/CqzVcdImporter.h"

#include "capture/CqzCaptureError.h"
#include "capture/CqzCaptureFile.h"
#include "capture/CqzCaptureNumber.h"
#include "capture/CqzCaptureTable.h"

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
constexpr int kMaxWidth = 128;

struct Token
{
    std::string_view text;
    std::int64_t line = 0;
};

// Splits the dump into whitespace-separated tokens, counting lines.
class Scanner
{
public:
    explicit Scanner(std::string_view text) : m_p(text.data()), m_end(text.data() + text.size()) {}

    bool Next(Token& token)
    {
        while (m_p < m_end && static_cast<unsigned char>(*m_p) <= ' ')
            m_line += *m_p++ == '\n';
        if (m_p == m_end)
            return false;
        const char* start = m_p;
        while (m_p<m_end&& static_cast<unsigned char>(*m_p)> ' ')
            ++m_p;
        token.text = std::string_view(start, static_cast<std::size_t>(m_p - start));
        token.line = m_line;
        m_lastLine = m_line;
        return true;
    }
    std::string_view GetRest() const
    {
        return std::string_view(m_p, static_cast<std::size_t>(m_end - m_p));
    }
    // The line of the last token read (1 before any).
    std::int64_t GetLine() const { return m_lastLine; }

private:
    const char* m_p;
    const char* m_end;
    std::int64_t m_line = 1;
    std::int64_t m_lastLine = 1;
};

enum EVarKind
{
    eBits,
    eInteger,
    eText
};

struct Var
{
    std::vector<std::string> scope;
    std::string name;
    EVarKind kind = eBits;
    int width = 1;
    std::int64_t line = 0;
    int column = -1;
};

// One import of one dump.
class VcdReader
{
public:
    VcdReader(std::string_view text, const std::string& file, const SqzCaptureOptions& options)
        : m_scan(text), m_file(file), m_out(options.sourceID)
    {
        m_fastCode.fill(-1);
    }

    std::unique_ptr<CqzData> Run()
    {
        ReadHeader();
        MakeColumns();
        m_out.GetTable().Reserve(CountTimestamps());
        ReadBody();
        return m_out.Release();
    }

private:
    [[noreturn]] void Fail(std::int64_t line, const std::string& what) const
    {
        throw CqzCaptureError(m_file, line, what);
    }
    static std::string Quote(std::string_view text)
    {
        constexpr std::size_t kShown = 40;
        std::string shown(text.substr(0, kShown));
        for (char& c : shown)
            if (static_cast<unsigned char>(c) < ' ' || static_cast<unsigned char>(c) > '~')
                c = '?';
        return "'" + shown + (text.size() > kShown ? "...'" : "'");
    }
    Token Expect(const char* what)
    {
        Token token;
        if (!m_scan.Next(token))
            Fail(m_scan.GetLine(), std::string("the file ends inside ") + what);
        return token;
    }
    // The tokens up to the $end closing a section.
    std::vector<Token> Section(const Token& start)
    {
        std::vector<Token> tokens;
        for (Token t = Expect(std::string(start.text).c_str()); t.text != "$end";
             t = Expect(std::string(start.text).c_str()))
            tokens.push_back(t);
        return tokens;
    }
    void SkipSection(const Token& start)
    {
        const std::string what =
            std::string(start.text) + " (from line " + std::to_string(start.line) + ")";
        for (Token t = Expect(what.c_str()); t.text != "$end"; t = Expect(what.c_str()))
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
        std::string text;
        for (const Token& t : Section(start))
            text += t.text;
        std::size_t digits = 0;
        while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9')
            ++digits;
        const std::string number = text.substr(0, digits);
        int exponent = 0;
        if ((number != "1" && number != "10" && number != "100") ||
            !CqzCaptureNumber::TimeUnitExponent(std::string_view(text).substr(digits), exponent) ||
            text.size() - digits > 2)
            Fail(start.line, "timescale " + Quote(text) +
                                 " is not 1, 10 or 100 followed by s, ms, us, ns, ps or fs");
        std::int64_t factor = number == "1" ? 1 : number == "10" ? 10 : 100;
        for (int e = exponent; e > 0; --e)
            factor *= 10;
        m_timeFactor = factor;
        m_timeDivisor = exponent < 0 ? 1000 : 1;
    }

    void ReadScope(const Token& start)
    {
        const std::vector<Token> tokens = Section(start);
        if (tokens.empty())
            Fail(start.line, "$scope without a name");
        m_scope.emplace_back(tokens.back().text);
    }

    void ReadUpscope(const Token& start)
    {
        if (m_scope.empty())
            Fail(start.line, "$upscope without an open $scope");
        m_scope.pop_back();
        SkipSection(start);
    }

    void ReadVar(const Token& start)
    {
        const std::vector<Token> t = Section(start);
        if (t.size() < 4 || t.size() > 5 || (t.size() == 5 && t[4].text[0] != '['))
            Fail(start.line, "$var needs a type, a width, an identifier code and a name");
        Var var;
        var.scope = m_scope;
        var.name = std::string(t[3].text);
        var.line = start.line;
        if (t.size() == 5 && t[4].text.find(':') == std::string_view::npos)
            var.name += t[4].text; // a single-bit select names the bit
        const std::string_view type = t[0].text;
        var.kind = type == "real" || type == "realtime" || type == "shortreal" || type == "string"
                       ? eText
                   : type == "integer" ? eInteger
                                       : eBits;
        std::uint64_t width = 0;
        if (!CqzCaptureNumber::ParseUnsigned(t[1].text, std::numeric_limits<int>::max(), width))
            Fail(start.line, "$var " + var.name + ": width " + Quote(t[1].text) +
                                 " is not a number of bits (at most 128 are supported)");
        if (var.kind != eText && (width == 0 || width > kMaxWidth))
            Fail(start.line, "$var " + var.name + " is " + std::to_string(width) +
                                 " bits wide; widths of 1 to 128 bits are supported");
        var.width = static_cast<int>(width);
        AddCode(t[2].text, static_cast<int>(m_vars.size()));
        m_vars.push_back(std::move(var));
    }

    void AddCode(std::string_view code, int var)
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

    // All variables inside one top scope: that scope is left out of the names.
    bool DropTopScope() const
    {
        if (m_vars.empty())
            return false;
        for (const Var& v : m_vars)
            if (v.scope.empty() || v.scope[0] != m_vars[0].scope[0])
                return false;
        return true;
    }

    void MakeColumns()
    {
        if (m_vars.empty())
            Fail(m_scan.GetLine(), "the file declares no variables");
        const std::size_t skip = DropTopScope() ? 1 : 0;
        for (Var& v : m_vars)
        {
            std::string name;
            for (std::size_t i = skip; i < v.scope.size(); ++i)
                name += v.scope[i] + ".";
            name += v.name;
            const bool integral =
                v.kind == eInteger &&
                (v.width == 8 || v.width == 16 || v.width == 32 || v.width == 64 || v.width == 128);
            v.column = v.kind == eText ? m_out.AddLabel(eqzLabelString, name, 0)
                       : integral      ? m_out.AddLabel(eqzLabelIntegral, name, v.width)
                                       : m_out.AddLabel(eqzLabelDigital, name, v.width);
            if (v.column < 0)
                Fail(v.line, "$var " + name + " cannot be stored");
        }
    }

    // Changes -----------------------------------------------------------------------------
    // Tokens starting with '#' from here on: at most the number of rows, found at the speed of
    // memchr, so that the columns are allocated once.
    std::int64_t CountTimestamps() const
    {
        std::int64_t count = 1;
        const std::string_view rest = m_scan.GetRest();
        for (const char* p = rest.data();
             (p = static_cast<const char*>(std::memchr(p, '#', rest.data() + rest.size() - p))) !=
             nullptr;
             ++p)
            count += p == rest.data() || static_cast<unsigned char>(p[-1]) <= ' ';
        return count;
    }

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
                ChangeBits(t, t.text.substr(0, 1), Code(t, t.text.substr(1)));
            else if (c == 'b' || c == 'B')
                ChangeBits(t, t.text.substr(1), Code(t, Expect("a vector change").text));
            else if (c == 'r' || c == 'R' || c == 's' || c == 'S')
                ChangeText(t, t.text.substr(1), Code(t, Expect("a value change").text));
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
    const std::vector<int>& Code(const Token& at, std::string_view code) const
    {
        int index = -1;
        if (code.size() == 1 && static_cast<unsigned char>(code[0]) < m_fastCode.size())
            index = m_fastCode[static_cast<unsigned char>(code[0])];
        else if (auto it = m_codes.find(code); it != m_codes.end())
            index = it->second;
        if (index < 0)
            Fail(at.line, "unknown identifier code " + Quote(code));
        return m_varsOfCode[index];
    }

    void SetTime(const Token& t)
    {
        std::uint64_t ticks = 0;
        if (!CqzCaptureNumber::ParseUnsigned(t.text.substr(1), ~std::uint64_t{0}, ticks))
            Fail(t.line, "timestamp " + Quote(t.text) + " is not a number");
        const unsigned __int128 ps = static_cast<unsigned __int128>(ticks) *
                                     static_cast<std::uint64_t>(m_timeFactor) /
                                     static_cast<std::uint64_t>(m_timeDivisor);
        if (ps > static_cast<unsigned __int128>(std::numeric_limits<std::int64_t>::max()))
            Fail(t.line, "timestamp " + Quote(t.text) + " is beyond the time range");
        const auto time = static_cast<std::int64_t>(ps);
        CqzDataTable& table = m_out.GetTable();
        if (m_rows && time < m_lastTime)
            Fail(t.line, "timestamp " + Quote(t.text) + " goes back in time");
        if (!m_rows)
            table.AppendRow(time);
        else if (!m_timed)
            table.SetTimeAt(0, time);
        else if (time != m_lastTime)
            table.AppendRow(time);
        m_rows = true;
        m_timed = true;
        m_lastTime = time;
    }

    void EnsureRow()
    {
        if (m_rows)
            return;
        m_out.GetTable().AppendRow(0);
        m_rows = true;
    }

    const Var& VarOf(int index) const { return m_vars[static_cast<std::size_t>(index)]; }

    void ChangeBits(const Token& t, std::string_view digits, const std::vector<int>& vars)
    {
        EnsureRow();
        CqzDataTable& table = m_out.GetTable();
        for (int index : vars)
        {
            const Var& v = VarOf(index);
            CqzUInt value;
            bool unknown = false;
            if (v.kind == eText)
                Fail(t.line, "a bit value for " + v.name + ", which holds reals or strings");
            if (!CqzCaptureNumber::ParseBits(digits, 1, v.width, value, unknown))
                Fail(t.line, "value " + Quote(t.text) + " is not a " + std::to_string(v.width) +
                                 "-bit binary value for " + v.name);
            table.SetValue(v.column, value);
            if (unknown)
                table.SetStatus(v.column, 4);
        }
    }

    void ChangeText(const Token& t, std::string_view text, const std::vector<int>& vars)
    {
        EnsureRow();
        const CString value = CString::FromUtf8(std::string(text));
        for (int index : vars)
        {
            const Var& v = VarOf(index);
            if (v.kind != eText)
                Fail(t.line, "a real or string value for " + v.name + ", which holds bits");
            m_out.GetTable().SetText(v.column, value);
        }
    }

    Scanner m_scan;
    std::string m_file;
    CqzCaptureTable m_out;
    std::vector<std::string> m_scope;
    std::vector<Var> m_vars;
    std::unordered_map<std::string_view, int> m_codes;
    std::vector<std::vector<int>> m_varsOfCode;
    std::array<int, 128> m_fastCode;
    std::int64_t m_timeFactor = 1000; // 1 ns unless the file says otherwise
    std::int64_t m_timeDivisor = 1;
    bool m_rows = false;  // the table has its first row
    bool m_timed = false; // the first row has its time from a timestamp
    std::int64_t m_lastTime = 0;
};
} // namespace

CqzVcdImporter::CqzVcdImporter(const SqzCaptureOptions& options) : m_imp(std::make_unique<SqzImp>())
{
    m_imp->options = options;
}

CqzVcdImporter::~CqzVcdImporter() = default;

std::unique_ptr<CqzData> CqzVcdImporter::ImportFile(const std::string& path) const
{
    const std::string text = CqzCaptureFile::ReadAll(path);
    return ImportText(text, path);
}

std::unique_ptr<CqzData> CqzVcdImporter::ImportText(std::string_view text,
                                                    const std::string& name) const
{
    return VcdReader(text, name, m_imp->options).Run();
}
