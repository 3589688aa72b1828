#pragma once
// The samples a decoder stack is fed, made from a capture table: the logic channels it names
// (a one-bit label by name, or one bit of a bus as NAME[i]) packed into units of 1 to 4 bytes,
// channel i at bit i, each row's values holding from its time until the next row's. The table
// keeps one row per change, so only the changes are kept here; Fill expands them a chunk at a
// time. Does not own the table.

#include "CqzSampleClock.h"
#include "qzSystem/data/CqzDataTable.h"

#include <cstdint>
#include <string>
#include <vector>

class CqzDecodeSamples
{
public:
    static constexpr int kMaxChannels = 32;

    // Throws CqzDecodeError naming a channel label the table lacks or that is not one bit.
    CqzDecodeSamples(const CqzDataTable& table, const std::vector<std::string>& channels,
                     const CqzSampleClock& clock);

    // The clock of a capture table: `rate` (--decode-rate) if given, else the archive's
    // samplerate, else the step of the table's times (their greatest common divisor). Throws
    // CqzDecodeError when none can be had.
    static CqzSampleClock ChooseClock(const CqzDataTable& table, std::uint64_t rate,
                                      std::uint64_t captureRate);
    // The samples from the first row's time to the last row's.
    static std::uint64_t CountSamples(const CqzDataTable& table, const CqzSampleClock& clock);

    int GetUnitSize() const { return m_unitSize; }
    std::uint64_t GetSampleCount() const { return m_samples; }
    // Writes samples first .. first + count - 1 (units of GetUnitSize bytes) into `out`; calls
    // must ask for ascending, adjoining ranges.
    void Fill(std::uint64_t first, std::uint64_t count, std::vector<std::uint8_t>& out);

private:
    struct SqzChange
    {
        std::uint64_t sample;
        std::uint32_t value;
    };

    void ReadChanges(const CqzDataTable& table, const std::vector<std::pair<int, int>>& bits,
                     const CqzSampleClock& clock);

    int m_unitSize = 1;
    std::uint64_t m_samples = 0;
    std::vector<SqzChange> m_changes;
    std::size_t m_next = 0; // the first change after the last sample filled
    std::uint32_t m_value = 0;
};
