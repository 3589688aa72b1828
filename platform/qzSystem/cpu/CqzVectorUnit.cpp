#include "qzSystem/cpu/CqzVectorUnit.h"

#include <cstdlib>

namespace
{
bool Asked(const char* plainSwitch)
{
    const char* value = plainSwitch != nullptr ? std::getenv(plainSwitch) : nullptr;
    return value != nullptr && value[0] != '\0' && value[0] != '0';
}
} // namespace

CqzVectorUnit::EUnit CqzVectorUnit::Best(const char* plainSwitch)
{
    if (Asked(plainSwitch))
        return eScalar;
#if defined(__x86_64__) && defined(__GNUC__)
    __builtin_cpu_init();
    if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw"))
        return eAvx512;
    if (__builtin_cpu_supports("avx2"))
        return eAvx2;
#endif
    return eScalar;
}

bool CqzVectorUnit::HasBitMatrix()
{
#if defined(__x86_64__) && defined(__GNUC__)
    __builtin_cpu_init();
    return Best(nullptr) == eAvx512 && __builtin_cpu_supports("avx512vbmi") &&
           __builtin_cpu_supports("gfni");
#else
    return false;
#endif
}
