#pragma once
// Puts every host manager back to empty so that a test starts clean.

#include "qzSystem/managers/CqzEventMgr.h"
#include "qzSystem/managers/CqzInfoMgr.h"
#include "qzSystem/managers/CqzLabelMgr.h"
#include "qzSystem/managers/CqzSystemMgr.h"

inline void ResetManagers()
{
    CqzLabelMgr::Instance().Reset();
    CqzSystemMgr::Instance().Reset();
    CqzInfoMgr::Instance().Reset();
    CqzEventMgr::Instance().Reset();
}

// Registers a label with the label manager and returns its identifier.
inline CqzID AddTestLabel(const wchar_t* name, EqzLabelType type = eqzLabelDigital, int width = 8,
                          const CqzID& source = CqzID())
{
    CqzID id;
    CqzLabelMgr::Instance().AddLabel(CqzLabel(id, name, CqzBitSet{type}, width, source));
    return id;
}
