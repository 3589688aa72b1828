#pragma once
// What the view window remembers between runs, in a small text file beside the favourites
// ("view.txt"): the window's place and size, the captures opened last, the find field's
// history and the column arrangement of each capture layout (CqzViewColumns). One entry a
// line, "KEY VALUE", with line breaks and backslashes in values escaped. Lines that make no
// sense are left out when reading; the file is replaced only when complete, and a file that
// cannot be read or written costs only what it remembers.

#include <array>
#include <optional>
#include <string>
#include <vector>

class CqzViewSettings
{
public:
    static constexpr std::size_t MaxRecent = 10;
    static constexpr std::size_t MaxFinds = 20;
    static constexpr std::size_t MaxLayouts = 50;

    explicit CqzViewSettings(std::string path);
    // The file beside a favourites file.
    static std::string PathBeside(const std::string& favorites);

    const std::string& GetPath() const { return m_path; }
    // Reads the file again (nothing remembered when it is missing or unreadable).
    void Load();
    // Writes the file; the reason when it could not be written.
    std::optional<std::string> Save() const;

    // The window's place and size: x, y, width, height.
    std::optional<std::array<int, 4>> GetGeometry() const { return m_geometry; }
    void SetGeometry(const std::array<int, 4>& geometry);

    // Most recent first; a path added again moves to the front.
    const std::vector<std::string>& GetRecent() const { return m_recent; }
    void AddRecent(const std::string& path);
    const std::vector<std::string>& GetFinds() const { return m_finds; }
    void AddFind(const std::string& text);

    // The arrangement saved for a capture layout (empty: none).
    std::string GetColumns(const std::string& layout) const;
    void SetColumns(const std::string& layout, const std::string& arrangement);

private:
    void Read(const std::string& key, const std::string& value);

    std::string m_path;
    std::optional<std::array<int, 4>> m_geometry;
    std::vector<std::string> m_recent;
    std::vector<std::string> m_finds;
    std::vector<std::pair<std::string, std::string>> m_columns; // most recent first
};
