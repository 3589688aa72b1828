#include "capture/CqzCsvScan.h"

#include "capture/CqzCaptureUnit.h"

#if defined(__x86_64__) && defined(__GNUC__)
#include <immintrin.h>
#define QZ_CSV_AVX512_UNIT 1
#endif

namespace
{
using SqzMarks = CqzCsvScan::SqzMarks;

SqzMarks MarksScalar(const char* p, std::size_t n, char separator)
{
    SqzMarks m;
    for (std::size_t i = 0; i < n; ++i)
    {
        const char c = p[i];
        const std::uint64_t bit = std::uint64_t{1} << i;
        m.lineEnds |= c == '\n' ? bit : 0;
        m.separators |= c == separator ? bit : 0;
        m.quotes |= c == '"' ? bit : 0;
        m.controls |= static_cast<unsigned char>(c) < 0x20 && c != '\t' ? bit : 0;
        m.blanks |= c == ' ' || c == '\t' ? bit : 0;
    }
    return m;
}

#ifdef QZ_CSV_AVX512_UNIT
__attribute__((target("avx512f,avx512bw"))) SqzMarks MarksAvx512(const char* p, std::size_t n,
                                                                   char separator)
{
    const __mmask64 in = CqzCsvScan::LowBits(n);
    const __m512i v = _mm512_maskz_loadu_epi8(in, p);
    SqzMarks m;
    m.lineEnds = _mm512_mask_cmpeq_epi8_mask(in, v, _mm512_set1_epi8('\n'));
    m.separators = _mm512_mask_cmpeq_epi8_mask(in, v, _mm512_set1_epi8(separator));
    m.quotes = _mm512_mask_cmpeq_epi8_mask(in, v, _mm512_set1_epi8('"'));
    const __mmask64 notTab = _mm512_mask_cmpneq_epi8_mask(in, v, _mm512_set1_epi8('\t'));
    m.controls = _mm512_mask_cmplt_epu8_mask(notTab, v, _mm512_set1_epi8(0x20));
    m.blanks = _mm512_mask_cmpeq_epi8_mask(in, v, _mm512_set1_epi8(' ')) | (in & ~notTab);
    return m;
}
#endif
} // namespace

CqzCsvScan::SqzMarks CqzCsvScan::Marks(const char* p, std::size_t n, char separator)
{
#ifdef QZ_CSV_AVX512_UNIT
    if (CqzCaptureUnit::Vector())
        return MarksAvx512(p, n, separator);
#endif
    return MarksScalar(p, n, separator);
}
