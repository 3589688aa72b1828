#include "qzSystem/managers/CqzOptionsMgr.h"

CqzOptionsMgr& CqzOptionsMgr::Instance()
{
    static CqzOptionsMgr instance;
    return instance;
}
