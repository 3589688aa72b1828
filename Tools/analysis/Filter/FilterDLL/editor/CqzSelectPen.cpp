#include "editor/CqzSelectPen.h"

#include "mfc/ui/CDC.h"

CqzSelectPen::CqzSelectPen(CDC* dc, int style, int width, COLORREF color) : m_dc(dc)
{
    m_pen.CreatePen(style, width, color);
    m_previous = m_dc->SelectObject(m_pen.GetSafeHandle());
}

CqzSelectPen::~CqzSelectPen()
{
    if (m_previous != nullptr)
        m_dc->SelectObject(m_previous);
}
