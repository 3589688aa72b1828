#pragma once
// A view: a window that draws its content in OnDraw with a device context prepared by
// OnPrepareDC. A view lives on the heap and deletes itself when its window is destroyed.

#include "mfc/ui/CWnd.h"

class CView : public CWnd
{
public:
    virtual void OnInitialUpdate() {}
    virtual void OnDraw(CDC* dc) = 0;
    virtual void OnPrepareDC(CDC*) {}

protected:
    void OnPaint() override;
    void PostNcDestroy() override;
};
