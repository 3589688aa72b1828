#include "mfc/ui/CBrush.h"

#include "mfc/ui/AfxQt.h"

BOOL CBrush::CreateSolidBrush(COLORREF color)
{
    auto* record = new HGDIOBJ__{HGDIOBJ__::Brush, QFont(), LOGFONT{}};
    record->brush = QBrush(afxqt::ToQColor(color));
    Own(record);
    return TRUE;
}
