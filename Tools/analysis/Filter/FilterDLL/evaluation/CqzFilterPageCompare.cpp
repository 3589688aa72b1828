#include "evaluation/CqzFilterPageCompare.h"

#include "qzSystem/cpu/CqzVectorUnit.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define QZ_PAGE_VECTOR_UNITS 1
#define QZ_AVX512 __attribute__((target("avx512f,avx512bw")))
#define QZ_AVX2 __attribute__((target("avx2")))
#endif

namespace
{
using EUnit = CqzFilterPageCompare::EUnit;
constexpr EUnit eScalar = CqzFilterPageCompare::eScalar;
constexpr EUnit eAvx2 = CqzFilterPageCompare::eAvx2;
constexpr EUnit eAvx512 = CqzFilterPageCompare::eAvx512;

EUnit Detect()
{
#ifdef QZ_PAGE_VECTOR_UNITS
    switch (CqzVectorUnit::Best("QZ_FILTER_SCALAR"))
    {
    case CqzVectorUnit::eAvx512:
        return eAvx512;
    case CqzVectorUnit::eAvx2:
        return eAvx2;
    case CqzVectorUnit::eScalar:
        break;
    }
#endif
    return eScalar;
}

// Chosen when the library is loaded.
const EUnit Detected = Detect();
std::atomic<EUnit> Chosen{Detected};

EUnit Unit()
{
    return Chosen.load(std::memory_order_relaxed);
}

using Op = CqzFilterPageCompare::EOp;
template <typename T> using Test = CqzFilterPageCompare::SqzTest<T>;
// Writes the bits of `words` whole words of 64 rows, before inversion.
template <typename T>
using Kernel = void (*)(const T* values, int words, const Test<T>& test, std::uint64_t* out);

// The baseline form: a flag per row in a loop the compiler vectorises, then packed.
template <typename T, Op K>
void ScalarKernel(const T* values, int words, const Test<T>& t, std::uint64_t* out)
{
    std::uint8_t flags[CqzFilterPageMask::Rows] = {};
    const int rows = words * 64;
    const T mask = t.mask, first = t.first, second = t.second;
    for (int row = 0; row < rows; ++row)
    {
        const T x = T(values[row] & mask);
        bool bit;
        if constexpr (K == Op::eEqual)
            bit = x == first;
        else if constexpr (K == Op::eGreater)
            bit = x > first;
        else if constexpr (K == Op::eLess)
            bit = x < first;
        else
            bit = T(x - first) > second;
        flags[row] = bit ? 1 : 0;
    }
    const CqzFilterPageMask packed = CqzFilterPageMask::FromFlags(flags, rows);
    for (int w = 0; w < words; ++w)
        out[w] = packed.GetWord(w);
}

#ifdef QZ_PAGE_VECTOR_UNITS
template <typename T> QZ_AVX512 inline __m512i Splat512(T v)
{
    if constexpr (sizeof(T) == 1)
        return _mm512_set1_epi8(static_cast<char>(v));
    else if constexpr (sizeof(T) == 2)
        return _mm512_set1_epi16(static_cast<short>(v));
    else if constexpr (sizeof(T) == 4)
        return _mm512_set1_epi32(static_cast<int>(v));
    else
        return _mm512_set1_epi64(static_cast<long long>(v));
}

// Unsigned compare with predicate P; one bit per lane.
template <typename T, int P> QZ_AVX512 inline std::uint64_t Compare512(__m512i a, __m512i b)
{
    if constexpr (sizeof(T) == 1)
        return _mm512_cmp_epu8_mask(a, b, P);
    else if constexpr (sizeof(T) == 2)
        return _mm512_cmp_epu16_mask(a, b, P);
    else if constexpr (sizeof(T) == 4)
        return _mm512_cmp_epu32_mask(a, b, P);
    else
        return _mm512_cmp_epu64_mask(a, b, P);
}

template <typename T> QZ_AVX512 inline __m512i Sub512(__m512i a, __m512i b)
{
    if constexpr (sizeof(T) == 1)
        return _mm512_sub_epi8(a, b);
    else if constexpr (sizeof(T) == 2)
        return _mm512_sub_epi16(a, b);
    else if constexpr (sizeof(T) == 4)
        return _mm512_sub_epi32(a, b);
    else
        return _mm512_sub_epi64(a, b);
}

template <typename T, Op K>
QZ_AVX512 void Avx512Kernel(const T* values, int words, const Test<T>& t, std::uint64_t* out)
{
    constexpr int Lanes = 64 / int(sizeof(T));
    const __m512i mask = Splat512(t.mask), first = Splat512(t.first), second = Splat512(t.second);
    for (int w = 0; w < words; ++w)
    {
        std::uint64_t bits = 0;
        for (int k = 0; k < int(sizeof(T)); ++k)
        {
            const __m512i x = _mm512_and_si512(_mm512_loadu_si512(values + w * 64 + k * Lanes), mask);
            std::uint64_t lanes;
            if constexpr (K == Op::eEqual)
                lanes = Compare512<T, _MM_CMPINT_EQ>(x, first);
            else if constexpr (K == Op::eGreater)
                lanes = Compare512<T, _MM_CMPINT_NLE>(x, first);
            else if constexpr (K == Op::eLess)
                lanes = Compare512<T, _MM_CMPINT_LT>(x, first);
            else
                lanes = Compare512<T, _MM_CMPINT_NLE>(Sub512<T>(x, first), second);
            bits |= lanes << (k * Lanes);
        }
        out[w] = bits;
    }
}

template <typename T> QZ_AVX2 inline __m256i Splat256(T v)
{
    if constexpr (sizeof(T) == 1)
        return _mm256_set1_epi8(static_cast<char>(v));
    else if constexpr (sizeof(T) == 2)
        return _mm256_set1_epi16(static_cast<short>(v));
    else if constexpr (sizeof(T) == 4)
        return _mm256_set1_epi32(static_cast<int>(v));
    else
        return _mm256_set1_epi64x(static_cast<long long>(v));
}

template <typename T> QZ_AVX2 inline __m256i Equal256(__m256i a, __m256i b)
{
    if constexpr (sizeof(T) == 1)
        return _mm256_cmpeq_epi8(a, b);
    else if constexpr (sizeof(T) == 2)
        return _mm256_cmpeq_epi16(a, b);
    else if constexpr (sizeof(T) == 4)
        return _mm256_cmpeq_epi32(a, b);
    else
        return _mm256_cmpeq_epi64(a, b);
}

// Signed a > b; unsigned once both have their sign bits flipped.
template <typename T> QZ_AVX2 inline __m256i Greater256(__m256i a, __m256i b)
{
    if constexpr (sizeof(T) == 1)
        return _mm256_cmpgt_epi8(a, b);
    else if constexpr (sizeof(T) == 2)
        return _mm256_cmpgt_epi16(a, b);
    else if constexpr (sizeof(T) == 4)
        return _mm256_cmpgt_epi32(a, b);
    else
        return _mm256_cmpgt_epi64(a, b);
}

template <typename T> QZ_AVX2 inline __m256i Sub256(__m256i a, __m256i b)
{
    if constexpr (sizeof(T) == 1)
        return _mm256_sub_epi8(a, b);
    else if constexpr (sizeof(T) == 2)
        return _mm256_sub_epi16(a, b);
    else if constexpr (sizeof(T) == 4)
        return _mm256_sub_epi32(a, b);
    else
        return _mm256_sub_epi64(a, b);
}

// One bit per lane of a compare result (lanes all ones or all zeros).
template <typename T> QZ_AVX2 inline std::uint64_t Bits256(__m256i lanes)
{
    if constexpr (sizeof(T) == 1)
        return static_cast<std::uint32_t>(_mm256_movemask_epi8(lanes));
    else if constexpr (sizeof(T) == 2)
    {
        // Packed to bytes within each 128-bit half: rows 0-7 in bits 0-7, rows 8-15 in 16-23.
        const auto b = static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_packs_epi16(lanes, lanes)));
        return (b & 0xffu) | ((b >> 8) & 0xff00u);
    }
    else if constexpr (sizeof(T) == 4)
        return static_cast<std::uint32_t>(_mm256_movemask_ps(_mm256_castsi256_ps(lanes)));
    else
        return static_cast<std::uint32_t>(_mm256_movemask_pd(_mm256_castsi256_pd(lanes)));
}

