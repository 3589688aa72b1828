#pragma once
// Selects a new pen into a device context; the previous pen comes back on destruction.

#include "editor/CqzSelect.h"
#include "mfc/ui/CPen.h"

class CDC;

class CqzSelectPen : public CqzSelect
{
public:
    CqzSelectPen(CDC* dc, int style, int width, COLORREF color);
    ~CqzSelectPen() override;

private:
    CDC* m_dc;
    CPen m_pen;
    HGDIOBJ m_previous = nullptr;
};
