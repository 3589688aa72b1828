#pragma once
// A view that scrolls its content: SetScrollSizes gives the size of the whole content in
// pixels (mapping mode MM_TEXT); scroll bars appear when the content does not fit the client
// area. Scrolling moves the child windows with the content, as ScrollWindow does, and the
// device context of OnDraw is offset by the scroll position.

#include "mfc/ui/CView.h"

class CScrollView : public CView
{
public:
    // Page and line sizes of sizeDefault: a tenth of the content and a tenth of a page.
    static const SIZE sizeDefault;

    CScrollView();
    ~CScrollView() override;

    BOOL CreateEx(DWORD exStyle, LPCTSTR className, LPCTSTR windowName, DWORD style,
                  const RECT& rect, CWnd* parent, UINT id, void* param = nullptr) override;
    void SetScrollSizes(int mapMode, SIZE total, const SIZE& page = sizeDefault,
                        const SIZE& line = sizeDefault);
    CSize GetTotalSize() const;
    CPoint GetDeviceScrollPosition() const;
    CPoint GetScrollPosition() const { return GetDeviceScrollPosition(); }
    void ScrollToPosition(POINT position);
    void OnPrepareDC(CDC* dc) override;

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    const AFX_MSGMAP* GetMessageMap() const override;
    void OnSize(UINT type, int cx, int cy);

private:
    void UpdateBars();
    void ScrollTo(int x, int y);

    struct SqzImp;
    SqzImp* m_imp;
};
