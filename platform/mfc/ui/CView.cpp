#include "mfc/ui/CView.h"

#include "mfc/ui/CDC.h"

void CView::OnPaint()
{
    CPaintDC dc(this);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

void CView::PostNcDestroy()
{
    delete this;
}
