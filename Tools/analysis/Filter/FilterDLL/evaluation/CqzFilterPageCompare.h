#pragma once
// The row-parallel work of the page-wise evaluation on the machine's vector unit: a page of
// values of one width (1, 2, 4 or 8 bytes) tested against one comparison gives the page's mask
// straight from the vector compares (AVX-512: the compare masks themselves; AVX2: compares and
// their sign bits), and the records of a page are selected from the terms' first-match masks
// (AVX-512: without a branch per row). The unit is chosen once, when the library loads, from
// what the processor has; without a vector unit (or forced off: SetUnit(eScalar), or
// QZ_FILTER_SCALAR=1 in the environment) the same answers come from byte flags that the
// compiler vectorises for the baseline instruction set. SetUnit is meant for tests and
// benchmarks: it changes the form for every thread at once.

#include "evaluation/CqzFilterPageMask.h"
#include "qzSystem/output/CqzSampleAttributes.h"

#include <cstdint>

class CqzFilterPageCompare
{
public:
    enum EOp
    {
        // x == first
        eEqual,
        // x > first, unsigned
        eGreater,
        // x < first, unsigned
        eLess,
        // x - first > second, unsigned and wrapping: x outside first ... first + second
        eOutside
    };
    // Row r's bit is op(values[r] & mask) XOR invert.
    template <typename T> struct SqzTest
    {
        EOp op = eEqual;
        bool invert = false;
        T mask = T(~T(0));
        T first = 0;
        T second = 0;
    };

    // values holds count (at most 512) entries; bits of rows count and above are 0.
    template <typename T>
    static CqzFilterPageMask Compare(const T* values, int count, const SqzTest<T>& test);
    // out[r] = records[t] for the term t whose mask holds row r (the masks are disjoint), else
    // fallback, for the rows below count; out has room for CqzFilterPageMask::Rows records
    // (rows up to the next multiple of 8 may be written with the fallback). With AVX-512 and
    // up to 8 terms the records are blended eight at a time; else a store per decided row
    // (which measured faster than AVX2 blends).
    static void Select(const CqzFilterPageMask* masks, const std::uint64_t* records, int terms,
                       std::uint64_t fallback, CqzSampleAttributes* out, int count);

    // out[r] = t + 1 for the term t whose mask holds row r (the masks are disjoint), else 0,
    // for the rows below count (terms at most 255); out has room for CqzFilterPageMask::Rows
    // bytes, which may all be written. With AVX-512, 64 rows at a time.
    static void Pick(const CqzFilterPageMask* masks, int terms, std::uint8_t* out, int count);

    // The forms, from the plainest; a processor that has one has those before it.
    enum EUnit
    {
        eScalar,
        eAvx2,
        eAvx512
    };
    // The best unit the processor has (eScalar with QZ_FILTER_SCALAR set and not "0").
    static EUnit GetBestUnit();
    // The unit the calls use now: the best, unless SetUnit chose another.
    static EUnit GetUnit();
    // Uses `unit` from now on, at most the best (for comparisons in tests); answers the unit
    // in use.
    static EUnit SetUnit(EUnit unit);
    // "AVX-512", "AVX2" or "scalar".
    static const char* GetUnitName(EUnit unit);
};
