#pragma once
// Maps instance identifiers to the command interfaces their tools registered (not owned).

#include "qzSystem/managers/CqzIFaceRegistry.h"

class CqzStdCmdIFace;

class CqzStdCmdIFaceMgr : public CqzIFaceRegistry<CqzStdCmdIFace>
{
public:
    static CqzStdCmdIFaceMgr& Instance();

private:
    CqzStdCmdIFaceMgr() = default;
};
