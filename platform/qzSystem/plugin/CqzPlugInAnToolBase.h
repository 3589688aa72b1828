#pragma once
// Base of analysis tools: tools in the analysis chain that the host runs on their data set.

#include "qzSystem/plugin/CqzPlugInToolBase.h"

class CqzPlugInAnToolBase : public CqzPlugInToolBase
{
public:
    using CqzPlugInToolBase::CqzPlugInToolBase;
    // Asks the host to run this tool (the host then sends it the run message).
    void Run();
    // The title windows of the tool show: its name.
    const CString& GetTitle() const { return GetName(); }
};
