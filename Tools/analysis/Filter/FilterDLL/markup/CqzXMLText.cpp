#include "markup/CqzXMLText.h"

#include <algorithm>
#include <iterator>
#include <string>

namespace
{

struct SqzEntity
{
    std::wstring_view reference;
    wchar_t character;
};

constexpr SqzEntity kEntities[] = {
    {L"&lt;", L'<'}, {L"&amp;", L'&'}, {L"&gt;", L'>'}, {L"&apos;", L'\''}, {L"&quot;", L'"'}};

int Length(std::wstring_view text)
{
    return static_cast<int>(text.size());
}

} // namespace

bool CqzXMLText::IsWhitespace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r';
}

bool CqzXMLText::IsDelimiter(wchar_t c)
{
    switch (c)
    {
    case L'<':
    case L'>':
    case L'=':
    case L'\\':
    case L'/':
    case L'?':
    case L'!':
        return true;
    default:
        return IsWhitespace(c);
    }
}

int CqzXMLText::SkipWhitespace(std::wstring_view text, int pos, int limit)
{
    limit = std::min(limit, Length(text));
    while (pos < limit && IsWhitespace(text[static_cast<std::size_t>(pos)]))
        ++pos;
    return pos;
}

bool CqzXMLText::NextToken(std::wstring_view text, int pos, int limit, SqzXMLToken& token)
{
    limit = std::min(limit, Length(text));
    pos = SkipWhitespace(text, std::max(pos, 0), limit);
    token = SqzXMLToken{pos, 0, pos, false, true};
    if (pos >= limit)
        return false;
    const wchar_t first = text[static_cast<std::size_t>(pos)];
    if (first == L'"' || first == L'\'')
    {
        int end = pos + 1;
        while (end < limit && text[static_cast<std::size_t>(end)] != first)
            ++end;
        token.quoted = true;
        token.closed = end < limit;
        token.start = pos + 1;
        token.length = end - token.start;
        token.next = token.closed ? end + 1 : end;
        return true;
    }
    int end = pos + 1;
    if (!IsDelimiter(first))
        while (end < limit && !IsDelimiter(text[static_cast<std::size_t>(end)]))
            ++end;
    token.length = end - pos;
    token.next = end;
    return true;
}

bool CqzXMLText::IsSymbol(std::wstring_view text, const SqzXMLToken& token, wchar_t c)
{
    return !token.quoted && token.length == 1 && text[static_cast<std::size_t>(token.start)] == c;
}

bool CqzXMLText::MatchName(std::wstring_view text, const SqzXMLToken& token, std::wstring_view name)
{
    const auto length = static_cast<std::size_t>(token.length);
    if (name.substr(0, length) != text.substr(static_cast<std::size_t>(token.start), length))
        return false;
    return name.size() == length ||
           std::wstring_view(L" =/[").find(name[length]) != std::wstring_view::npos;
}

bool CqzXMLText::IsValidName(std::wstring_view name)
{
    return !name.empty() &&
           std::none_of(name.begin(), name.end(),
                        [](wchar_t c) { return IsDelimiter(c) || c == L'"' || c == L'\''; });
}

CString CqzXMLText::ToDocument(std::wstring_view value, bool attribute)
{
    std::wstring out;
    out.reserve(value.size() + value.size() / 5 + 7);
    for (wchar_t c : value)
    {
        const bool escaped =
            c == L'<' || c == L'&' || c == L'>' || (attribute && (c == L'\'' || c == L'"'));
        if (!escaped)
        {
            out.push_back(c);
            continue;
        }
        out += std::find_if(std::begin(kEntities), std::end(kEntities),
                            [c](const SqzEntity& e) { return e.character == c; })
                   ->reference;
    }
    return CString(std::move(out));
}

CString CqzXMLText::FromDocument(std::wstring_view text)
{
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const auto entity = text[i] != L'&'
                                ? std::end(kEntities)
                                : std::find_if(std::begin(kEntities), std::end(kEntities),
                                               [&](const SqzEntity& e)
                                               { return text.substr(i).starts_with(e.reference); });
        if (entity == std::end(kEntities))
        {
            out.push_back(text[i]);
            continue;
        }
        out.push_back(entity->character);
        i += entity->reference.size() - 1;
    }
    return CString(std::move(out));
}
