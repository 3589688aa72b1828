#include "capture/CqzSrSamples.h"

#include "capture/CqzCaptureUnit.h"

#include <algorithm>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define QZ_SR_AVX512_UNIT 1
#define QZ_AVX512 __attribute__((target("avx512f,avx512bw")))
#endif

namespace
{

// The low n bits (n at most 64).
std::uint64_t LowBits(std::size_t n)
{
    return n >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1;
}

template <std::size_t U> std::uint64_t LoadSample(const unsigned char* s, std::size_t unit)
{
    std::uint64_t v = 0;
    std::memcpy(&v, s, U != 0 ? U : unit);
    return v;
}

// U: the unit when it is 1, 2, 4 or 8 (a load of fixed size), else 0.
template <std::size_t U>
std::uint64_t ChangesScalar(const unsigned char* p, std::size_t unit, std::size_t n,
                            std::uint64_t previous, std::uint64_t mask)
{
    std::uint64_t out = 0;
    for (std::size_t i = 0; i < n; ++i)
    {
        const std::uint64_t sample = LoadSample<U>(p + i * unit, unit) & mask;
        out |= static_cast<std::uint64_t>(sample != previous) << i;
        previous = sample;
    }
    return out;
}

template <typename T> void WidenAs(const unsigned char* p, std::uint64_t mask, std::uint64_t* rows)
{
    T samples[64];
    std::memcpy(samples, p, sizeof samples);
    for (std::size_t i = 0; i < 64; ++i)
        rows[i] = samples[i] & mask;
}

void WidenScalar(const unsigned char* p, std::size_t unit, std::uint64_t mask,
                 std::uint64_t* rows)
{
    switch (unit)
    {
    case 1:
        return WidenAs<std::uint8_t>(p, mask, rows);
    case 2:
        return WidenAs<std::uint16_t>(p, mask, rows);
    case 4:
        return WidenAs<std::uint32_t>(p, mask, rows);
    case 8:
        return WidenAs<std::uint64_t>(p, mask, rows);
    default:
        for (std::size_t i = 0; i < 64; ++i)
            rows[i] = LoadSample<0>(p + i * unit, unit) & mask;
    }
}

void PlanesScalar(const std::uint64_t* rows, std::size_t n, std::size_t unit, unsigned bytes,
                  std::uint64_t* out)
{
    const std::size_t words = (n + 63) / 64;
    for (std::size_t channel = 0; channel < 8 * unit; ++channel)
        if ((bytes >> (channel / 8)) & 1)
            for (std::size_t at = 0; at < n; at += 64)
        {
            const std::size_t end = std::min(n, at + 64);
            std::uint64_t word = 0;
            for (std::size_t i = at; i < end; ++i)
                word |= ((rows[i] >> channel) & 1) << (i - at);
            out[channel * words + at / 64] = word;
        }
}

#ifdef QZ_SR_AVX512_UNIT
template <std::size_t U> QZ_AVX512 inline __m512i Splat(std::uint64_t v)
{
    if constexpr (U == 1)
        return _mm512_set1_epi8(static_cast<char>(v));
    else if constexpr (U == 2)
        return _mm512_set1_epi16(static_cast<short>(v));
    else if constexpr (U == 4)
        return _mm512_set1_epi32(static_cast<int>(v));
    else
        return _mm512_set1_epi64(static_cast<long long>(v));
}

// The lanes of `live` from s, the others from `rest`; masked lanes are not read.
template <std::size_t U>
QZ_AVX512 inline __m512i LoadLanes(__m512i rest, std::uint64_t live, const unsigned char* s)
{
    if constexpr (U == 1)
        return _mm512_mask_loadu_epi8(rest, live, s);
    else if constexpr (U == 2)
        return _mm512_mask_loadu_epi16(rest, static_cast<__mmask32>(live), s);
    else if constexpr (U == 4)
        return _mm512_mask_loadu_epi32(rest, static_cast<__mmask16>(live), s);
    else
        return _mm512_mask_loadu_epi64(rest, static_cast<__mmask8>(live), s);
}

template <std::size_t U> QZ_AVX512 inline std::uint64_t NotEqual(__m512i a, __m512i b)
{
    if constexpr (U == 1)
        return _mm512_cmpneq_epi8_mask(a, b);
    else if constexpr (U == 2)
        return _mm512_cmpneq_epi16_mask(a, b);
    else if constexpr (U == 4)
        return _mm512_cmpneq_epi32_mask(a, b);
    else
        return _mm512_cmpneq_epi64_mask(a, b);
}

// Each vector of samples against the same lanes loaded one sample earlier; the first lane of
// the first vector is `previous` (the sample before p is never read).
template <std::size_t U>
QZ_AVX512 std::uint64_t ChangesAvx512(const unsigned char* p, std::size_t n,
                                      std::uint64_t previous, std::uint64_t mask)
{
    constexpr std::size_t lanes = 64 / U;
    const __m512i cut = Splat<U>(mask);
    const __m512i before = Splat<U>(previous);
    std::uint64_t out = 0;
    for (std::size_t at = 0; at < n; at += lanes)
    {
        const std::uint64_t live = LowBits(std::min(lanes, n - at));
        const unsigned char* s = p + at * U;
        const auto* earlier = reinterpret_cast<const unsigned char*>(
            reinterpret_cast<std::uintptr_t>(s) - U);
        const __m512i now = _mm512_and_si512(LoadLanes<U>(before, live, s), cut);
        const __m512i then =
            _mm512_and_si512(LoadLanes<U>(before, at == 0 ? live & ~std::uint64_t{1} : live,
                                          earlier),
                             cut);
        out |= (NotEqual<U>(now, then) & live) << at;
    }
    return out;
}

// Eight samples at a time, zero-extended to words (the zero-masked forms, as in LaneBytes).
template <std::size_t U>
QZ_AVX512 void WidenAvx512(const unsigned char* p, std::uint64_t mask, std::uint64_t* rows)
{
    const __m512i cut = _mm512_set1_epi64(static_cast<long long>(mask));
    for (std::size_t i = 0; i < 64; i += 8)
    {
        const unsigned char* s = p + i * U;
        __m512i v;
        if constexpr (U == 1)
            v = _mm512_maskz_cvtepu8_epi64(0xff, _mm_loadl_epi64(reinterpret_cast<const __m128i*>(s)));
        else if constexpr (U == 2)
            v = _mm512_maskz_cvtepu16_epi64(0xff, _mm_loadu_si128(reinterpret_cast<const __m128i*>(s)));
        else if constexpr (U == 4)
            v = _mm512_maskz_cvtepu32_epi64(0xff, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s)));
        else
            v = _mm512_loadu_si512(s);
        _mm512_storeu_si512(rows + i, _mm512_and_si512(v, cut));
    }
}

