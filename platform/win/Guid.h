#pragma once
// The 16-byte globally unique identifier and its generator.

#include "win/WinTypes.h"

#include <cstdint>

struct GUID
{
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];
};
static_assert(sizeof(GUID) == 16, "GUID must be 16 bytes");

// Fills *guid with a fresh random (version 4) identifier drawn from the kernel's random
// source; safe to call from any thread. Returns S_OK, or E_FAIL for a null argument or when
// no randomness could be had.
HRESULT CoCreateGuid(GUID* guid);

bool operator==(const GUID& a, const GUID& b);
inline bool operator!=(const GUID& a, const GUID& b) { return !(a == b); }
