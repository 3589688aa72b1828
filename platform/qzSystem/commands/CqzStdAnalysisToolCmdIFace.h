#pragma once
// Command interface of analysis tools: adds the interface's own name, a version and the tool's
// type name.

#include "qzSystem/commands/CqzStdToolCmdIFace.h"

class CqzStdAnalysisToolCmdIFace : public CqzStdToolCmdIFace
{
public:
    virtual const CString& GetIFaceName() const;
    virtual int GetAnalysisToolVersion() const = 0;
    virtual const CString& GetTypeName() const = 0;
};
