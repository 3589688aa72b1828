#include "qzSystem/ui/CqzEdit.h"

#include "qzSystem/commands/CqzControlCmd.h"

BOOL CqzEdit::OnChildNotify(UINT message, WPARAM wParam, LPARAM, LRESULT*)
{
    if (message != WM_COMMAND || HIWORD(wParam) != EN_KILLFOCUS || m_command == nullptr)
        return FALSE;
    m_command->Raise(0, this);
    return TRUE;
}

void CqzEdit::Commit()
{
    if (m_command != nullptr)
        m_command->Raise(0, this);
}
