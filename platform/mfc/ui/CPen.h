#pragma once
// A pen: style (PS_SOLID, PS_DASH, PS_DOT, PS_NULL), width in pixels (0 draws one pixel wide)
// and colour.

#include "mfc/ui/CGdiObject.h"

class CPen : public CGdiObject
{
public:
    CPen() = default;
    CPen(int style, int width, COLORREF color) { CreatePen(style, width, color); }
    BOOL CreatePen(int style, int width, COLORREF color);
    operator HPEN() const { return m_hObject; }
};
