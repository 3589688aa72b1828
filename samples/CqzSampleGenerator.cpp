#include "CqzSampleGenerator.h"

#include "CqzSampleRandom.h"
#include "CqzSampleVcdWriter.h"

#include <string>
#include <unordered_map>

struct CqzSampleGenerator::SqzImp
{
    std::int64_t rows;
    std::uint64_t seed;
};

namespace
{
constexpr std::uint32_t kRom = 0x00000000;
constexpr std::uint32_t kRomSize = 0x40000;
constexpr std::uint32_t kVectors = 0x00000100;
constexpr std::uint32_t kRam = 0x20000000;
constexpr std::uint32_t kRamSize = 0x20000;
constexpr std::uint32_t kStackTop = kRam + kRamSize;
constexpr std::uint32_t kDmaBuffer = 0x20008000;
constexpr std::uint32_t kUart = 0x40000000;
constexpr std::uint32_t kTimer = 0x40000400;
constexpr std::uint32_t kIntc = 0x40001000;
constexpr std::uint32_t kGpio = 0x40002000;
constexpr std::uint32_t kDma = 0x40003000;
constexpr std::uint32_t kUnmapped = 0x60000000;

constexpr std::uint8_t kRead = 0x10;
constexpr std::uint8_t kWrite = 0x20;
constexpr std::uint8_t kWait = 0x08;
constexpr std::uint8_t kIrqAck = 0x50;
constexpr std::uint8_t kBusError = 0x81;
constexpr std::uint8_t kParityError = 0x82;
constexpr std::uint8_t kTimeout = 0x83;
constexpr int kTimeoutWaits = 16;

const char kUartText[] = "boot ok; sensor=23.5C; link up; ";

// The bus of one run: the CPU's state and the transactions it makes, each written cycle by
// cycle. Cycles beyond the requested row count are dropped, so a transaction may be cut at the
// end of the capture.
class Bus
{
public:
    Bus(std::ostream& out, std::int64_t rows, std::uint64_t seed)
        : m_writer(out, CqzSampleGenerator::kPeriodNs), m_rows(rows), m_rng(seed)
    {
    }

    void Run()
    {
        m_writer.WriteHeader();
        while (m_writer.GetCycles() < m_rows)
        {
            Idle(IdleLength());
            Transaction();
        }
    }

private:
    // Cycles -------------------------------------------------------------------------------
    void Emit(std::uint8_t stat, const char* msg)
    {
        if (m_writer.GetCycles() >= m_rows)
            return;
        m_cycle.stat = stat;
        m_cycle.msg = msg;
        m_writer.WriteCycle(m_cycle);
    }
    void Idle(int cycles)
    {
        m_cycle.write = false;
        for (int i = 0; i < cycles; ++i)
            Emit(0x00, "idle");
    }
    void Waits(int cycles, std::uint32_t addr, bool write)
    {
        m_cycle.addr = addr;
        m_cycle.write = write;
        for (int i = 0; i < cycles; ++i)
            Emit(static_cast<std::uint8_t>(kWait | (write ? kWrite : kRead)), "wait");
    }
    void Beat(std::uint32_t addr, std::uint32_t data, bool write, int beat, const char* msg)
    {
        m_cycle.addr = addr;
        m_cycle.data = data;
        m_cycle.write = write;
        Emit(static_cast<std::uint8_t>((write ? kWrite : kRead) | (beat & 7)), msg);
    }
    void Fail(std::uint32_t addr, std::uint32_t data, bool write, std::uint8_t stat,
              const char* msg)
    {
        m_cycle.addr = addr;
        m_cycle.data = data;
        m_cycle.write = write;
        Emit(stat, msg);
    }

