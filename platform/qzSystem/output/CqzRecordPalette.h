#pragma once
// The distinct records of one paged attribute source, each named by a one-byte code, so that a
// page keeps a byte a row instead of the eight of a record: a filter's output holds a handful of
// distinct records (the default one, a hidden one, one per colour), and a deep capture's
// output then takes an eighth of the memory and of the first touch. Code 0 is the default
// record (zero bytes), so a page of zero codes holds default records. Entries are only added,
// so a code stays valid as long as the palette. With AVX-512 (chosen once, when the library
// loads; forced off with SetVectorUnit(false) or QZ_OUTPUT_SCALAR=1 in the environment) eight
// records are coded or decoded (64 picks translated) at a time while the palette (the table)
// holds at most 16 records; else a
// record at a time, through a hash table. Not thread-safe, like the store that owns it.

#include "qzSystem/output/CqzSampleAttributes.h"

#include <array>
#include <cstddef>
#include <cstdint>

class CqzRecordPalette
{
public:
    static constexpr int Capacity = 256;

    CqzRecordPalette();

    int GetCount() const { return m_count; }
    CqzSampleAttributes Decode(std::uint8_t code) const { return CqzSampleAttributes(m_records[code]); }
    // The codes of `count` records, adding records not yet in the palette. False when one of
    // them is new and the palette is full: the codes before it are written, the rest are not.
    bool Encode(const CqzSampleAttributes* records, std::uint8_t* codes, std::size_t count);
    // The records of `count` codes given by this palette.
    void Decode(const std::uint8_t* codes, CqzSampleAttributes* records, std::size_t count) const;

    // codes[i] = table[picks[i]] for count rows; picks below tableSize (at most 256).
    static void Translate(const std::uint8_t* picks, const std::uint8_t* table, int tableSize,
                          std::uint8_t* codes, std::size_t count);

    // Whether the vector forms are used (never on a processor without AVX-512). Meant for tests
    // and benchmarks; answers the form now in use.
    static bool SetVectorUnit(bool on);

private:
    static constexpr int VectorPaletteLimit = 16;
    static constexpr std::size_t Slots = 2 * Capacity;

    bool EncodeOne(std::uint64_t record, std::uint8_t& code);
    bool EncodePlain(const std::uint64_t* records, std::uint8_t* codes, std::size_t count);
    bool EncodeVector(const std::uint64_t* records, std::uint8_t* codes, std::size_t count);
    bool EncodeEight(const std::uint64_t* records, std::uint8_t* codes) const;
    void DecodeVector(const std::uint8_t* codes, std::uint64_t* records, std::size_t count) const;
    static void TranslateVector(const std::uint8_t* picks, const std::uint8_t* table,
                                int tableSize, std::uint8_t* codes, std::size_t count);
    static std::size_t SlotOf(std::uint64_t record);

    alignas(64) std::array<std::uint64_t, Capacity> m_records{};
    int m_count = 1;
    // Open addressing, linear probing: code + 1 of the record hashed there, 0 for none.
    std::array<std::uint16_t, Slots> m_slots{};
    // The last record coded by the plain form and its code: runs of one record skip the table.
    std::uint64_t m_lastRecord = 0;
    std::uint8_t m_lastCode = 0;
};
