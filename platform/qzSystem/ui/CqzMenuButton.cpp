#include "qzSystem/ui/CqzMenuButton.h"

#include "mfc/ui/CDC.h"
#include "mfc/ui/CMenu.h"
#include "mfc/ui/CPen.h"
#include "qzSystem/commands/CqzControlCmd.h"

BOOL CqzMenuButton::Bind(UINT id, CWnd* parent, HMENU menu, UINT, UINT)
{
    if (!SubclassDlgItem(id, parent))
        return FALSE;
    m_menu = menu;
    return TRUE;
}

BOOL CqzMenuButton::Create(LPCTSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id,
                           HMENU menu, UINT, UINT)
{
    m_menu = menu;
    return CreateOwnerDrawn(text, style, rect, parent, id);
}

void CqzMenuButton::ShowToolTip(LPCTSTR text, int, int, int)
{
    SetToolTipText(text);
}

bool CqzMenuButton::ShowMenu()
{
    CMenu* menu = CMenu::FromHandle(m_menu);
    if (menu == nullptr)
        return false;
    CRect rect;
    GetWindowRect(rect);
    const UINT id = static_cast<UINT>(
        menu->TrackPopupMenu(TPM_LEFTALIGN | TPM_RETURNCMD, rect.left, rect.bottom, this));
    if (id == 0 || m_command == nullptr)
        return id != 0;
    m_command->Raise(static_cast<std::int32_t>(id), this);
    return true;
}

void CqzMenuButton::DrawContent(CDC* dc, const CRect& rect, bool enabled)
{
    const int markWidth = rect.Height() < 16 ? rect.Height() : 12;
    const CString caption = GetWindowText();
    if (!caption.IsEmpty())
    {
        CRect text(rect.left + 4, rect.top, rect.right - markWidth - 2, rect.bottom);
        dc->SetBkMode(TRANSPARENT);
        dc->SetTextColor(InkColor(enabled));
        dc->DrawText(caption, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
    DrawMark(dc, CRect(rect.right - markWidth - 2, rect.top, rect.right - 2, rect.bottom), enabled);
}

void CqzMenuButton::DrawMark(CDC* dc, const CRect& area, bool enabled)
{
    // A small filled triangle pointing down, drawn line by line.
    CPen pen(PS_SOLID, 0, InkColor(enabled));
    CPen* old = dc->SelectObject(&pen);
    const int x = area.left + area.Width() / 2;
    const int y = area.top + area.Height() / 2 - 1;
    for (int row = 0; row < 3; ++row)
    {
        dc->MoveTo(x - 3 + row, y + row);
        dc->LineTo(x + 4 - row, y + row);
    }
    dc->SelectObject(old);
}
