#include "qzSystem/output/CqzRecordPalette.h"

#include "qzSystem/cpu/CqzVectorUnit.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define QZ_PALETTE_VECTOR 1
#define QZ_AVX512 __attribute__((target("avx512f,avx512bw")))
#endif

// Records are read and written as their raw words.
static_assert(sizeof(CqzSampleAttributes) == sizeof(std::uint64_t) &&
              std::is_standard_layout_v<CqzSampleAttributes>);

namespace
{
bool Detect()
{
#ifdef QZ_PALETTE_VECTOR
    return CqzVectorUnit::Best("QZ_OUTPUT_SCALAR") == CqzVectorUnit::eAvx512;
#else
    return false;
#endif
}

const bool Detected = Detect();
std::atomic<bool> Chosen{Detected};

bool UseVector()
{
    return Chosen.load(std::memory_order_relaxed);
}

const std::uint64_t* Raw(const CqzSampleAttributes* records)
{
    return reinterpret_cast<const std::uint64_t*>(records);
}
} // namespace

CqzRecordPalette::CqzRecordPalette()
{
    m_slots[SlotOf(0)] = 1; // the default record, code 0
}

bool CqzRecordPalette::SetVectorUnit(bool on)
{
    Chosen.store(on && Detect(), std::memory_order_relaxed);
    return UseVector();
}

bool CqzRecordPalette::Encode(const CqzSampleAttributes* records, std::uint8_t* codes,
                              std::size_t count)
{
#ifdef QZ_PALETTE_VECTOR
    if (UseVector())
        return EncodeVector(Raw(records), codes, count);
#endif
    return EncodePlain(Raw(records), codes, count);
}

void CqzRecordPalette::Decode(const std::uint8_t* codes, CqzSampleAttributes* records,
                              std::size_t count) const
{
    auto* raw = reinterpret_cast<std::uint64_t*>(records);
#ifdef QZ_PALETTE_VECTOR
    if (UseVector() && m_count <= VectorPaletteLimit)
        return DecodeVector(codes, raw, count);
#endif
    for (std::size_t i = 0; i < count; ++i)
        raw[i] = m_records[codes[i]];
}

void CqzRecordPalette::Translate(const std::uint8_t* picks, const std::uint8_t* table,
                                 int tableSize, std::uint8_t* codes, std::size_t count)
{
#ifdef QZ_PALETTE_VECTOR
    if (UseVector() && tableSize <= VectorPaletteLimit)
        return TranslateVector(picks, table, tableSize, codes, count);
#endif
    (void)tableSize;
    for (std::size_t i = 0; i < count; ++i)
        codes[i] = table[picks[i]];
}

std::size_t CqzRecordPalette::SlotOf(std::uint64_t record)
{
    return static_cast<std::size_t>((record * 0x9E3779B97F4A7C15ull) >> 55) % Slots;
}

// The table has twice the palette's capacity, so a probe always ends at a free slot.
bool CqzRecordPalette::EncodeOne(std::uint64_t record, std::uint8_t& code)
{
    std::size_t slot = SlotOf(record);
    for (; m_slots[slot] != 0; slot = (slot + 1) % Slots)
        if (m_records[m_slots[slot] - 1u] == record)
        {
            code = static_cast<std::uint8_t>(m_slots[slot] - 1u);
            return true;
        }
    if (m_count == Capacity)
        return false;
    code = static_cast<std::uint8_t>(m_count);
    m_records[static_cast<std::size_t>(m_count)] = record;
    m_slots[slot] = static_cast<std::uint16_t>(++m_count);
    return true;
}

bool CqzRecordPalette::EncodePlain(const std::uint64_t* records, std::uint8_t* codes,
                                   std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i)
    {
        if (records[i] != m_lastRecord && !EncodeOne(records[i], m_lastCode))
            return false;
        m_lastRecord = records[i];
        codes[i] = m_lastCode;
    }
    return true;
}

#ifdef QZ_PALETTE_VECTOR
// Eight records at a time while the palette is small; a group holding a record not yet in the
// palette, and the rows after the last whole group, go the plain way.
QZ_AVX512 bool CqzRecordPalette::EncodeVector(const std::uint64_t* records, std::uint8_t* codes,
                                              std::size_t count)
{
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8)
        if (m_count > VectorPaletteLimit || !EncodeEight(records + i, codes + i))
            if (!EncodePlain(records + i, codes + i, 8))
                return false;
    return EncodePlain(records + i, codes + i, count - i);
}

QZ_AVX512 bool CqzRecordPalette::EncodeEight(const std::uint64_t* records,
                                             std::uint8_t* codes) const
{
    const __m512i values = _mm512_loadu_si512(records);
    __m512i found = _mm512_setzero_si512();
    __mmask8 known = 0;
    for (int code = 0; code < m_count; ++code)
    {
        const __mmask8 equal = _mm512_cmpeq_epu64_mask(
            values, _mm512_set1_epi64(static_cast<long long>(m_records[std::size_t(code)])));
        found = _mm512_mask_mov_epi64(found, equal, _mm512_set1_epi64(code));
        known = static_cast<__mmask8>(known | equal);
    }
    if (known != 0xFF)
        return false;
    _mm_storel_epi64(reinterpret_cast<__m128i*>(codes), _mm512_maskz_cvtepi64_epi8(0xFF, found));
    return true;
}

// Every code is below 16, so a two-register permutation looks the records up eight at a time.
QZ_AVX512 void CqzRecordPalette::DecodeVector(const std::uint8_t* codes, std::uint64_t* records,
                                              std::size_t count) const
{
    const __m512i low = _mm512_loadu_si512(m_records.data());
    const __m512i high = _mm512_loadu_si512(m_records.data() + 8);
    std::size_t i = 0;
    for (; i + 8 <= count; i += 8)
    {
        const __m512i index =
            _mm512_maskz_cvtepu8_epi64(0xFF, _mm_loadl_epi64(reinterpret_cast<const __m128i*>(codes + i)));
        _mm512_storeu_si512(records + i, _mm512_permutex2var_epi64(low, index, high));
    }
    for (; i < count; ++i)
        records[i] = m_records[codes[i]];
}

// Every pick is below 16: a byte shuffle of the table, repeated in each 16-byte lane, looks
// 64 picks up at a time.
QZ_AVX512 void CqzRecordPalette::TranslateVector(const std::uint8_t* picks,
                                                 const std::uint8_t* table, int tableSize,
                                                 std::uint8_t* codes, std::size_t count)
{
    alignas(16) std::uint8_t sixteen[16] = {};
    std::memcpy(sixteen, table, static_cast<std::size_t>(tableSize));
    const __m512i lanes =
        _mm512_maskz_broadcast_i32x4(0xFFFF, _mm_load_si128(reinterpret_cast<const __m128i*>(sixteen)));
    std::size_t i = 0;
    for (; i + 64 <= count; i += 64)
        _mm512_storeu_si512(codes + i,
                            _mm512_shuffle_epi8(lanes, _mm512_loadu_si512(picks + i)));
    for (; i < count; ++i)
        codes[i] = table[picks[i]];
}
#endif