    // Memory contents ----------------------------------------------------------------------
    static std::uint32_t RomWord(std::uint32_t addr)
    {
        return static_cast<std::uint32_t>(CqzSampleRandom::Mix(0x0c0de0000ull ^ addr));
    }
    std::uint32_t RamWord(std::uint32_t addr) const
    {
        auto it = m_ram.find(addr);
        return it != m_ram.end() ? it->second
                                 : static_cast<std::uint32_t>(CqzSampleRandom::Mix(addr) & 0xffff);
    }
    std::uint32_t NewData()
    {
        // Mostly small numbers and pointers, as programs store them.
        const std::uint32_t kind = m_rng.Below(4);
        return kind == 0   ? m_rng.Below(256)
               : kind == 1 ? kRam + 4 * m_rng.Below(kRamSize / 4)
                           : static_cast<std::uint32_t>(m_rng.Next());
    }
    std::uint32_t RamAddress(int beats)
    {
        return kRam + 4 * m_rng.Below((kRamSize - 0x1000) / 4 - static_cast<std::uint32_t>(beats));
    }

    // Transactions -------------------------------------------------------------------------
    int IdleLength()
    {
        const std::uint32_t kind = m_rng.Below(100);
        return kind < 70   ? 1 + static_cast<int>(m_rng.Below(6))
               : kind < 95 ? 8 + static_cast<int>(m_rng.Below(24))
                           : 40 + static_cast<int>(m_rng.Below(160));
    }

    void Transaction()
    {
        const std::uint32_t pick = m_rng.Below(1000);
        if (pick < 450)
            Fetch(m_rng.Chance(600) ? 8 : 4);
        else if (pick < 650)
            RamRead();
        else if (pick < 800)
            RamWrite();
        else if (pick < 927)
            Peripheral();
        else if (pick < 962)
            Stack(m_rng.Chance(500));
        else if (pick < 977)
            Interrupt();
        else if (pick < 992)
            DmaBurst();
        else
            Error();
    }

    void Fetch(int beats)
    {
        // Straight-line code goes on where the last burst ended; a branch lands on a line of
        // eight words.
        if (m_rng.Chance(150) || m_pc >= kRom + kRomSize - 0x40)
            m_pc = kRom + 0x400 + 0x20 * m_rng.Below((kRomSize - 0x800) / 0x20);
        for (int beat = 0; beat < beats; ++beat, m_pc += 4)
            Beat(m_pc, RomWord(m_pc), false, beat, "fetch");
    }

    void RamRead()
    {
        const int beats = m_rng.Chance(400) ? 4 : 1;
        const std::uint32_t addr = RamAddress(beats);
        if (m_rng.Chance(100))
            Waits(1, addr, false);
        for (int beat = 0; beat < beats; ++beat)
            Beat(addr + 4 * beat, RamWord(addr + 4 * beat), false, beat, "read");
    }

    void RamWrite()
    {
        const int beats = m_rng.Chance(300) ? 4 : 1;
        const std::uint32_t addr = RamAddress(beats);
        for (int beat = 0; beat < beats; ++beat)
            Store(addr + 4 * beat, NewData(), beat, "write");
    }

    void Store(std::uint32_t addr, std::uint32_t data, int beat, const char* msg)
    {
        m_ram[addr] = data;
        Beat(addr, data, true, beat, msg);
    }

    void Peripheral()
    {
        const std::uint32_t which = m_rng.Below(5);
        std::uint32_t addr = 0;
        std::uint32_t data = 0;
        bool write = false;
        if (which == 0) // UART: a character out
        {
            addr = kUart;
            data = static_cast<unsigned char>(kUartText[m_uartChar++ % (sizeof kUartText - 1)]);
            write = true;
        }
        else if (which == 1) // UART status: transmitter ready, sometimes a byte received
        {
            addr = kUart + 4;
            data = 0x1 | (m_rng.Chance(100) ? 0x2 : 0);
        }
        else if (which == 2) // timer count
        {
            addr = kTimer + 8;
            data = static_cast<std::uint32_t>(m_writer.GetCycles() / 100);
        }
        else if (which == 3) // GPIO: inputs read, outputs written
        {
            write = m_rng.Chance(400);
            addr = kGpio + (write ? 4 : 0);
            data = write ? m_rng.Below(0x100) : 0xa500 | m_rng.Below(0x100);
        }
        else // interrupt controller pending bits
        {
            addr = kIntc;
            data = m_rng.Chance(200) ? 1u << m_rng.Below(5) : 0;
        }
        Waits(1 + static_cast<int>(m_rng.Below(3)), addr, write);
        Beat(addr, data, write, 0, write ? "write" : "read");
    }

