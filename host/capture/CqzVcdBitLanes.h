#pragma once
// The one-bit columns a worker reads in a piece of a dump, kept a row at a time: each column
// takes a slot in the order of its first change, 64 slots to a lane, and the end of every row
// keeps each lane's levels as one word. A change is then one masked write to a word that stays
// in a register's reach, whichever column it names; at the end of the piece the lanes are
// turned into each column's bits, 64 rows by 64 columns at a time. Slots hold 0 before their
// column's first change (the importer writes a column from that change on).

#include "capture/CqzUninitAllocator.h"

#include <cstdint>
#include <vector>

class CqzVcdBitLanes
{
public:
    // Forgets every slot, keeping the memory.
    void Clear();
    // A slot for a column whose first change is in row `row`.
    int Add(std::int64_t row);
    [[gnu::always_inline]] void Set(int slot, bool bit)
    {
        std::uint64_t& level = m_levels[static_cast<std::size_t>(slot) >> 6];
        const std::uint64_t mask = std::uint64_t{1} << (slot & 63);
        level = (level & ~mask) | ((0 - static_cast<std::uint64_t>(bit)) & mask);
    }
    // Keeps the levels of the row that ends.
    [[gnu::always_inline]] void EndRow()
    {
        for (std::size_t lane = 0; lane < m_used; ++lane)
        {
            SqzLane& l = m_lanes[lane];
            const auto index = static_cast<std::size_t>(m_row - l.first);
            if (index >= l.words.size()) [[unlikely]]
                Grow(l, index);
            l.words[index] = m_levels[lane];
        }
        ++m_row;
    }

    // Rows written in place (a block of lines read at once): the lanes in use, the levels of
    // the row being read (a word per lane), and room for the words of the rows up to `last`;
    // afterwards the word of row r of lane k is at words[k][r - GetLaneFirst(k)].
    std::size_t GetLaneCount() const { return m_used; }
    std::int64_t GetLaneFirst(std::size_t lane) const { return m_lanes[lane].first; }
    std::uint64_t* GetLevels() { return m_levels.data(); }
    void Open(std::int64_t last, std::uint64_t** words)
    {
        for (std::size_t lane = 0; lane < m_used; ++lane)
        {
            SqzLane& l = m_lanes[lane];
            const auto index = static_cast<std::size_t>(last - l.first);
            if (index >= l.words.size())
                Grow(l, index);
            words[lane] = l.words.data();
        }
    }
    // The row being read after rows written in place: the words of the rows before it are
    // kept (and its own is written again when it ends).
    void SetRow(std::int64_t row) { m_row = row; }

    int GetSlotCount() const { return m_slots; }
    // The row of bit 0 of the slot's bits (its lane's first row).
    std::int64_t GetFirstRow(int slot) const;
    // The slots' bits for the rows kept: bits[slot][i / 64] bit i % 64 is row GetFirstRow(slot)
    // + i, 64 rows a word (the last word's bits beyond the rows kept are undefined).
    void Spread(std::vector<std::uint64_t>* const* bits);

private:
    struct SqzLane
    {
        std::int64_t first = 0; // the row of words[0]
        // A word of levels per row kept, from words[0] to words[m_row - first - 1]; the
        // vector's size is the room for them.
        std::vector<std::uint64_t, CqzUninitAllocator<std::uint64_t>> words;
    };
    // Room for words[index] and more.
    static void Grow(SqzLane& lane, std::size_t index);
    std::vector<SqzLane> m_lanes; // m_lanes[0 .. m_used) are in use
    std::size_t m_used = 0;
    std::vector<std::uint64_t> m_levels; // the levels of the row being read, a word per lane
    int m_slots = 0;
    std::int64_t m_row = 0; // the row being read: the rows before it are kept
};
