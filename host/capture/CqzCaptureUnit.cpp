#include "capture/CqzCaptureUnit.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>

namespace
{
using EUnit = CqzCaptureUnit::EUnit;

EUnit Detect()
{
    const char* forced = std::getenv("QZ_CAPTURE_SCALAR");
    if (forced != nullptr && forced[0] != '\0' && forced[0] != '0')
        return CqzCaptureUnit::eScalar;
#if defined(__x86_64__) && defined(__GNUC__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw"))
        return CqzCaptureUnit::eAvx512;
#endif
    return CqzCaptureUnit::eScalar;
}

// Chosen when the library is loaded.
const EUnit Detected = Detect();
std::atomic<EUnit> Chosen{Detected};
} // namespace

CqzCaptureUnit::EUnit CqzCaptureUnit::GetUnit()
{
    return Chosen.load(std::memory_order_relaxed);
}

CqzCaptureUnit::EUnit CqzCaptureUnit::SetUnit(EUnit unit)
{
    const EUnit used = std::min(unit, Detected);
    Chosen.store(used, std::memory_order_relaxed);
    return used;
}
