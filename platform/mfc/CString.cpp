#include "mfc/CString.h"

#include <algorithm>
#include <cstdio>
#include <cwctype>

namespace
{

bool IsSpace(wchar_t c) { return std::iswspace(static_cast<wint_t>(c)) != 0; }

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80)
        out.push_back(static_cast<char>(cp));
    else if (cp < 0x800)
    {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
    else if (cp < 0x10000)
    {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
    else
    {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// One conversion of a format text: %[flags][width][.precision][length]conversion.
struct FormatDirective
{
    std::string flags;
    int width = -1;
    int precision = -1;
    wchar_t conversion = 0;
};

std::wstring Widen(const char* text)
{
    std::wstring out;
    for (; *text; ++text)
        out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(*text)));
    return out;
}

std::string NarrowDirective(const FormatDirective& directive, const char* length, char conversion)
{
    // Appended piece by piece: GCC 12 at -O3 warns falsely about "." + std::to_string(...).
    std::string s = "%";
    s += directive.flags;
    if (directive.width >= 0)
        s += std::to_string(directive.width);
    if (directive.precision >= 0)
    {
        s += '.';
        s += std::to_string(directive.precision);
    }
    s += length;
    s += conversion;
    return s;
}

std::wstring Pad(std::wstring text, const FormatDirective& directive)
{
    if (directive.width > static_cast<int>(text.size()))
    {
        std::wstring fill(static_cast<std::size_t>(directive.width) - text.size(), L' ');
        text = directive.flags.find('-') != std::string::npos ? text + fill : fill + text;
    }
    return text;
}

std::wstring FormatOne(const FormatDirective& directive, const CStringFormatArg& arg)
{
    char buffer[512];
    switch (directive.conversion)
    {
    case L'd':
    case L'i':
        std::snprintf(buffer, sizeof buffer, NarrowDirective(directive, "ll", 'd').c_str(),
                      static_cast<long long>(arg.AsSigned()));
        return Widen(buffer);
    case L'u':
    case L'x':
    case L'X':
    case L'o':
        std::snprintf(buffer, sizeof buffer,
                      NarrowDirective(directive, "ll", static_cast<char>(directive.conversion)).c_str(),
                      static_cast<unsigned long long>(arg.AsUnsigned()));
        return Widen(buffer);
    case L'f':
    case L'F':
    case L'e':
    case L'E':
    case L'g':
    case L'G':
        std::snprintf(buffer, sizeof buffer,
                      NarrowDirective(directive, "", static_cast<char>(directive.conversion)).c_str(),
                      arg.AsReal());
        return Widen(buffer);
    case L'p':
        std::snprintf(buffer, sizeof buffer, "0x%llx",
                      static_cast<unsigned long long>(arg.AsUnsigned()));
        return Pad(Widen(buffer), directive);
    case L'c':
        return Pad(std::wstring(1, static_cast<wchar_t>(arg.AsUnsigned())), directive);
    default: // s, S
    {
        std::wstring text = arg.AsText();
        if (directive.precision >= 0 && static_cast<std::size_t>(directive.precision) < text.size())
            text.resize(static_cast<std::size_t>(directive.precision));
        return Pad(text, directive);
    }
    }
}

int ReadNumber(const wchar_t*& p)
{
    int value = 0;
    while (*p >= L'0' && *p <= L'9')
    {
        value = std::min(value * 10 + (*p - L'0'), 4096);
        ++p;
    }
    return value;
}

} // namespace

CString::CString(const wchar_t* text, int length)
    : m_text(text ? std::wstring(text, static_cast<std::size_t>(std::max(length, 0))) : L"")
{
}

CString::CString(wchar_t ch, int repeat) : m_text(static_cast<std::size_t>(std::max(repeat, 0)), ch)
{
}

CString::CString(const char* utf8) : m_text(FromUtf8(utf8 ? utf8 : "").m_text) {}

CString::CString(const std::string& utf8) : m_text(FromUtf8(utf8).m_text) {}

