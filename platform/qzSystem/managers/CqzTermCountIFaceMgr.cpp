#include "qzSystem/managers/CqzTermCountIFaceMgr.h"

CqzTermCountIFaceMgr& CqzTermCountIFaceMgr::Instance()
{
    static CqzTermCountIFaceMgr instance;
    return instance;
}
