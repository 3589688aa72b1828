#include "CqzSampleVcdWriter.h"

namespace
{
// Identifier codes of the signals.
constexpr char kAddr = '!';
constexpr char kData = '"';
constexpr char kRw = '#';
constexpr char kStat = '$';
constexpr char kMsg = '%';
} // namespace

CqzSampleVcdWriter::CqzSampleVcdWriter(std::ostream& out, std::int64_t periodNs)
    : m_out(out), m_periodNs(periodNs)
{
}

void CqzSampleVcdWriter::WriteHeader()
{
    m_out << "$date (fixed: the sample is generated the same on every build) $end\n"
             "$version qz_sample_generator $end\n"
             "$comment a CPU bus: see samples/CqzSampleGenerator.h for the status codes $end\n"
             "$timescale 1 ns $end\n"
             "$scope module cpu_bus $end\n"
             "$var wire 32 ! ADDR [31:0] $end\n"
             "$var wire 32 \" DATA [31:0] $end\n"
             "$var wire 1 # RW $end\n"
             "$var wire 8 $ STAT [7:0] $end\n"
             "$var string 1 % MSG $end\n"
             "$upscope $end\n"
             "$enddefinitions $end\n";
}

void CqzSampleVcdWriter::Bits(std::uint64_t value, char code)
{
    // Leading zeros are left out: the reader extends a vector to the left with zeros.
    char digits[65];
    int n = 0;
    do
    {
        digits[n++] = static_cast<char>('0' + (value & 1));
        value >>= 1;
    } while (value);
    m_out << 'b';
    while (n)
        m_out << digits[--n];
    m_out << ' ' << code << '\n';
}

void CqzSampleVcdWriter::WriteCycle(const SqzBusCycle& cycle)
{
    const bool first = m_cycles == 0;
    m_out << '#' << m_cycles * m_periodNs << '\n';
    if (first || cycle.addr != m_last.addr)
        Bits(cycle.addr, kAddr);
    if (first || cycle.data != m_last.data)
        Bits(cycle.data, kData);
    if (first || cycle.write != m_last.write)
        m_out << (cycle.write ? '1' : '0') << kRw << '\n';
    if (first || cycle.stat != m_last.stat)
        Bits(cycle.stat, kStat);
    if (first || cycle.msg != m_last.msg)
        m_out << 's' << cycle.msg << ' ' << kMsg << '\n';
    m_last = cycle;
    ++m_cycles;
}
