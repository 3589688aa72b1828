#pragma once
// The one-bit columns a worker reads in a piece of a dump, kept a row at a time: each column
// takes a slot in the order of its first change, 64 slots to a lane, and the end of every row
// keeps each lane's levels as one word. A change is then one masked write to a word that stays
// in a register's reach, whichever column it names; at the end of the piece the lanes are
// turned into each column's bits, 64 rows by 64 columns at a time. Slots hold 0 before their
// column's first change (the importer writes a column from that change on).

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
            m_lanes[lane].words.push_back(m_levels[lane]);
    }

    int GetSlotCount() const { return m_slots; }
    // The row of bit 0 of the slot's bits (its lane's first row).
    std::int64_t GetFirstRow(int slot) const;
    // The slots' bits for the rows kept: bits[slot][i / 64] bit i % 64 is row GetFirstRow(slot)
    // + i, 64 rows a word (the last word's bits beyond the rows kept are undefined).
    void Spread(std::vector<std::uint64_t>* const* bits);

private:
    struct SqzLane
    {
        std::int64_t first = 0;           // the row of words[0]
        std::vector<std::uint64_t> words; // a word of levels per row
    };
    std::vector<SqzLane> m_lanes; // m_lanes[0 .. m_used) are in use
    std::size_t m_used = 0;
    std::vector<std::uint64_t> m_levels; // the levels of the row being read, a word per lane
    int m_slots = 0;
};
