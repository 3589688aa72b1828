#pragma once
// A static text with a background colour of its own (by default the dialog's).

#include "mfc/ui/CStatic.h"

class CqzStatic : public CStatic
{
public:
    void SetBkColor(COLORREF color);
    COLORREF GetBkColor() const { return m_color; }
    bool HasBkColor() const { return m_hasColor; }

private:
    COLORREF m_color = 0;
    bool m_hasColor = false;
};
