#pragma once
// The labels the markup fuzz targets' seeds name: A (8-bit digital), W (128-bit integral) and
// M (text). Registered once per process; call it at the start of every input.

#include "qzSystem/managers/CqzLabelMgr.h"

inline void RegisterFuzzLabels()
{
    static const bool registered = []
    {
        auto add = [](const wchar_t* name, EqzLabelType type, int width) {
            CqzLabelMgr::Instance().AddLabel(
                CqzLabel(CqzID(), name, CqzBitSet{type}, width, CqzID()));
        };
        add(L"A", eqzLabelDigital, 8);
        add(L"W", eqzLabelIntegral, 128);
        add(L"M", eqzLabelString, 0);
        return true;
    }();
    (void)registered;
}
