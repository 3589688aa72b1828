#pragma once
// Describes one page of a paged data source to its producer: which page, its first row and how
// many rows it holds (the last page of a source may be short).

#include <cstdint>

class CqzDataPage
{
public:
    constexpr CqzDataPage(std::int64_t index, std::int64_t firstRow, std::int64_t rowCount)
        : m_index(index), m_firstRow(firstRow), m_rowCount(rowCount)
    {
    }

    constexpr std::int64_t GetIndex() const { return m_index; }
    constexpr std::int64_t GetFirstRow() const { return m_firstRow; }
    constexpr std::int64_t GetRowCount() const { return m_rowCount; }
    constexpr std::int64_t GetLastRow() const { return m_firstRow + m_rowCount - 1; }

private:
    std::int64_t m_index;
    std::int64_t m_firstRow;
    std::int64_t m_rowCount;
};
