#include "CqzViewFind.h"

#include "CqzTermError.h"
#include "CqzTermNumber.h"

#include <algorithm>
#include <cctype>

namespace
{
std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The text as a number of the term language, or as hexadecimal digits with an 'h' after them.
std::optional<CqzTermNumber> ParseNumber(std::string text)
{
    if (text.size() > 1 && (text.back() == 'h' || text.back() == 'H') &&
        std::all_of(text.begin(), text.end() - 1, [](unsigned char c) { return std::isxdigit(c); }))
        text = "0x" + text.substr(0, text.size() - 1);
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0])))
        return std::nullopt;
    try
    {
        return CqzTermNumber(std::wstring(text.begin(), text.end()), 1);
    }
    catch (const CqzTermError&)
    {
        return std::nullopt;
    }
}
} // namespace

CqzViewFind::CqzViewFind(CqzViewRows& rows, int column, const std::string& text)
    : m_rows(rows), m_column(column), m_lower(Lower(text))
{
    if (const std::optional<CqzTermNumber> number = ParseNumber(text))
    {
        m_care = ~number->GetDontCare();
        m_number = number->GetValue() & m_care;
    }
}

bool CqzViewFind::MatchesColumn(std::int64_t line, int column) const
{
    const CqzTableText& text = m_rows.GetText();
    if (m_number)
        if (const std::optional<CqzUInt> value = text.NumberOfLine(line, column))
            if ((*value & m_care) == *m_number)
                return true;
    return !m_lower.empty() && Lower(text.ValueOfLine(line, column)).find(m_lower) != std::string::npos;
}

bool CqzViewFind::Matches(std::int64_t row) const
{
    const std::int64_t line = m_rows.GetText().GetTable().GetLine(row);
    if (m_column >= 0)
        return MatchesColumn(line, m_column);
    for (int column = 0; column < m_rows.GetText().GetColumnCount(); ++column)
        if (MatchesColumn(line, column))
            return true;
    return false;
}

std::optional<std::int64_t> CqzViewFind::Step(std::int64_t& from, bool forward,
                                              std::int64_t budget)
{
    for (std::int64_t looked = 0; looked < budget; ++looked)
    {
        from = forward ? m_rows.Next(from + 1) : m_rows.Previous(from - 1);
        if (AtEnd(from))
            return std::nullopt;
        if (Matches(from))
            return from;
    }
    return std::nullopt;
}