// Byte `lane` of 64 rows (eight vectors of eight) as one vector of bytes.
QZ_AVX512 inline __m512i LaneBytes(const __m512i* rows, std::size_t lane)
{
    // (The zero-masked forms: the plain ones trip a false warning of uninitialised use.)
    __m128i eights[8];
    for (int k = 0; k < 8; ++k)
        eights[k] = _mm512_maskz_cvtepi64_epi8(
            0xff, _mm512_maskz_srli_epi64(0xff, rows[k], static_cast<unsigned>(8 * lane)));
    __m128i pairs[4];
    for (int k = 0; k < 4; ++k)
        pairs[k] = _mm_unpacklo_epi64(eights[2 * k], eights[2 * k + 1]);
    __m512i bytes = _mm512_castsi128_si512(pairs[0]);
    bytes = _mm512_inserti32x4(bytes, pairs[1], 1);
    bytes = _mm512_inserti32x4(bytes, pairs[2], 2);
    return _mm512_inserti32x4(bytes, pairs[3], 3);
}

// 64 rows at a time: each byte lane of the rows gathered into a vector, then each of its
// bits shifted to the top of every byte and taken as a mask.
QZ_AVX512 void PlanesAvx512(const std::uint64_t* rows, std::size_t n, std::size_t unit,
                            unsigned bytes, std::uint64_t* out)
{
    const std::size_t words = (n + 63) / 64;
    for (std::size_t w = 0; w < words; ++w)
    {
        const std::size_t count = std::min<std::size_t>(64, n - 64 * w);
        __m512i v[8];
        for (std::size_t j = 0; j < 8; ++j)
        {
            const std::size_t left = count > 8 * j ? std::min<std::size_t>(8, count - 8 * j) : 0;
            v[j] = _mm512_maskz_loadu_epi64(static_cast<__mmask8>(LowBits(left)),
                                            rows + 64 * w + 8 * j);
        }
        for (std::size_t lane = 0; lane < unit; ++lane)
        {
            if (((bytes >> lane) & 1) == 0)
                continue;
            const __m512i laneBytes = LaneBytes(v, lane);
            for (unsigned bit = 0; bit < 8; ++bit)
                out[(8 * lane + bit) * words + w] =
                    _mm512_movepi8_mask(_mm512_maskz_slli_epi64(0xff, laneBytes, 7 - bit));
        }
    }
}

