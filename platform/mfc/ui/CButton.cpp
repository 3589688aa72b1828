#include "mfc/ui/CButton.h"

BOOL CButton::Create(LPCTSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create(L"BUTTON", caption, style, rect, parent, id);
}

int CButton::GetCheck() const
{
    return static_cast<int>(const_cast<CButton*>(this)->SendMessage(BM_GETCHECK));
}

void CButton::SetCheck(int check)
{
    SendMessage(BM_SETCHECK, static_cast<WPARAM>(check));
}

void CButton::DrawItem(LPDRAWITEMSTRUCT) {}

void CButton::DrawOwnerItem(CDC* dc, const CRect& rect, UINT state)
{
    DRAWITEMSTRUCT item{static_cast<UINT>(GetDlgCtrlID()), state, m_hWnd, dc, rect};
    DrawItem(&item);
}
