#include "qzSystem/ui/CqzFlexDialog.h"

#include "qzSystem/managers/CqzHelpMgr.h"
#include "qzSystem/mvc/CqzMvcCommand.h"

BEGIN_MESSAGE_MAP(CqzFlexDialog, CNSFlexDialog)
ON_WM_HELPINFO()
END_MESSAGE_MAP()

CqzFlexDialog::CqzFlexDialog(LPCTSTR name, UINT templateID, CWnd* parent)
    : CNSFlexDialog(templateID, parent), m_name(name)
{
}

BOOL CqzFlexDialog::OnInitDialog(CqzMvcCommand* command)
{
    const BOOL result = CNSFlexDialog::OnInitDialog();
    if (command != nullptr)
        command->Execute();
    return result;
}

BOOL CqzFlexDialog::OnHelpHook()
{
    return CqzHelpMgr::Instance().DisplayHelpTopic(m_name + L".htm") ? TRUE : FALSE;
}

BOOL CqzFlexDialog::OnHelpInfo(HELPINFO*)
{
    return OnHelpHook();
}
