#include "CqzBenchVectorLoop.h"

#include "CqzBenchRawLoop.h"
#include "CqzBenchStopwatch.h"
#include "CqzBenchWorkload.h"

#include <cstdlib>
#include <new>

#include <sys/mman.h>

namespace
{
constexpr std::uint64_t Hidden = std::uint64_t{1} << 11;
constexpr std::uint64_t Colored = std::uint64_t{1} << 13;
constexpr std::size_t HugePage = std::size_t{2} << 20;

constexpr std::uint64_t ColorRecord(std::uint32_t color)
{
    return Colored | (std::uint64_t{color & 0xffffffu} << 32);
}

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define QZ_BENCH_VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define QZ_BENCH_VECTOR_CLONES
#endif

// The first-match decisions as selects: every term is computed at every row.
QZ_BENCH_VECTOR_CLONES
void DecideW1(const CqzBenchRawLoop::SqzArrays& in, std::uint64_t* __restrict records)
{
    const std::uint32_t* __restrict addr = in.addr;
    const std::uint16_t* __restrict data = in.data;
    const std::uint8_t* __restrict stat = in.stat;
    constexpr std::uint64_t Dead = ColorRecord(CqzBenchWorkload::DataColor);
    for (std::size_t i = 0; i < in.rows; ++i)
    {
        const std::uint32_t a = addr[i];
        const bool idle = (a - 0x1000u <= 0xfffu) & ((stat[i] & 0xf0) == 0x30);
        const std::uint64_t low = a >= 0x8000u ? Hidden : 0;
        records[i] = idle ? Hidden : data[i] == 0xdead ? Dead : low;
    }
}

QZ_BENCH_VECTOR_CLONES
void DecideW2(const CqzBenchRawLoop::SqzArrays& in, std::uint64_t* __restrict records)
{
    const std::uint32_t* __restrict addr = in.addr;
    const std::uint16_t* __restrict data = in.data;
    const std::uint8_t* __restrict stat = in.stat;
    const std::uint32_t* __restrict msg = in.msg;
    const std::uint32_t* __restrict answers = in.textAnswers;
    constexpr std::uint64_t Dead = ColorRecord(CqzBenchWorkload::DataColor);
    constexpr std::uint64_t Error = ColorRecord(CqzBenchWorkload::MsgColor);
    for (std::size_t i = 0; i < in.rows; ++i)
    {
        const std::uint32_t a = addr[i];
        const bool idle = (a - 0x1000u <= 0xfffu) & ((stat[i] & 0xf0) == 0x30);
        const std::uint64_t low = a >= 0x8000u ? Hidden : 0;
        const std::uint64_t dead = data[i] == 0xdead ? Dead : low;
        records[i] = idle ? Hidden : answers[msg[i]] != 0 ? Error : dead;
    }
}
} // namespace

CqzBenchVectorLoop::CqzBenchVectorLoop(const CqzBenchRawLoop& raw) : m_raw(raw) {}

CqzBenchVectorLoop::~CqzBenchVectorLoop()
{
    Release();
}

std::int64_t CqzBenchVectorLoop::GetRowCount() const
{
    return m_records != nullptr ? m_raw.GetRowCount() : 0;
}

const char* CqzBenchVectorLoop::GetVectorUnit()
{
#if defined(__x86_64__) && defined(__GNUC__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("x86-64-v4"))
        return "AVX-512";
    if (__builtin_cpu_supports("avx2"))
        return "AVX2";
#endif
    return "baseline";
}

void CqzBenchVectorLoop::Loop() const
{
    const CqzBenchRawLoop::SqzArrays arrays = m_raw.GetArrays();
    if (arrays.msg != nullptr)
        DecideW2(arrays, m_records);
    else
        DecideW1(arrays, m_records);
}

void CqzBenchVectorLoop::Release()
{
    std::free(m_records);
    m_records = nullptr;
}

double CqzBenchVectorLoop::RunAllocating()
{
    Release();
    const CqzBenchStopwatch clock;
    const std::size_t rows = static_cast<std::size_t>(m_raw.GetRowCount());
    const std::size_t bytes = (rows * sizeof(std::uint64_t) + HugePage - 1) / HugePage * HugePage;
    m_records = static_cast<std::uint64_t*>(std::aligned_alloc(HugePage, bytes));
    if (m_records == nullptr)
        throw std::bad_alloc();
    madvise(m_records, bytes, MADV_HUGEPAGE); // advice only
    Loop();
    return clock.WallSeconds();
}

double CqzBenchVectorLoop::RunTouched()
{
    if (m_records == nullptr)
        RunAllocating();
    const CqzBenchStopwatch clock;
    Loop();
    return clock.WallSeconds();
}
