#pragma once
// A button control: push button (default or not), radio button (automatic or not), check box,
// group box or owner-drawn button (drawn by DrawItem). A click sends BN_CLICKED to the parent.

#include "mfc/ui/CWnd.h"

struct DRAWITEMSTRUCT
{
    UINT CtlID;
    UINT itemState; // ODS_SELECTED, ODS_FOCUS, ODS_DISABLED
    HWND hwndItem;
    CDC* pDC;
    RECT rcItem;
};
using LPDRAWITEMSTRUCT = DRAWITEMSTRUCT*;

class CButton : public CWnd
{
public:
    virtual BOOL Create(LPCTSTR caption, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetCheck() const;
    void SetCheck(int check);
    // Owner-drawn buttons draw themselves here.
    virtual void DrawItem(LPDRAWITEMSTRUCT item);

protected:
    void DrawOwnerItem(CDC* dc, const CRect& rect, UINT state) override;
};
