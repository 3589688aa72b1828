#pragma once
// Base of tool plug-ins (analysis and viewer tools).

#include "qzSystem/plugin/CqzPlugInBase.h"

class CqzPlugInToolBase : public CqzPlugInBase
{
public:
    using CqzPlugInBase::CqzPlugInBase;
};
