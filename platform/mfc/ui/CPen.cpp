#include "mfc/ui/CPen.h"

#include "mfc/ui/AfxQt.h"

BOOL CPen::CreatePen(int style, int width, COLORREF color)
{
    auto* record = new HGDIOBJ__{HGDIOBJ__::Pen, QFont(), LOGFONT{}};
    if (style != PS_NULL)
    {
        const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine};
        record->pen = QPen(afxqt::ToQColor(color), width <= 1 ? 0 : width,
                           style >= 0 && style < 3 ? styles[style] : Qt::SolidLine, Qt::SquareCap,
                           Qt::MiterJoin);
    }
    Own(record);
    return TRUE;
}
