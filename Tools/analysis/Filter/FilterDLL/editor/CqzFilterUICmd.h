#pragma once
// The tool's editor command: the host lists it among the tool's user-interface commands (kind
// 5) and executes it when the person asks for the tool's properties, which opens the dialog
// "Filter" and returns when it is closed. The tool owns the command.

#include "qzSystem/commands/CqzNamedUICmdBase.h"

#include <memory>

class CqzFilter;

class CqzFilterUICmd : public CqzNamedUICmdBase
{
public:
    CqzFilterUICmd(const CString& first, const CString& second, CqzFilter* tool);
    ~CqzFilterUICmd() override;

    void Sprint(CString& text) const override;
    // Opens the dialog (CqzFilter::EditProperties); 1 whatever the answer.
    int Execute() override;

private:
    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
