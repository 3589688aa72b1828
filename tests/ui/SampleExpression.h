#pragma once
// The three-event expression of the editor tests and pictures, on labels it registers:
//
//   ADDR in range 1000..1fff AND ( STAT = 3? OR MSG contains "err" )

#include "common/ManagerReset.h"
#include "common/SearchBuilder.h"

inline CqzSearchModel SampleExpression()
{
    AddTestLabel(L"ADDR", eqzLabelIntegral, 32);
    AddTestLabel(L"STAT", eqzLabelIntegral, 8);
    AddTestLabel(L"MSG", eqzLabelString, 0);
    return SearchBuilder()
        .Is(L"ADDR", eqzMultiInRange, 0x1000, 0x1fff)
        .And()
        .Open()
        .Is(L"STAT", eqzMultiEqual, 0x30, 0x0f)
        .Or()
        .Text(L"MSG", eqzMultiContains, L"err")
        .Close()
        .Build();
}
