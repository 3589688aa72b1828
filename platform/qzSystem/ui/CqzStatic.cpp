#include "qzSystem/ui/CqzStatic.h"

void CqzStatic::SetBkColor(COLORREF color)
{
    m_color = color;
    m_hasColor = true;
    SetBackgroundColor(color);
}
