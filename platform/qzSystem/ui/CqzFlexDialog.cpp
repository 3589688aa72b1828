#include "qzSystem/ui/CqzFlexDialog.h"

#include "mfc/ui/AfxWin.h"
#include "qzSystem/managers/CqzHelpMgr.h"
#include "qzSystem/managers/CqzOptionsMgr.h"
#include "qzSystem/mvc/CqzMvcCommand.h"

#include <algorithm>

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

CSize CqzFlexDialog::ClientSize() const
{
    CRect client;
    GetClientRect(client);
    return client.Size();
}

void CqzFlexDialog::PlaceDialog(CSize preferred)
{
    CSize size = preferred;
    CqzOptionsMgr::Instance().GetDialogSize(m_name, size);
    const CSize least = ClientSize();
    size.cx = std::clamp<LONG>(size.cx, least.cx, std::max<LONG>(least.cx, GetSystemMetrics(SM_CXSCREEN)));
    size.cy = std::clamp<LONG>(size.cy, least.cy, std::max<LONG>(least.cy, GetSystemMetrics(SM_CYSCREEN)));
    SetClientSize(size);
    m_placedSize = ClientSize();
    CenterWindow();
}

void CqzFlexDialog::RememberSize()
{
    const CSize now = ClientSize();
    if (m_placedSize.cx > 0 && now != m_placedSize)
        CqzOptionsMgr::Instance().SetDialogSize(m_name, now);
}

void CqzFlexDialog::OnOK()
{
    RememberSize();
    CNSFlexDialog::OnOK();
}

void CqzFlexDialog::OnCancel()
{
    RememberSize();
    CNSFlexDialog::OnCancel();
}
