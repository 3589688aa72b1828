#include "editor/CqzFilterUICmd.h"

#include "tool/CqzFilter.h"

struct CqzFilterUICmd::SqzImp
{
    CqzFilter* tool;
};

CqzFilterUICmd::CqzFilterUICmd(const CString& first, const CString& second, CqzFilter* tool)
    : CqzNamedUICmdBase(first, second), m_imp(std::make_unique<SqzImp>(SqzImp{tool}))
{
}

CqzFilterUICmd::~CqzFilterUICmd() = default;

void CqzFilterUICmd::Sprint(CString& text) const
{
    text = L"CqzFilterUICmd";
}

int CqzFilterUICmd::Execute()
{
    m_imp->tool->EditProperties();
    return 1;
}
