#include "qzSystem/managers/CqzStdCmdIFaceMgr.h"

CqzStdCmdIFaceMgr& CqzStdCmdIFaceMgr::Instance()
{
    static CqzStdCmdIFaceMgr instance;
    return instance;
}
