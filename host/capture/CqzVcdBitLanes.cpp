#include "capture/CqzVcdBitLanes.h"

#include "capture/CqzCaptureUnit.h"
#include "qzSystem/cpu/CqzVectorUnit.h"

#include <algorithm>
#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define QZ_BIT_MATRIX __attribute__((target("avx512f,avx512bw,avx512vbmi,gfni")))
#endif

namespace
{
// Transposes 64 words of 64 bits: afterwards bit r of a[c] is what bit c of a[r] was. Halves,
// quarters and so on down to single bits swap places across the diagonal.
void TransposePlain(std::uint64_t* a)
{
    std::uint64_t mask = 0x00000000ffffffffull;
    for (int j = 32; j != 0; j >>= 1, mask ^= mask << j)
        for (int k = 0; k < 64; k = ((k | j) + 1) & ~j)
        {
            const std::uint64_t t = ((a[k] >> j) ^ a[k | j]) & mask;
            a[k] ^= t << j;
            a[k | j] ^= t;
        }
}

#if defined(QZ_BIT_MATRIX)
// The same in 8 x 8 blocks of bits, eight rows to a register: a byte shuffle gathers each
// block into a word (its rows last first), the processor's bit-matrix multiplication with the
// identity transposes the blocks, and the blocks change places in a second shuffle.
// Byte shuffles: byte c x 8 + k of word c takes byte c of row 7 - k (gather), and byte k of
// block row c (spread).
struct SqzShuffles
{
    alignas(64) std::uint8_t gather[64];
    alignas(64) std::uint8_t spread[64];
    constexpr SqzShuffles() : gather(), spread()
    {
        for (int c = 0; c < 8; ++c)
            for (int k = 0; k < 8; ++k)
            {
                gather[c * 8 + k] = static_cast<std::uint8_t>((7 - k) * 8 + c);
                spread[c * 8 + k] = static_cast<std::uint8_t>(k * 8 + c);
            }
    }
};
constexpr SqzShuffles kShuffles;

QZ_BIT_MATRIX void TransposeVector(std::uint64_t* a)
{
    const __m512i gatherIndex = _mm512_load_si512(kShuffles.gather);
    const __m512i spreadIndex = _mm512_load_si512(kShuffles.spread);
    const __m512i identity = _mm512_set1_epi64(static_cast<long long>(0x8040201008040201ull));
    // blocks[r * 8 + c]: the block of rows 8r.. and columns 8c.., transposed
    alignas(64) std::uint64_t blocks[64];
    for (int r = 0; r < 8; ++r)
    {
        const __m512i rows = _mm512_maskz_permutexvar_epi8(~__mmask64{0}, gatherIndex,
                                                           _mm512_loadu_si512(a + 8 * r));
        _mm512_store_si512(blocks + 8 * r, _mm512_gf2p8affine_epi64_epi8(identity, rows, 0));
    }
    const __m512i blockRows = _mm512_set_epi64(56, 48, 40, 32, 24, 16, 8, 0);
    for (int c = 0; c < 8; ++c)
    {
        const __m512i column = _mm512_mask_i64gather_epi64(
            _mm512_setzero_si512(), 0xff, _mm512_add_epi64(blockRows, _mm512_set1_epi64(c)), blocks,
            8);
        _mm512_storeu_si512(a + 8 * c,
                            _mm512_maskz_permutexvar_epi8(~__mmask64{0}, spreadIndex, column));
    }
}

const bool kBitMatrix = CqzVectorUnit::HasBitMatrix();
#endif

void Transpose(std::uint64_t* a)
{
#if defined(QZ_BIT_MATRIX)
    if (kBitMatrix && CqzCaptureUnit::Vector())
        return TransposeVector(a);
#endif
    TransposePlain(a);
}
} // namespace

void CqzVcdBitLanes::Clear()
{
    m_used = 0;
    m_row = 0;
    m_slots = 0;
    m_levels.clear();
}

int CqzVcdBitLanes::Add(std::int64_t row)
{
    const int slot = m_slots++;
    if ((slot & 63) == 0)
    {
        if (m_lanes.size() == m_used)
            m_lanes.emplace_back();
        m_lanes[m_used].first = row;
        ++m_used;
        m_levels.push_back(0);
    }
    return slot;
}

void CqzVcdBitLanes::Grow(SqzLane& lane, std::size_t index)
{
    lane.words.resize(std::max(index + 1, 2 * lane.words.size()));
}

std::int64_t CqzVcdBitLanes::GetFirstRow(int slot) const
{
    return m_lanes[static_cast<std::size_t>(slot) >> 6].first;
}

void CqzVcdBitLanes::Spread(std::vector<std::uint64_t>* const* bits)
{
    std::uint64_t* columns[64];
    for (std::size_t lane = 0; lane < m_used; ++lane)
    {
        // The words are transposed where they are, the last block filled up with zeros.
        auto& words = m_lanes[lane].words;
        const auto count = static_cast<std::size_t>(m_row - m_lanes[lane].first);
        const std::size_t blocks = (count + 63) / 64;
        if (blocks * 64 > words.size())
            words.resize(blocks * 64);
        std::fill(words.begin() + static_cast<std::ptrdiff_t>(count),
                  words.begin() + static_cast<std::ptrdiff_t>(blocks * 64), 0);
        const int slots = std::min(64, m_slots - static_cast<int>(lane) * 64);
        for (int s = 0; s < slots; ++s)
        {
            std::vector<std::uint64_t>& column = *bits[lane * 64 + static_cast<std::size_t>(s)];
            column.resize(blocks);
            columns[s] = column.data();
        }
        for (std::size_t b = 0; b < blocks; ++b)
        {
            std::uint64_t* block = words.data() + b * 64;
            Transpose(block);
            for (int s = 0; s < slots; ++s)
                columns[s][b] = block[s];
        }
    }
}
