#include "qzSystem/plugin/CqzPlugInAnToolBase.h"

#include "qzSystem/managers/CqzPlugInMgr.h"

void CqzPlugInAnToolBase::Run()
{
    CqzPlugInMgr::Instance().RequestRun(this);
}