template <typename T, Op K>
QZ_AVX2 void Avx2Kernel(const T* values, int words, const Test<T>& t, std::uint64_t* out)
{
    constexpr int Lanes = 32 / int(sizeof(T));
    const __m256i sign = Splat256(static_cast<T>(T(1) << (8 * sizeof(T) - 1)));
    const __m256i mask = Splat256(t.mask), first = Splat256(t.first);
    const __m256i firstFlipped = _mm256_xor_si256(first, sign);
    const __m256i secondFlipped = _mm256_xor_si256(Splat256(t.second), sign);
    for (int w = 0; w < words; ++w)
    {
        std::uint64_t bits = 0;
        for (int k = 0; k < 64 / Lanes; ++k)
        {
            const __m256i x = _mm256_and_si256(
                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(values + w * 64 + k * Lanes)),
                mask);
            __m256i lanes;
            if constexpr (K == Op::eEqual)
                lanes = Equal256<T>(x, first);
            else if constexpr (K == Op::eGreater)
                lanes = Greater256<T>(_mm256_xor_si256(x, sign), firstFlipped);
            else if constexpr (K == Op::eLess)
                lanes = Greater256<T>(firstFlipped, _mm256_xor_si256(x, sign));
            else
                lanes = Greater256<T>(_mm256_xor_si256(Sub256<T>(x, first), sign), secondFlipped);
            bits |= Bits256<T>(lanes) << (k * Lanes);
        }
        out[w] = bits;
    }
}
#endif