// Eight rows shifted and cut (the zero-masked shift, as in LaneBytes).
QZ_AVX512 inline __m512i FieldOf(__m512i rows, __m128i shift, __m512i cut)
{
    return _mm512_and_si512(_mm512_maskz_srl_epi64(0xff, rows, shift), cut);
}

// Eight rows at a time, narrowed to bytes in a register (a narrowing store is slow); the last
// rows by masked forms.
QZ_AVX512 void FieldAvx512(const std::uint64_t* rows, std::size_t n, int shift, std::uint8_t mask,
                           std::uint8_t* out)
{
    const __m128i count = _mm_cvtsi32_si128(shift);
    const __m512i cut = _mm512_set1_epi64(mask);
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8)
        _mm_storel_epi64(
            reinterpret_cast<__m128i*>(out + i),
            _mm512_maskz_cvtepi64_epi8(0xff, FieldOf(_mm512_loadu_si512(rows + i), count, cut)));
    const auto live = static_cast<__mmask8>(LowBits(n - i));
    if (live != 0)
        _mm512_mask_cvtepi64_storeu_epi8(
            out + i, live, FieldOf(_mm512_maskz_loadu_epi64(live, rows + i), count, cut));
}
#endif
} // namespace

std::uint64_t CqzSrSamples::Changes(const unsigned char* p, std::size_t unit, std::size_t n,
                                    std::uint64_t previous, std::uint64_t mask)
{
#ifdef QZ_SR_AVX512_UNIT
    if (CqzCaptureUnit::Vector())
        switch (unit)
        {
        case 1:
            return ChangesAvx512<1>(p, n, previous, mask);
        case 2:
            return ChangesAvx512<2>(p, n, previous, mask);
        case 4:
            return ChangesAvx512<4>(p, n, previous, mask);
        case 8:
            return ChangesAvx512<8>(p, n, previous, mask);
        default:
            break;
        }
#endif
    switch (unit)
    {
    case 1:
        return ChangesScalar<1>(p, unit, n, previous, mask);
    case 2:
        return ChangesScalar<2>(p, unit, n, previous, mask);
    case 4:
        return ChangesScalar<4>(p, unit, n, previous, mask);
    case 8:
        return ChangesScalar<8>(p, unit, n, previous, mask);
    default:
        return ChangesScalar<0>(p, unit, n, previous, mask);
    }
}

void CqzSrSamples::Widen(const unsigned char* p, std::size_t unit, std::uint64_t mask,
                         std::uint64_t* rows)
{
#ifdef QZ_SR_AVX512_UNIT
    if (CqzCaptureUnit::Vector())
        switch (unit)
        {
        case 1:
            return WidenAvx512<1>(p, mask, rows);
        case 2:
            return WidenAvx512<2>(p, mask, rows);
        case 4:
            return WidenAvx512<4>(p, mask, rows);
        case 8:
            return WidenAvx512<8>(p, mask, rows);
        default:
            break;
        }
#endif
    WidenScalar(p, unit, mask, rows);
}

void CqzSrSamples::Planes(const std::uint64_t* rows, std::size_t n, std::size_t unit,
                          unsigned bytes, std::uint64_t* out)
{
#ifdef QZ_SR_AVX512_UNIT
    if (CqzCaptureUnit::Vector())
        return PlanesAvx512(rows, n, unit, bytes, out);
#endif
    PlanesScalar(rows, n, unit, bytes, out);
}

void CqzSrSamples::Field(const std::uint64_t* rows, std::size_t n, int shift, std::uint8_t mask,
                         std::uint8_t* out)
{
#ifdef QZ_SR_AVX512_UNIT
    if (CqzCaptureUnit::Vector())
        return FieldAvx512(rows, n, shift, mask, out);
#endif
    for (std::size_t i = 0; i < n; ++i)
        out[i] = static_cast<std::uint8_t>((rows[i] >> shift) & mask);
}
