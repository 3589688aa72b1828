#pragma once
// Maps instance identifiers to the term-count interfaces their tools registered (not owned).

#include "qzSystem/managers/CqzIFaceRegistry.h"

class CqzTermCountIFace;

class CqzTermCountIFaceMgr : public CqzIFaceRegistry<CqzTermCountIFace>
{
public:
    static CqzTermCountIFaceMgr& Instance();

private:
    CqzTermCountIFaceMgr() = default;
};