// Terms beyond which a store per decided row costs less than a select per term.
constexpr int SelectTerms = 8;

template <typename T, Op K> Kernel<T> KernelFor(EUnit unit)
{
#ifdef QZ_PAGE_VECTOR_UNITS
    if (unit == eAvx512)
        return &Avx512Kernel<T, K>;
    if (unit == eAvx2)
        return &Avx2Kernel<T, K>;
#endif
    (void)unit;
    return &ScalarKernel<T, K>;
}

template <typename T> Kernel<T> KernelFor(EUnit unit, Op op)
{
    switch (op)
    {
    case Op::eEqual:
        return KernelFor<T, Op::eEqual>(unit);
    case Op::eGreater:
        return KernelFor<T, Op::eGreater>(unit);
    case Op::eLess:
        return KernelFor<T, Op::eLess>(unit);
    default:
        return KernelFor<T, Op::eOutside>(unit);
    }
}

#ifdef QZ_PAGE_VECTOR_UNITS
// Eight records at a time: the fallback, then each term's record where its mask has the row.
// The terms' records stay in registers and each term's mask word is read once per 64 rows.
QZ_AVX512 void Avx512Select(const CqzFilterPageMask* masks, const std::uint64_t* records,
                            int terms, std::uint64_t fallback, CqzSampleAttributes* out,
                            int count)
{
    __m512i record[SelectTerms];
    for (int t = 0; t < terms; ++t)
        record[t] = _mm512_set1_epi64(static_cast<long long>(records[t]));
    const __m512i none = _mm512_set1_epi64(static_cast<long long>(fallback));
    for (int w = 0; w * 64 < count; ++w)
    {
        std::uint64_t words[SelectTerms];
        for (int t = 0; t < terms; ++t)
            words[t] = masks[t].GetWord(w);
        for (int at = 0; at < 64 && w * 64 + at < count; at += 8)
        {
            __m512i eight = none;
            for (int t = 0; t < terms; ++t)
                eight = _mm512_mask_mov_epi64(eight, static_cast<__mmask8>(words[t] >> at),
                                              record[t]);
            _mm512_storeu_si512(out + w * 64 + at, eight);
        }
    }
}

// A byte a row for 64 rows at a time: each term's number where its mask word has the row.
QZ_AVX512 void Avx512Pick(const CqzFilterPageMask* masks, int terms, std::uint8_t* out, int count)
{
    for (int w = 0; w * 64 < count; ++w)
    {
        __m512i picks = _mm512_setzero_si512();
        for (int t = 0; t < terms; ++t)
            picks = _mm512_mask_mov_epi8(picks, masks[t].GetWord(w),
                                         _mm512_set1_epi8(static_cast<char>(t + 1)));
        _mm512_storeu_si512(out + w * 64, picks);
    }
}
#endif

} // namespace

