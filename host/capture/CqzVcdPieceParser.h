#pragma once
// Reads a piece of a dump's value changes on a worker thread (SqzVcdPiece): timestamps, 0/1
// scalars, binary vectors and texts, for the codes declared in the header. Blocks of 64 bytes
// that hold only timestamps and one-bit changes are read at once, their lines classed by bit
// masks; elsewhere lines of the common forms are read whole, their ends found 64 bytes at a
// time, and other lines word by word, words found 16 bytes at a time. Digits are read 8 or 16
// at a time, without a branch a digit; one-bit columns are kept a row at a time
// (CqzVcdBitLanes). Whatever it does not read the way the plain path would (x or z digits,
// sections, errors of any kind) leaves the piece unparsed, for the importer to read on the
// plain path, so that both paths give the same table and the same errors. Read-only once
// made: one parser serves all workers.

#include "capture/SqzVcdPiece.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class CqzVcdPieceParser
{
public:
    // A column an identifier code writes.
    struct SqzTarget
    {
        int column;
        int width; // 0: a text column
    };
    // Hash and equality that look up std::string keys by std::string_view.
    struct SqzCodeHash
    {
        using is_transparent = void;
        std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
    };
    using CodeMap = std::unordered_map<std::string, int, SqzCodeHash, std::equal_to<>>;

    // The dump's times: ticks x factor / divisor are picoseconds.
    void SetTime(std::int64_t factor, std::int64_t divisor);
    // The index of each code (codes of one character below 128 also in `fast`), the columns
    // each code index writes, and the column count.
    void SetCodes(const CodeMap& codes, const std::array<int, 128>& fast,
                  std::vector<std::vector<SqzTarget>> targets, int columns);
    void SetMaxWord(std::size_t bytes) { m_maxWord = bytes; }

    // Fills the piece's reading; `parsed` tells whether it could.
    void Parse(SqzVcdPiece& piece) const;

private:
    class Reading;
    const std::vector<SqzTarget>* Targets(std::string_view code) const;
    bool Time(std::string_view digits, std::int64_t& time) const;
    // Ticks in picoseconds; false beyond the time range or for a fraction of a picosecond.
    bool Scale(std::uint64_t ticks, std::int64_t& time) const;

    std::int64_t m_factor = 1000;
    std::int64_t m_divisor = 1;
    const CodeMap* m_codes = nullptr;
    std::array<int, 128> m_fast{};
    // Per one-character code below 128 that writes one column of bits: that column (else -1).
    std::array<SqzTarget, 128> m_single{};
    std::vector<std::vector<SqzTarget>> m_targets;
    std::vector<int> m_widths; // by column
    std::size_t m_maxWord = std::size_t{1} << 20;
};
