#pragma once
// Base of the commands plug-ins give the host: the undo flag kept in the command itself.

#include "qzSystem/mvc/CqzMvcCommand.h"

class CqzCmdBase : public CqzMvcCommand
{
public:
    int GetTypeID() const override { return 0; }
    void Sprint(CString& /*text*/) const override {}
    int IsUndoable() const override { return 0; }
    int SetUndoable(int undoable) override { return m_undoable = undoable; }
    int Unexecute() override { return 0; }
};
