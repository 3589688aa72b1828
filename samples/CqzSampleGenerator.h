#pragma once
// Generates the bundled sample capture samples/cpu-bus.vcd: the system bus of a small 32-bit
// microcontroller, one row per bus cycle of 10 ns, the same file on every run (own
// pseudo-random numbers, fixed seed).
//
// Signals:
//   ADDR  32-bit address          DATA  32-bit data (read or written)
//   RW    1 on writes, 0 on reads and idle cycles
//   STAT  8-bit bus status, below
//   MSG   the cycle as a word: idle, fetch, read, write, wait, irq_ack, dma_burst, err_bus,
//         err_parity, err_timeout
//
// STAT bits: 7 error, 6 interrupt acknowledge, 5 write beat, 4 read beat, 3 wait state,
// 2..0 beat number within a burst (modulo 8):
//   0x00        idle (ADDR and DATA keep their last values)
//   0x10-0x17   read beat 0-7 (instruction fetch, data read, DMA read)
//   0x20-0x27   write beat 0-7
//   0x18, 0x28  wait state before a read / write beat (slow memory, peripherals)
//   0x50        interrupt acknowledge: the CPU reads the vector from the interrupt controller
//   0x81        bus error (a write to ROM)
//   0x82        parity error on a RAM read (DATA shows the corrupted word)
//   0x83        timeout: no answer from an unmapped address after 16 wait states
//
// Memory map:
//   0x00000000-0x0003ffff  ROM: code (fetch bursts of 4 or 8 words), vectors at 0x100
//   0x20000000-0x2001ffff  RAM: data, stack at the top, DMA buffer at 0x20008000
//   0x40000000-0x40003fff  peripherals: UART 0x40000000, timer 0x40000400, interrupt
//                          controller 0x40001000, GPIO 0x40002000, DMA 0x40003000
// Between transactions the bus idles for a few cycles, now and then for long stretches; rare
// interrupts are followed by a context save on the stack and a fetch from the handler; rarer
// still are the three errors.

#include <cstdint>
#include <memory>
#include <ostream>

class CqzSampleGenerator
{
public:
    static constexpr std::int64_t kDefaultRows = 40000;
    static constexpr std::uint64_t kDefaultSeed = 0x5eed2024cafe0001ull;
    static constexpr std::int64_t kPeriodNs = 10;

    explicit CqzSampleGenerator(std::int64_t rows = kDefaultRows,
                                std::uint64_t seed = kDefaultSeed);
    ~CqzSampleGenerator();
    CqzSampleGenerator(const CqzSampleGenerator&) = delete;
    CqzSampleGenerator& operator=(const CqzSampleGenerator&) = delete;

    // Writes the whole dump: exactly `rows` cycles.
    void Write(std::ostream& out) const;

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
