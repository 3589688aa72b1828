#include "qzSystem/ui/CqzOwnerDrawnButton.h"

#include "mfc/ui/CDC.h"

BOOL CqzOwnerDrawnButton::CreateOwnerDrawn(LPCTSTR text, DWORD style, const RECT& rect,
                                           CWnd* parent, UINT id)
{
    return CButton::Create(text, (style & ~BS_TYPEMASK) | BS_OWNERDRAW, rect, parent, id);
}

BOOL CqzOwnerDrawnButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM, LRESULT*)
{
    if (message != WM_COMMAND || HIWORD(wParam) != BN_CLICKED)
        return FALSE;
    OnPressed();
    return TRUE;
}

void CqzOwnerDrawnButton::DrawItem(LPDRAWITEMSTRUCT item)
{
    CDC* dc = item->pDC;
    const CRect rect(item->rcItem);
    const bool enabled = !(item->itemState & ODS_DISABLED);
    dc->DrawButtonFace(rect, (item->itemState & ODS_SELECTED) != 0,
                       (item->itemState & ODS_FOCUS) != 0, enabled);
    DrawContent(dc, rect, enabled);
}
