#pragma once
// The scrolling list of filter terms in the dialog "Filter". It measures with the dialog's
// font, lets the model's term-list view create and place every control, draws one box per
// term and, with no terms, "Click here to insert new filter". It observes the model and lays
// out again, through its message queue, after every message that can change the layout.

#include "mfc/ui/CScrollView.h"
#include "mfc/ui/GdiTypes.h"
#include "qzSystem/mvc/CqzMvcViewport.h"

#include <memory>
#include <vector>

class CqzFilterModel;

class CqzFilterView : public CScrollView, public CqzMvcViewport
{
public:
    static constexpr UINT WM_RELAYOUT = 0x81A;
    static constexpr UINT WM_HOST_RELAYOUT = 0x7F4;

    CqzFilterView();
    ~CqzFilterView() override;

    // Row height, gap, units and font from the dialog's base units (v: 8 vertical dialog
    // units, h: 4 horizontal ones) and font; called before the window exists.
    void SetMetrics(int v, int h, const LOGFONT* font);
    void GetWindows(std::vector<CWnd*>& windows);
    void Layout();
    void UpdateScrollSizes();

    void OnInitialUpdate() override;
    void OnDraw(CDC* dc) override;
    void OnUpdate(foundation::ISubject* subject, foundation::IMessage* message) override;

    // The term boundaries and the extent of the last layout, in logical pixels.
    const std::vector<CPoint>& GetLevels() const;
    CSize GetExtent() const;
    int GetLayoutCount() const;

protected:
    DECLARE_MESSAGE_MAP()
    void OnSize(UINT type, int cx, int cy);
    int OnMouseActivate(CWnd* topParent, UINT hitTest, UINT message);
    void OnLButtonDown(UINT flags, CPoint point);
    LRESULT OnRelayout(WPARAM, LPARAM);

private:
    CqzFilterModel* GetFilterModel() const;
    // One relayout for any number of messages before it runs.
    void PostRelayout();

    struct SqzImp;
    std::unique_ptr<SqzImp> m_imp;
};