CString CString::FromUtf8(const std::string& utf8)
{
    // Malformed sequences become U+FFFD, one per offending byte.
    std::wstring out;
    out.reserve(utf8.size());
    std::size_t i = 0;
    const std::size_t n = utf8.size();
    while (i < n)
    {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= n)
        {
            out.push_back(L'\xFFFD');
            ++i;
            continue;
        }
        char32_t cp = extra == 0 ? c : (c & (0x3F >> extra));
        bool ok = true;
        for (int k = 1; k <= extra; ++k)
        {
            unsigned char cc = static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]);
            if ((cc & 0xC0) != 0x80)
            {
                ok = false;
                break;
            }
            cp = (cp << 6) | (cc & 0x3F);
        }
        static const char32_t minimum[] = {0, 0x80, 0x800, 0x10000};
        if (!ok || cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        {
            out.push_back(L'\xFFFD');
            ++i;
            continue;
        }
        out.push_back(static_cast<wchar_t>(cp));
        i += static_cast<std::size_t>(extra) + 1;
    }
    return CString(std::move(out));
}

std::string CString::ToUtf8() const
{
    std::string out;
    out.reserve(m_text.size());
    for (wchar_t c : m_text)
    {
        char32_t cp = static_cast<char32_t>(c);
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            cp = 0xFFFD;
        AppendUtf8(out, cp);
    }
    return out;
}

wchar_t CString::GetAt(int index) const
{
    return index >= 0 && index < GetLength() ? m_text[static_cast<std::size_t>(index)] : L'\0';
}

void CString::SetAt(int index, wchar_t ch)
{
    if (index >= 0 && index < GetLength())
        m_text[static_cast<std::size_t>(index)] = ch;
}

CString& CString::operator=(const wchar_t* text)
{
    m_text = text ? text : L"";
    return *this;
}

CString& CString::operator+=(const CString& other)
{
    m_text += other.m_text;
    return *this;
}

CString& CString::operator+=(const wchar_t* text)
{
    if (text)
        m_text += text;
    return *this;
}

CString& CString::operator+=(wchar_t ch)
{
    m_text.push_back(ch);
    return *this;
}

std::wstring CString::FormatList(const wchar_t* format, std::initializer_list<CStringFormatArg> args)
{
    std::wstring out;
    if (format == nullptr)
        return out;
    auto next = args.begin();
    auto take = [&]() -> const CStringFormatArg* { return next != args.end() ? &*next++ : nullptr; };
    for (const wchar_t* p = format; *p; ++p)
    {
        if (*p != L'%')
        {
            out.push_back(*p);
            continue;
        }
        const wchar_t* start = p++;
        if (*p == L'%')
        {
            out.push_back(L'%');
            continue;
        }
        FormatDirective directive;
        while (*p && std::wcschr(L"-+ #0", *p))
            directive.flags.push_back(static_cast<char>(*p++));
        if (*p == L'*')
        {
            ++p;
            const CStringFormatArg* a = take();
            directive.width = a ? static_cast<int>(std::clamp<std::int64_t>(a->AsSigned(), 0, 4096)) : 0;
        }
        else if (*p >= L'0' && *p <= L'9')
            directive.width = ReadNumber(p);
        if (*p == L'.')
        {
            ++p;
            if (*p == L'*')
            {
                ++p;
                const CStringFormatArg* a = take();
                directive.precision = a ? static_cast<int>(std::clamp<std::int64_t>(a->AsSigned(), 0, 4096)) : 0;
            }
            else
                directive.precision = ReadNumber(p);
        }
        while (*p && std::wcschr(L"hlLqjztI", *p))
            ++p;
        if (*p == L'6' && p[1] == L'4') // the I64 length modifier
            p += 2;
        if (*p == 0 || !std::wcschr(L"diuxXofFeEgGcsSp", *p))
        {
            // Not a conversion we know: keep the text as written.
            out.append(start, static_cast<std::size_t>(p - start) + (*p ? 1 : 0));
            if (*p == 0)
                break;
            continue;
        }
        directive.conversion = *p;
        if (const CStringFormatArg* arg = take())
            out += FormatOne(directive, *arg);
    }
    return out;
}

CString& CString::MakeLower()
{
    for (wchar_t& c : m_text)
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
    return *this;
}

CString& CString::MakeUpper()
{
    for (wchar_t& c : m_text)
        c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
    return *this;
}

