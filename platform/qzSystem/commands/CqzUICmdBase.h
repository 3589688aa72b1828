#pragma once
// Base of the user-interface commands a plug-in lists for the host (command kind 5): commands
// that open something for the person and cannot be undone.

#include "qzSystem/mvc/CqzMvcCommand.h"

class CqzUICmdBase : public CqzMvcCommand
{
public:
    static constexpr int TypeID = 5;

    int GetTypeID() const override { return TypeID; }
    // Whether the host runs the command by itself when the tool is created; never here.
    virtual int AutoExecute() { return 0; }
};
