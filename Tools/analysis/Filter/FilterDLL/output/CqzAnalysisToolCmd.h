#pragma once
// Base of the commands through which an analysis tool's producers reach the tool: a block of
// rows of one output table to produce. Adds no data of its own.

#include "qzSystem/commands/CqzCmdBase.h"
#include "qzSystem/ids/CqzID.h"

class CqzAnalysisToolCmd : public CqzCmdBase
{
public:
    int Execute() override = 0;
    CqzMvcCommand* Clone() const override = 0;
    virtual void SetRange(int /*first*/, int /*last*/) {}
    // Returns the command's table identifier; the base has none to set.
    virtual const CqzID& SetTableID(const CqzID& tableID) { return tableID; }
};
