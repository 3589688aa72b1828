#pragma once
// Appends a term to a filter model in a line of test code:
//
//   AddTerm(model, SearchBuilder().Is(L"X", 1, 5), eqzFilterColor, 0xff0000);

#include "common/SearchBuilder.h"
#include "model/CqzFilterAction.h"
#include "model/CqzFilterModel.h"

inline void AddTerm(CqzFilterModel& model, const SearchBuilder& search, unsigned type,
                    unsigned color = 0)
{
    const CqzSearchModel expression = search.Build();
    CqzFilterAction action;
    action.SetType(type);
    action.SetColor(color);
    model.InsertAfter(&expression, &action, -1);
}
