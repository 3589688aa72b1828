#include "capture/CqzCaptureCrc.h"

#include "capture/CqzCaptureUnit.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define QZ_CRC_FOLD 1
#define QZ_CLMUL __attribute__((target("pclmul,sse4.1")))
#endif

namespace
{
#ifdef QZ_CRC_FOLD
// The folding constants of the reflected polynomial: x^(4*128+32) and x^(4*128-32) mod P
// (four lanes on), x^(128+32) and x^(128-32) (one lane on), x^64, then P and its Barrett
// quotient.
constexpr std::uint64_t kFourLanes[2] = {0x0154442bd4, 0x01c6e41596};
constexpr std::uint64_t kOneLane[2] = {0x01751997d0, 0x00ccaa009e};
constexpr std::uint64_t kTo64[2] = {0x0163cd6124, 0};
constexpr std::uint64_t kBarrett[2] = {0x01db710641, 0x01f7011641};

QZ_CLMUL inline __m128i Constants(const std::uint64_t (&k)[2])
{
    return _mm_set_epi64x(static_cast<long long>(k[1]), static_cast<long long>(k[0]));
}

// Folds `lane` on by the distance the constants stand for and adds `next`.
QZ_CLMUL inline __m128i Fold(__m128i lane, __m128i k, __m128i next)
{
    return _mm_xor_si128(
        _mm_xor_si128(_mm_clmulepi64_si128(lane, k, 0x11), _mm_clmulepi64_si128(lane, k, 0x00)),
        next);
}

QZ_CLMUL inline __m128i Load(const unsigned char* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// The remainder after the inverted check `crc` and n bytes (a multiple of 16, at least 64),
// inverted as well.
QZ_CLMUL std::uint32_t Folded(std::uint32_t crc, const unsigned char* p, std::size_t n)
{
    __m128i lanes[4] = {_mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(crc))),
                        Load(p + 16), Load(p + 32), Load(p + 48)};
    const __m128i four = Constants(kFourLanes);
    std::size_t at = 64;
    for (; at + 64 <= n; at += 64)
        for (int k = 0; k < 4; ++k)
            lanes[k] = Fold(lanes[k], four, Load(p + at + 16 * k));
    const __m128i one = Constants(kOneLane);
    __m128i x = lanes[0];
    for (int k = 1; k < 4; ++k)
        x = Fold(x, one, lanes[k]);
    for (; at < n; at += 16)
        x = Fold(x, one, Load(p + at));
    // 128 bits to 64, then Barrett's reduction to 32.
    const __m128i low32 = _mm_setr_epi32(-1, 0, -1, 0);
    x = _mm_xor_si128(_mm_srli_si128(x, 8), _mm_clmulepi64_si128(x, one, 0x10));
    x = _mm_xor_si128(_mm_srli_si128(x, 4),
                      _mm_clmulepi64_si128(_mm_and_si128(x, low32), Constants(kTo64), 0x00));
    const __m128i barrett = Constants(kBarrett);
    __m128i q = _mm_clmulepi64_si128(_mm_and_si128(x, low32), barrett, 0x10);
    q = _mm_clmulepi64_si128(_mm_and_si128(q, low32), barrett, 0x00);
    return static_cast<std::uint32_t>(_mm_extract_epi32(_mm_xor_si128(x, q), 1));
}
#endif

std::uint32_t Plain(std::uint32_t crc, const unsigned char* p, std::size_t n)
{
    while (n > 0)
    {
        const std::size_t take = std::min<std::size_t>(n, std::numeric_limits<uInt>::max());
        crc = static_cast<std::uint32_t>(crc32(crc, p, static_cast<uInt>(take)));
        p += take;
        n -= take;
    }
    return crc;
}
} // namespace

std::uint32_t CqzCaptureCrc::Update(std::uint32_t crc, const unsigned char* p, std::size_t n)
{
#ifdef QZ_CRC_FOLD
    if (n >= 64 && CqzCaptureUnit::Vector())
    {
        const std::size_t whole = n / 16 * 16;
        crc = ~Folded(~crc, p, whole);
        p += whole;
        n -= whole;
    }
#endif
    return Plain(crc, p, n);
}
