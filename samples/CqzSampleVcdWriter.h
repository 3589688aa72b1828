#pragma once
// Writes the sample bus as a value change dump: the header with the five signals, then one
// timestamp per bus cycle and the signals that changed in it. Owned by the generator for one
// run; writes to a stream it does not own.

#include <cstdint>
#include <ostream>
#include <string>

// The signals of one bus cycle.
struct SqzBusCycle
{
    std::uint32_t addr = 0;
    std::uint32_t data = 0;
    bool write = false;
    std::uint8_t stat = 0;
    std::string msg = "idle"; // no white space: a dump's string values are single tokens
};

class CqzSampleVcdWriter
{
public:
    CqzSampleVcdWriter(std::ostream& out, std::int64_t periodNs);

    void WriteHeader();
    // Writes the next cycle (its timestamp and what changed since the previous one).
    void WriteCycle(const SqzBusCycle& cycle);
    std::int64_t GetCycles() const { return m_cycles; }

private:
    void Bits(std::uint64_t value, char code);

    std::ostream& m_out;
    std::int64_t m_periodNs;
    std::int64_t m_cycles = 0;
    SqzBusCycle m_last;
};
