#pragma once
// A device context with the graphics interface's rules: selected objects, background mode,
// text colour, a current position and a viewport origin. Lines and rectangles leave out their
// last pixel (LineTo stops one pixel short of its end, Rectangle's outline lies inside its
// right and bottom edges), text is anchored at its top-left corner, not at its baseline.
// A device context either paints (inside a window's paint handler: CPaintDC) or only measures
// (CWnd::GetDC, CClientDC); drawing calls on a measuring one do nothing.

#include "mfc/CString.h"
#include "mfc/ui/CRect.h"
#include "mfc/ui/GdiTypes.h"

class CBrush;
class CFont;
class CGdiObject;
class CPen;
class CWnd;
class QPainter;

struct HDC__;

class CDC
{
public:
    CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;
    virtual ~CDC();

    HDC m_hDC = nullptr;
    HDC m_hAttribDC = nullptr;
    HDC GetSafeHdc() const { return m_hDC; }
    // The device context of a handle (a handle is the address of its device context).
    static CDC* FromHandle(HDC dc) { return reinterpret_cast<CDC*>(dc); }
    bool CanDraw() const;

    CFont* SelectObject(CFont* font);
    CPen* SelectObject(CPen* pen);
    CBrush* SelectObject(CBrush* brush);
    // Selects a font, pen or brush by handle; returns the handle it replaced.
    HGDIOBJ SelectObject(HGDIOBJ object);
    CGdiObject* SelectStockObject(int index);
    CFont* GetCurrentFont() const;

    int SetBkMode(int mode);
    int GetBkMode() const;
    COLORREF SetBkColor(COLORREF color);
    COLORREF SetTextColor(COLORREF color);

    CPoint SetViewportOrg(int x, int y);
    CPoint GetViewportOrg() const;

    CPoint MoveTo(int x, int y);
    CPoint MoveTo(POINT p) { return MoveTo(p.x, p.y); }
    BOOL LineTo(int x, int y);
    BOOL LineTo(POINT p) { return LineTo(p.x, p.y); }
    BOOL Rectangle(int left, int top, int right, int bottom);
    BOOL Rectangle(LPCRECT rect)
    {
        return Rectangle(rect->left, rect->top, rect->right, rect->bottom);
    }
    void FillSolidRect(LPCRECT rect, COLORREF color);
    BOOL TextOut(int x, int y, const CString& text);
    // Single-line text placed by the format (DT_LEFT/DT_CENTER/DT_RIGHT, DT_TOP/DT_VCENTER/
    // DT_BOTTOM); returns the text height. DT_CALCRECT only measures into `rect`.
    int DrawText(const CString& text, LPRECT rect, UINT format);
    // Draws a push button face (pressed when `pressed`) filling the rectangle.
    void DrawButtonFace(LPCRECT rect, bool pressed, bool focused, bool enabled);
    void DrawFocusRect(LPCRECT rect);

    CSize GetTextExtent(const CString& text) const;
    BOOL GetTextMetrics(LPTEXTMETRIC metrics) const;

protected:
    // Paints with the painter (not owned) or, with null, only measures; `window` gives the
    // style for button faces.
    void Begin(QPainter* painter, CWnd* window);

private:
    struct SqzImp;
    SqzImp* m_imp;
};

// The device context of a window's paint handler, valid only inside OnPaint.
class CPaintDC : public CDC
{
public:
    explicit CPaintDC(CWnd* window);
};

// A measuring device context of a window, with the window's font selected.
class CClientDC : public CDC
{
public:
    explicit CClientDC(CWnd* window);
};

// The graphics interface's calls on handles, for code that keeps handles rather than objects.
// GetDC gives a measuring device context of the window, to be given back with ReleaseDC.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL GetTextMetrics(HDC dc, LPTEXTMETRIC metrics);
