#include "mfc/ui/CComboBox.h"

#include "mfc/ui/AfxQt.h"

#include <QComboBox>

BOOL CComboBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id)
{
    return CWnd::Create(L"COMBOBOX", L"", style, rect, parent, id);
}

int CComboBox::AddString(LPCTSTR text)
{
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

int CComboBox::SetCurSel(int index)
{
    return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index)));
}

int CComboBox::GetCurSel() const
{
    return static_cast<int>(const_cast<CComboBox*>(this)->SendMessage(CB_GETCURSEL));
}

int CComboBox::GetCount() const
{
    return static_cast<int>(const_cast<CComboBox*>(this)->SendMessage(CB_GETCOUNT));
}

void CComboBox::ResetContent()
{
    SendMessage(CB_RESETCONTENT);
}

void CComboBox::GetLBText(int index, CString& text) const
{
    auto* combo = qobject_cast<QComboBox*>(afxqt::Outer(this));
    text = combo == nullptr || index < 0 || index >= combo->count()
               ? CString()
               : CString(combo->itemText(index).toStdWString());
}
