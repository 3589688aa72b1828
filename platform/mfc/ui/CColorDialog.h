#pragma once
// The colour chooser, modal; GetColor gives the chosen colour after IDOK.

#include "mfc/ui/CWnd.h"

class CColorDialog
{
public:
    explicit CColorDialog(COLORREF initial = 0, DWORD flags = 0, CWnd* parent = nullptr);
    int DoModal();
    COLORREF GetColor() const { return m_color; }

private:
    COLORREF m_color;
    CWnd* m_parent;
};