template <typename T>
CqzFilterPageMask CqzFilterPageCompare::Compare(const T* values, int count, const SqzTest<T>& test)
{
    std::uint64_t words[CqzFilterPageMask::Words] = {};
    count = std::clamp(count, 0, CqzFilterPageMask::Rows);
    const int whole = count / 64, rest = count % 64;
    const Kernel<T> kernel = KernelFor<T>(Unit(), test.op);
    if (whole > 0)
        kernel(values, whole, test, words);
    if (rest > 0)
    {
        T tail[64] = {};
        std::memcpy(tail, values + whole * 64, std::size_t(rest) * sizeof(T));
        kernel(tail, 1, test, words + whole);
    }
    CqzFilterPageMask mask;
    const std::uint64_t flip = test.invert ? ~0ull : 0;
    for (int w = 0; w * 64 < count; ++w)
    {
        const int rows = std::min(64, count - w * 64);
        const std::uint64_t inside = rows == 64 ? ~0ull : (std::uint64_t{1} << rows) - 1;
        mask.SetWord(w, (words[w] ^ flip) & inside);
    }
    return mask;
}

template CqzFilterPageMask CqzFilterPageCompare::Compare(const std::uint8_t*, int,
                                                         const SqzTest<std::uint8_t>&);
template CqzFilterPageMask CqzFilterPageCompare::Compare(const std::uint16_t*, int,
                                                         const SqzTest<std::uint16_t>&);
template CqzFilterPageMask CqzFilterPageCompare::Compare(const std::uint32_t*, int,
                                                         const SqzTest<std::uint32_t>&);
template CqzFilterPageMask CqzFilterPageCompare::Compare(const std::uint64_t*, int,
                                                         const SqzTest<std::uint64_t>&);

void CqzFilterPageCompare::Select(const CqzFilterPageMask* masks, const std::uint64_t* records,
                                  int terms, std::uint64_t fallback, CqzSampleAttributes* out,
                                  int count)
{
    count = std::clamp(count, 0, CqzFilterPageMask::Rows);
#ifdef QZ_PAGE_VECTOR_UNITS
    if (Unit() == eAvx512 && terms <= SelectTerms)
        return Avx512Select(masks, records, terms, fallback, out, count);
#endif
    std::fill(out, out + count, CqzSampleAttributes(fallback));
    for (int t = 0; t < terms; ++t)
    {
        const CqzSampleAttributes record(records[t]);
        masks[t].ForEach([out, record](int row) { out[row] = record; });
    }
}

void CqzFilterPageCompare::Pick(const CqzFilterPageMask* masks, int terms, std::uint8_t* out,
                                int count)
{
    count = std::clamp(count, 0, CqzFilterPageMask::Rows);
#ifdef QZ_PAGE_VECTOR_UNITS
    if (Unit() == eAvx512)
        return Avx512Pick(masks, terms, out, count);
#endif
    std::fill(out, out + count, std::uint8_t{0});
    for (int t = 0; t < terms; ++t)
    {
        const auto pick = static_cast<std::uint8_t>(t + 1);
        masks[t].ForEach([out, pick](int row) { out[row] = pick; });
    }
}

CqzFilterPageCompare::EUnit CqzFilterPageCompare::GetBestUnit()
{
    return Detected;
}

CqzFilterPageCompare::EUnit CqzFilterPageCompare::GetUnit()
{
    return Unit();
}

CqzFilterPageCompare::EUnit CqzFilterPageCompare::SetUnit(EUnit unit)
{
    const EUnit used = std::min(unit, Detected);
    Chosen.store(used, std::memory_order_relaxed);
    return used;
}

const char* CqzFilterPageCompare::GetUnitName(EUnit unit)
{
    switch (unit)
    {
    case eAvx512:
        return "AVX-512";
    case eAvx2:
        return "AVX2";
    default:
        return "scalar";
    }
}
