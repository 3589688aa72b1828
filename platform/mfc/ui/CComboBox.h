#pragma once
// A drop-down list. The rectangle given at creation includes the dropped list; the window
// keeps the height of the closed field. A choice by the person sends CBN_SELCHANGE.

#include "mfc/ui/CWnd.h"

class CComboBox : public CWnd
{
public:
    virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int AddString(LPCTSTR text);
    int SetCurSel(int index);
    int GetCurSel() const;
    int GetCount() const;
    void ResetContent();
    void GetLBText(int index, CString& text) const;
};
