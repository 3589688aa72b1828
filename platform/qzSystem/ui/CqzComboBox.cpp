#include "qzSystem/ui/CqzComboBox.h"

#include "qzSystem/commands/CqzControlCmd.h"

BOOL CqzComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM, LRESULT*)
{
    if (message != WM_COMMAND || HIWORD(wParam) != CBN_SELCHANGE || m_command == nullptr)
        return FALSE;
    m_command->Raise(GetCurSel(), this);
    return TRUE;
}
