#include "qzSystem/ui/CqzChevronMenuBtn.h"

#include "mfc/ui/CDC.h"
#include "mfc/ui/CPen.h"

void CqzChevronMenuBtn::DrawMark(CDC* dc, const CRect&, bool enabled)
{
    // Two nested chevrons pointing right, centred on the whole button.
    CRect rect;
    GetClientRect(rect);
    CPen pen(PS_SOLID, 0, InkColor(enabled));
    CPen* old = dc->SelectObject(&pen);
    const int x = rect.left + rect.Width() / 2 - 3;
    const int y = rect.top + rect.Height() / 2;
    for (int offset : {0, 4})
        for (int thick : {0, 1})
        {
            dc->MoveTo(x + offset + thick, y - 3);
            dc->LineTo(x + offset + thick + 3, y);
            dc->LineTo(x + offset + thick - 1, y + 4);
        }
    dc->SelectObject(old);
}