    void Stack(bool push)
    {
        if (push && m_sp > kStackTop - 0x800)
            m_sp -= 16;
        for (int beat = 0; beat < 4; ++beat)
        {
            const std::uint32_t addr = m_sp + 4 * static_cast<std::uint32_t>(beat);
            if (push)
                Store(addr, NewData(), beat, "write");
            else
                Beat(addr, RamWord(addr), false, beat, "read");
        }
        if (!push && m_sp < kStackTop - 16)
            m_sp += 16;
    }

    void Interrupt()
    {
        const std::uint32_t irq = 1 + m_rng.Below(5);
        Waits(1, kIntc + 4, false);
        m_cycle.addr = kIntc + 4;
        m_cycle.data = irq;
        m_cycle.write = false;
        Emit(kIrqAck, "irq_ack");
        Idle(1);
        Stack(true);
        m_pc = kVectors + 0x40 * irq;
        Fetch(8);
    }

    void DmaBurst()
    {
        // The CPU starts the channel, then the DMA engine copies received bytes into the buffer.
        Beat(kDma, m_dmaOffset, true, 0, "write");
        Idle(2 + static_cast<int>(m_rng.Below(4)));
        for (int beat = 0; beat < 16; ++beat)
        {
            Store(kDmaBuffer + m_dmaOffset, NewData(), beat, "dma_burst");
            m_dmaOffset = (m_dmaOffset + 4) % 0x1000;
        }
    }

    void Error()
    {
        const std::uint32_t kind = m_rng.Below(3);
        if (kind == 0) // a stray write into ROM
            Fail(kRom + 4 * m_rng.Below(kRomSize / 4), NewData(), true, kBusError, "err_bus");
        else if (kind == 1) // a flipped bit in a RAM burst
        {
            const std::uint32_t addr = RamAddress(4);
            const int bad = static_cast<int>(m_rng.Below(4));
            for (int beat = 0; beat < bad; ++beat)
                Beat(addr + 4 * beat, RamWord(addr + 4 * beat), false, beat, "read");
            const std::uint32_t at = addr + 4 * static_cast<std::uint32_t>(bad);
            Fail(at, RamWord(at) ^ (1u << m_rng.Below(32)), false, kParityError, "err_parity");
        }
        else // nobody answers
        {
            const std::uint32_t addr = kUnmapped + 4 * m_rng.Below(0x400);
            Waits(kTimeoutWaits, addr, false);
            Fail(addr, 0xffffffff, false, kTimeout, "err_timeout");
        }
    }

    CqzSampleVcdWriter m_writer;
    std::int64_t m_rows;
    CqzSampleRandom m_rng;
    SqzBusCycle m_cycle;
    std::unordered_map<std::uint32_t, std::uint32_t> m_ram;
    std::uint32_t m_pc = kRom + 0x400;
    std::uint32_t m_sp = kStackTop - 0x100;
    std::uint32_t m_dmaOffset = 0;
    std::uint32_t m_uartChar = 0;
};
} // namespace

CqzSampleGenerator::CqzSampleGenerator(std::int64_t rows, std::uint64_t seed)
    : m_imp(std::make_unique<SqzImp>())
{
    m_imp->rows = rows < 0 ? 0 : rows;
    m_imp->seed = seed;
}

CqzSampleGenerator::~CqzSampleGenerator() = default;

void CqzSampleGenerator::Write(std::ostream& out) const
{
    Bus(out, m_imp->rows, m_imp->seed).Run();
}
