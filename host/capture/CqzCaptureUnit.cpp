#include "capture/CqzCaptureUnit.h"

#include "qzSystem/cpu/CqzVectorUnit.h"

#include <algorithm>
#include <atomic>

namespace
{
using EUnit = CqzCaptureUnit::EUnit;

EUnit Detect()
{
    return CqzVectorUnit::Best("QZ_CAPTURE_SCALAR") == CqzVectorUnit::eAvx512
               ? CqzCaptureUnit::eAvx512
               : CqzCaptureUnit::eScalar;
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
