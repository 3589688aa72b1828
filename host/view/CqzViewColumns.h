#pragma once
// The columns of the view's table as the person arranged them: which of the listed columns
// (0: the row number, 1: the time, 2 + n: the table's labels) are shown, in which order and
// how wide. The arrangement is kept per capture layout, the list of column names: a capture
// with the same labels opens as the person left it (Save and Restore give it as one line).

#include <cstdint>
#include <string>
#include <vector>

class CqzViewColumns
{
public:
    static constexpr int MinWidth = 24;
    static constexpr int MaxWidth = 4000;

    // A fresh arrangement: every column shown, in the listed order, with the given widths.
    void Reset(std::vector<std::string> names, const std::vector<int>& widths);

    // The shown columns, from the left.
    int GetCount() const { return int(m_shown.size()); }
    int GetListed(int shown) const { return m_shown[std::size_t(shown)]; }
    int GetWidth(int shown) const { return m_widths[std::size_t(GetListed(shown))]; }
    int GetTotalWidth() const;
    // The shown column at x (from the table's left edge); -1 past the last.
    int At(int x) const;
    // The x of the right edge of a shown column.
    int RightOf(int shown) const;

    // Every listed column, shown or not.
    int GetListedCount() const { return int(m_names.size()); }
    const std::string& GetName(int listed) const { return m_names[std::size_t(listed)]; }
    bool IsShown(int listed) const;

    void SetWidth(int shown, int width);
    // Moves the shown column `from` to the place `to` (both among the shown columns).
    void Move(int from, int to);
    // Shows or hides a listed column; the last shown column cannot be hidden.
    bool SetShown(int listed, bool shown);

    // A key naming the capture layout: the same for the same column names.
    std::string GetLayoutKey() const;
    // The arrangement as one line of words: "listed:width" for the shown columns from the
    // left, then "-listed:width" for the hidden ones.
    std::string Save() const;
    // Takes an arrangement Save gave for the same layout; false (nothing changed) when the
    // text is not one.
    bool Restore(const std::string& text);

private:
    std::vector<std::string> m_names;
    std::vector<int> m_widths; // per listed column
    std::vector<int> m_shown;  // listed columns, from the left
};
