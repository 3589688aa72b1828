#include "CqzViewSettings.h"

#include "CqzHostError.h"
#include "CqzOutputFile.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace
{
// A file larger than this is not the one we write: nothing is read from it.
constexpr std::uintmax_t MaxFileSize = 1 << 20;

std::string Escape(const std::string& value)
{
    std::string out;
    for (const char c : value)
    {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::string Unescape(const std::string& value)
{
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i)
    {
        if (value[i] != '\\' || i + 1 == value.size())
        {
            out += value[i];
            continue;
        }
        const char next = value[++i];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

// Puts `value` first, without repeating it, and keeps at most `limit` entries.
void PutFirst(std::vector<std::string>& list, const std::string& value, std::size_t limit)
{
    if (value.empty())
        return;
    list.erase(std::remove(list.begin(), list.end(), value), list.end());
    list.insert(list.begin(), value);
    if (list.size() > limit)
        list.resize(limit);
}
} // namespace

CqzViewSettings::CqzViewSettings(std::string path) : m_path(std::move(path)) {}

std::string CqzViewSettings::PathBeside(const std::string& favorites)
{
    return (std::filesystem::path(favorites).parent_path() / "view.txt").string();
}

void CqzViewSettings::Load()
{
    *this = CqzViewSettings(m_path);
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(m_path, error);
    if (error || size > MaxFileSize)
        return;
    std::ifstream file(m_path, std::ios::binary);
    std::string line;
    while (std::getline(file, line))
    {
        const std::size_t space = line.find(' ');
        if (space != std::string::npos)
            Read(line.substr(0, space), Unescape(line.substr(space + 1)));
    }
    // The file lists the most recent entry first: reading added each in front.
    std::reverse(m_recent.begin(), m_recent.end());
    std::reverse(m_finds.begin(), m_finds.end());
}

void CqzViewSettings::Read(const std::string& key, const std::string& value)
{
    if (key == "recent")
        PutFirst(m_recent, value, MaxRecent);
    else if (key == "find")
        PutFirst(m_finds, value, MaxFinds);
    else if (key == "geometry")
    {
        std::array<int, 4> g{};
        std::istringstream words(value);
        if (words >> g[0] >> g[1] >> g[2] >> g[3] && g[2] > 0 && g[3] > 0 && g[2] < 100000 &&
            g[3] < 100000 && std::abs(g[0]) < 100000 && std::abs(g[1]) < 100000)
            m_geometry = g;
    }
    else if (key == "columns")
    {
        const std::size_t space = value.find(' ');
        if (space != std::string::npos && m_columns.size() < MaxLayouts)
            m_columns.emplace_back(value.substr(0, space), value.substr(space + 1));
    }
}

std::optional<std::string> CqzViewSettings::Save() const
{
    std::error_code error;
    std::filesystem::create_directories(std::filesystem::path(m_path).parent_path(), error);
    try
    {
        CqzOutputFile file(m_path, "view settings");
        std::ostream& out = file.Stream();
        if (m_geometry)
            out << "geometry " << (*m_geometry)[0] << ' ' << (*m_geometry)[1] << ' '
                << (*m_geometry)[2] << ' ' << (*m_geometry)[3] << '\n';
        for (const std::string& path : m_recent)
            out << "recent " << Escape(path) << '\n';
        for (const std::string& text : m_finds)
            out << "find " << Escape(text) << '\n';
        for (const auto& [layout, arrangement] : m_columns)
            out << "columns " << layout << ' ' << Escape(arrangement) << '\n';
        file.Commit();
        return std::nullopt;
    }
    catch (const CqzHostError& failure)
    {
        return std::string(failure.what());
    }
}

void CqzViewSettings::SetGeometry(const std::array<int, 4>& geometry)
{
    m_geometry = geometry;
}

void CqzViewSettings::AddRecent(const std::string& path)
{
    PutFirst(m_recent, path, MaxRecent);
}

void CqzViewSettings::AddFind(const std::string& text)
{
    PutFirst(m_finds, text, MaxFinds);
}

std::string CqzViewSettings::GetColumns(const std::string& layout) const
{
    for (const auto& [key, arrangement] : m_columns)
        if (key == layout)
            return arrangement;
    return {};
}

void CqzViewSettings::SetColumns(const std::string& layout, const std::string& arrangement)
{
    m_columns.erase(std::remove_if(m_columns.begin(), m_columns.end(),
                                   [&](const auto& entry) { return entry.first == layout; }),
                    m_columns.end());
    m_columns.insert(m_columns.begin(), {layout, arrangement});
    if (m_columns.size() > MaxLayouts)
        m_columns.resize(MaxLayouts);
}
