#pragma once
// The base of the host's owner-drawn buttons: made owner-drawn when created, a click runs
// OnPressed, and drawing paints the button face and then the subclass's content, in black or,
// while disabled, in grey (InkColor).

#include "mfc/ui/CButton.h"

class CqzOwnerDrawnButton : public CButton
{
public:
    static COLORREF InkColor(bool enabled) { return enabled ? RGB(0, 0, 0) : RGB(128, 128, 128); }

protected:
    BOOL CreateOwnerDrawn(LPCTSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
    void DrawItem(LPDRAWITEMSTRUCT item) override;

    virtual void OnPressed() = 0;
    virtual void DrawContent(CDC* dc, const CRect& rect, bool enabled) = 0;
};
