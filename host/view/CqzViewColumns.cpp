#include "CqzViewColumns.h"

#include <algorithm>
#include <sstream>

void CqzViewColumns::Reset(std::vector<std::string> names, const std::vector<int>& widths)
{
    m_names = std::move(names);
    m_widths.assign(m_names.size(), MinWidth);
    m_shown.clear();
    for (std::size_t i = 0; i < m_names.size(); ++i)
    {
        if (i < widths.size())
            m_widths[i] = std::clamp(widths[i], MinWidth, MaxWidth);
        m_shown.push_back(int(i));
    }
}

int CqzViewColumns::GetTotalWidth() const
{
    int total = 0;
    for (const int listed : m_shown)
        total += m_widths[std::size_t(listed)];
    return total;
}

int CqzViewColumns::At(int x) const
{
    int right = 0;
    for (int shown = 0; shown < GetCount(); ++shown)
    {
        right += GetWidth(shown);
        if (x < right)
            return x < 0 ? -1 : shown;
    }
    return -1;
}

int CqzViewColumns::RightOf(int shown) const
{
    int right = 0;
    for (int i = 0; i <= shown && i < GetCount(); ++i)
        right += GetWidth(i);
    return right;
}

bool CqzViewColumns::IsShown(int listed) const
{
    return std::find(m_shown.begin(), m_shown.end(), listed) != m_shown.end();
}

void CqzViewColumns::SetWidth(int shown, int width)
{
    if (shown >= 0 && shown < GetCount())
        m_widths[std::size_t(GetListed(shown))] = std::clamp(width, MinWidth, MaxWidth);
}

void CqzViewColumns::Move(int from, int to)
{
    if (from < 0 || from >= GetCount() || to < 0 || to >= GetCount() || from == to)
        return;
    const int listed = m_shown[std::size_t(from)];
    m_shown.erase(m_shown.begin() + from);
    m_shown.insert(m_shown.begin() + to, listed);
}

bool CqzViewColumns::SetShown(int listed, bool shown)
{
    if (listed < 0 || listed >= GetListedCount() || shown == IsShown(listed))
        return false;
    if (shown)
    {
        m_shown.push_back(listed);
        return true;
    }
    if (m_shown.size() == 1)
        return false;
    m_shown.erase(std::find(m_shown.begin(), m_shown.end(), listed));
    return true;
}

std::string CqzViewColumns::GetLayoutKey() const
{
    // FNV-1a over the names, each ended by a byte no name holds.
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (const std::string& name : m_names)
        for (const char c : name + '\x1f')
            hash = (hash ^ std::uint8_t(c)) * 0x100000001b3ull;
    std::ostringstream key;
    key << m_names.size() << '-' << std::hex << hash;
    return key.str();
}

std::string CqzViewColumns::Save() const
{
    std::ostringstream out;
    for (const int listed : m_shown)
        out << listed << ':' << m_widths[std::size_t(listed)] << ' ';
    for (int listed = 0; listed < GetListedCount(); ++listed)
        if (!IsShown(listed))
            out << '-' << listed << ':' << m_widths[std::size_t(listed)] << ' ';
    std::string text = out.str();
    if (!text.empty())
        text.pop_back();
    return text;
}

bool CqzViewColumns::Restore(const std::string& text)
{
    std::vector<int> widths(m_names.size(), 0);
    std::vector<int> shown;
    std::istringstream words(text);
    std::string word;
    std::size_t seen = 0;
    while (words >> word)
    {
        const bool hidden = word[0] == '-';
        int listed = -1;
        int width = 0;
        char colon = 0;
        std::istringstream parts(word.substr(hidden ? 1 : 0));
        if (!(parts >> listed >> colon >> width) || colon != ':' || !parts.eof() || listed < 0 ||
            listed >= GetListedCount() || widths[std::size_t(listed)] != 0 || width < MinWidth ||
            width > MaxWidth)
            return false;
        widths[std::size_t(listed)] = width;
        if (!hidden)
            shown.push_back(listed);
        ++seen;
    }
    if (seen != m_names.size() || shown.empty())
        return false;
    m_widths = std::move(widths);
    m_shown = std::move(shown);
    return true;
}
