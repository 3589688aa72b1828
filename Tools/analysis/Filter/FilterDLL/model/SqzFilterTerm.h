#pragma once
// One filter term: a search expression, the action for the samples it decides, a display name
// and whether the editor shows that name. A term, its search model and its action live and die
// together, owned by the filter model.

#include "mfc/CString.h"
#include "model/CqzFilterAction.h"
#include "qzSystem/search/CqzSearchModel.h"

#include <memory>

struct SqzFilterTerm
{
    std::unique_ptr<CqzSearchModel> search;
    std::unique_ptr<CqzFilterAction> action;
    CString name;
    bool showName = false;
};
