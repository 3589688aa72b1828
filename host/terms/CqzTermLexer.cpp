#include "CqzTermLexer.h"

#include "CqzTermError.h"
#include "CqzTermText.h"

#include <cwctype>

namespace
{

bool IsNameStart(wchar_t c)
{
    return std::iswalpha(static_cast<wint_t>(c)) || c == L'_' || c == L'$' || c > 0x7f;
}

bool IsNamePart(wchar_t c)
{
    return IsNameStart(c) || std::iswdigit(static_cast<wint_t>(c));
}

bool IsOperatorChar(wchar_t c)
{
    return c == L'=' || c == L'!' || c == L'<' || c == L'>' || c == L'~' || c == L'&' || c == L'|';
}

const wchar_t* const Operators[] = {L"==", L"!=", L"<",  L">",  L"<=",
                                    L">=", L"~",  L"!~", L"&&", L"||"};

} // namespace

std::vector<SqzTermToken> CqzTermLexer::Split(const std::wstring& expression)
{
    CqzTermLexer lexer(expression);
    std::vector<SqzTermToken> tokens;
    do
        tokens.push_back(lexer.Next());
    while (tokens.back().kind != eqzTokEnd);
    return tokens;
}

SqzTermToken CqzTermLexer::Next()
{
    while (m_pos < m_text.size() && std::iswspace(static_cast<wint_t>(m_text[m_pos])))
        ++m_pos;
    if (m_pos >= m_text.size())
        return {eqzTokEnd, L"", Column(m_pos)};
    const wchar_t c = m_text[m_pos];
    const int column = Column(m_pos);
    if (c == L'(' || c == L')')
    {
        ++m_pos;
        return {c == L'(' ? eqzTokOpen : eqzTokClose, std::wstring(1, c), column};
    }
    if (m_text.compare(m_pos, 2, L"..") == 0)
    {
        m_pos += 2;
        return {eqzTokRange, L"..", column};
    }
    if (c == L'"' || c == L'\'')
        return Text();
    if (std::iswdigit(static_cast<wint_t>(c)))
        return Number();
    if (IsNameStart(c))
        return Name();
    if (IsOperatorChar(c))
        return Operator();
    throw CqzTermError(column,
                       "unexpected character '" + CqzTermText::Narrow(std::wstring(1, c)) + "'");
}

// A name runs over letters, digits, '_' and '$', single dots between parts, and [...] selects
// written without spaces, so that "top.cpu.D[7:0]" and "data[3]" are single names.
SqzTermToken CqzTermLexer::Name()
{
    const std::size_t start = m_pos;
    std::size_t end = m_pos;
    while (end < m_text.size())
    {
        const wchar_t c = m_text[end];
        if (IsNamePart(c))
            ++end;
        else if (c == L'.' && end + 1 < m_text.size() && IsNamePart(m_text[end + 1]))
            ++end;
        else if (c == L'[')
            SkipSelect(end);
        else
            break;
    }
    m_pos = end;
    return {eqzTokName, m_text.substr(start, end - start), Column(start)};
}

void CqzTermLexer::SkipSelect(std::size_t& end) const
{
    const std::size_t close = m_text.find(L']', end);
    if (close == std::wstring::npos)
        throw CqzTermError(Column(end), "'[' without ']'");
    for (std::size_t i = end + 1; i < close; ++i)
        if (!std::iswdigit(static_cast<wint_t>(m_text[i])) && m_text[i] != L':')
            throw CqzTermError(Column(i), "only digits and ':' may stand between '[' and ']'");
    end = close + 1;
}

// Digits, letters, '_' and '?' are kept together so that "0x3?" and "0b10x1" are one token;
// the parser says what is wrong inside a number.
SqzTermToken CqzTermLexer::Number()
{
    const std::size_t start = m_pos;
    while (m_pos < m_text.size() && (std::iswalnum(static_cast<wint_t>(m_text[m_pos])) ||
                                     m_text[m_pos] == L'_' || m_text[m_pos] == L'?'))
        ++m_pos;
    return {eqzTokNumber, m_text.substr(start, m_pos - start), Column(start)};
}

SqzTermToken CqzTermLexer::Text()
{
    const wchar_t quote = m_text[m_pos];
    const int column = Column(m_pos);
    std::wstring content;
    for (++m_pos; m_pos < m_text.size(); ++m_pos)
    {
        wchar_t c = m_text[m_pos];
        if (c == quote)
        {
            ++m_pos;
            return {eqzTokText, content, column};
        }
        if (c == L'\\' && m_pos + 1 < m_text.size())
            c = m_text[++m_pos];
        content.push_back(c);
    }
    throw CqzTermError(column, "text without its closing quote");
}

SqzTermToken CqzTermLexer::Operator()
{
    const std::size_t start = m_pos;
    while (m_pos < m_text.size() && IsOperatorChar(m_text[m_pos]))
        ++m_pos;
    const std::wstring op = m_text.substr(start, m_pos - start);
    for (const wchar_t* known : Operators)
        if (op == known)
            return {eqzTokOp, op, Column(start)};
    throw CqzTermError(Column(start), "unknown operator '" + CqzTermText::Narrow(op) + "'");
}
