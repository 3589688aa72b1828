#pragma once
// The labels the markup fuzz targets' seeds name: A (8-bit digital), W (128-bit integral) and
// M (text). Registered once per process; call it at the start of every input.

#include "common/ManagerReset.h"

inline void RegisterFuzzLabels()
{
    static const bool registered = []
    {
        AddTestLabel(L"A", eqzLabelDigital, 8);
        AddTestLabel(L"W", eqzLabelIntegral, 128);
        AddTestLabel(L"M", eqzLabelString, 0);
        return true;
    }();
    (void)registered;
}