CString& CString::MakeReverse()
{
    std::reverse(m_text.begin(), m_text.end());
    return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }

CString& CString::TrimLeft()
{
    auto it = std::find_if(m_text.begin(), m_text.end(), [](wchar_t c) { return !IsSpace(c); });
    m_text.erase(m_text.begin(), it);
    return *this;
}

CString& CString::TrimRight()
{
    while (!m_text.empty() && IsSpace(m_text.back()))
        m_text.pop_back();
    return *this;
}

CString& CString::Trim(wchar_t ch)
{
    const wchar_t chars[2] = {ch, 0};
    return TrimRight(chars).TrimLeft(chars);
}

CString& CString::TrimLeft(const wchar_t* chars)
{
    std::size_t first = m_text.find_first_not_of(chars ? chars : L"");
    m_text.erase(0, first == std::wstring::npos ? m_text.size() : first);
    return *this;
}

CString& CString::TrimRight(const wchar_t* chars)
{
    std::size_t last = m_text.find_last_not_of(chars ? chars : L"");
    m_text.erase(last == std::wstring::npos ? 0 : last + 1);
    return *this;
}

int CString::Find(const wchar_t* sub, int start) const
{
    if (sub == nullptr || start < 0 || start > GetLength())
        return -1;
    std::size_t pos = m_text.find(sub, static_cast<std::size_t>(start));
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(wchar_t ch, int start) const
{
    if (start < 0 || start > GetLength())
        return -1;
    std::size_t pos = m_text.find(ch, static_cast<std::size_t>(start));
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(wchar_t ch) const
{
    std::size_t pos = m_text.rfind(ch);
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::FindOneOf(const wchar_t* chars) const
{
    std::size_t pos = m_text.find_first_of(chars ? chars : L"");
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::Replace(const wchar_t* oldText, const wchar_t* newText)
{
    if (oldText == nullptr || *oldText == 0)
        return 0;
    const std::wstring from(oldText), to(newText ? newText : L"");
    int count = 0;
    for (std::size_t pos = m_text.find(from); pos != std::wstring::npos;
         pos = m_text.find(from, pos + to.size()))
    {
        m_text.replace(pos, from.size(), to);
        ++count;
    }
    return count;
}

int CString::Replace(wchar_t oldCh, wchar_t newCh)
{
    int count = 0;
    for (wchar_t& c : m_text)
        if (c == oldCh)
        {
            c = newCh;
            ++count;
        }
    return count;
}

int CString::Insert(int index, const wchar_t* text)
{
    index = std::clamp(index, 0, GetLength());
    if (text)
        m_text.insert(static_cast<std::size_t>(index), text);
    return GetLength();
}

int CString::Insert(int index, const CString& text)
{
    index = std::clamp(index, 0, GetLength());
    m_text.insert(static_cast<std::size_t>(index), text.m_text);
    return GetLength();
}

void CString::Preallocate(int length)
{
    if (length > 0)
        m_text.reserve(static_cast<std::size_t>(length));
}

int CString::Delete(int index, int count)
{
    if (index >= 0 && index < GetLength() && count > 0)
        m_text.erase(static_cast<std::size_t>(index), static_cast<std::size_t>(count));
    return GetLength();
}

CString CString::Left(int count) const
{
    count = std::clamp(count, 0, GetLength());
    return CString(m_text.substr(0, static_cast<std::size_t>(count)));
}

CString CString::Mid(int first) const { return Mid(first, GetLength()); }

CString CString::Mid(int first, int count) const
{
    first = std::clamp(first, 0, GetLength());
    count = std::clamp(count, 0, GetLength() - first);
    return CString(m_text.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(count)));
}

CString CString::Right(int count) const
{
    count = std::clamp(count, 0, GetLength());
    return CString(m_text.substr(m_text.size() - static_cast<std::size_t>(count)));
}

int CString::Compare(const wchar_t* other) const
{
    int c = m_text.compare(other ? other : L"");
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

int CString::CompareNoCase(const wchar_t* other) const
{
    CString a(*this), b(other);
    return a.MakeLower().Compare(b.MakeLower());
}
