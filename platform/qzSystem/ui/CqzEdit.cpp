#include "qzSystem/ui/CqzEdit.h"

#include "qzSystem/commands/CqzControlCmd.h"

BOOL CqzEdit::OnChildNotify(UINT message, WPARAM wParam, LPARAM, LRESULT*)
{
    if (message != WM_COMMAND || HIWORD(wParam) != EN_KILLFOCUS || m_command == nullptr)
        return FALSE;
    m_command->SetSource(this);
    m_command->Execute();
    return TRUE;
}
