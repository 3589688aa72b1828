#pragma once
// Command interface of tool plug-ins.

#include "qzSystem/commands/CqzStdCmdIFace.h"

class CqzStdToolCmdIFace : public CqzStdCmdIFace
{
public:
    virtual int GetToolIFaceFlags() const { return 0; }
};
